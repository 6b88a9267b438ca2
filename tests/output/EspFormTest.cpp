#include "output/ui/TQIBEspForm.h"

#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/TempDir.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vardof::test {
namespace {

using output::TQIBEspForm;

template <class T>
T *controllo(QWidget &w, const char *nome)
{
    T *c = w.findChild<T *>(QLatin1String(nome));
    EXPECT_NE(c, nullptr) << nome;
    return c;
}

class EspForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = m_dir.file(QStringLiteral("ostrel.ini"));
    }
    std::unique_ptr<TQIBEspForm> dialogo(const QString &nome = QStringLiteral("CLIENTI.CSV"))
    {
        return std::make_unique<TQIBEspForm>(nullptr, nullptr, QStringLiteral("D01"), m_dir.path(),
                                             QStringLiteral(";"), nome, m_ini);
    }
    platform::IniFile ini() const { return platform::IniFile(m_ini); }

    platform::ScopedServices m_servizi;
    TempDir m_dir;
    QString m_ini;
};

// ---- what each type shows -------------------------------------------------------

struct CasoTipo
{
    int tipo;
    const char *nomeFile;
    const char *bottoneNome;
    bool separatore;    // separator, fixed length, memo
    bool percorso;
    bool salta;         // "Non riportare le intestazioni colonne"
    bool tag;           // tag, qualified headers
    bool apri;
    bool unione;
};

const CasoTipo kTipi[] = {
    {0, "CLIENTI.CSV", "Nome del File", true, true, true, true, false, false},
    {1, "EXPORT", "Nome Tabella", false, false, false, true, false, false},
    {2, "CLIENTI.xls", "Nome del File", false, true, false, true, true, true},
    {3, "CLIENTI.xlsx", "Nome del File", false, true, false, true, true, true},
    {4, "CLIENTI.xls", "Nome del File", false, true, false, true, true, false},
    {5, "CLIENTI.xls", "Nome del File", false, true, false, true, true, false},
    {6, "CLIENTI.xls", "Nome del File", false, true, false, false, true, false},
    {7, "CLIENTI.xlsx", "Nome del File", false, true, false, false, true, true},
};

class RegoleTipo : public EspForm, public ::testing::WithParamInterface<CasoTipo>
{
};

TEST_P(RegoleTipo, ControlliMostrati)
{
    const CasoTipo &c = GetParam();
    auto d = dialogo();
    d->EditTipoExportClick(c.tipo);
    auto visibile = [&](const char *nome) { return !controllo<QWidget>(*d, nome)->isHidden(); };
    EXPECT_EQ(controllo<QLineEdit>(*d, "EditNomeFile")->text(), QString::fromLatin1(c.nomeFile));
    EXPECT_EQ(controllo<QPushButton>(*d, "ButtonNomeFile")->text(), QString::fromLatin1(c.bottoneNome));
    EXPECT_EQ(visibile("EditSeparatore"), c.separatore);
    EXPECT_EQ(visibile("ButtonLunghezzaFissa"), c.separatore);
    EXPECT_EQ(visibile("CheckStampaMemoEstesi"), c.separatore);
    EXPECT_EQ(visibile("EditPercorso"), c.percorso);
    EXPECT_EQ(controllo<QWidget>(*d, "EditPercorso")->isEnabled(), c.percorso);
    EXPECT_EQ(visibile("CheckSaltaIntestazioni"), c.salta);
    EXPECT_EQ(visibile("EditTagSostRitornoCapo"), c.tag);
    EXPECT_EQ(visibile("CheckQualificaCampi"), c.tag);
    EXPECT_EQ(controllo<QWidget>(*d, "BitBtnApriExcel")->isEnabled(), c.apri);
    EXPECT_EQ(controllo<QWidget>(*d, "ButtonApriExcelUnione")->isEnabled(), c.unione);
    EXPECT_EQ(d->TipoExportCodice(), output::codiceTipo(output::TipoExport(c.tipo)));
}

INSTANTIATE_TEST_SUITE_P(Tipi, RegoleTipo, ::testing::ValuesIn(kTipi));

TEST_F(EspForm, AperturaECaption)
{
    ini().writeString(QStringLiteral("D01"), QStringLiteral("Directory bin"), QStringLiteral("/bin/"));
    ini().writeString(QStringLiteral("D01"), QStringLiteral("Directory tabelle temporanee"), QStringLiteral("/tmp/"));
    ini().writeString(QStringLiteral("D01"), QStringLiteral("StampaMemoEstesi"), QStringLiteral("Si"));
    ini().writeString(QStringLiteral("D01"), QStringLiteral("StampaMemoEstesiTag"), QStringLiteral("[BR]"));
    auto d = dialogo(QStringLiteral("ordini.txt"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Esporta - Ditta: D01"));
    EXPECT_EQ(controllo<QLineEdit>(*d, "EditNomeFile")->text(), QStringLiteral("ordini.CSV"));
    EXPECT_EQ(controllo<QLineEdit>(*d, "EditPercorso")->text(), QStringLiteral("/tmp/"));
    EXPECT_TRUE(controllo<QCheckBox>(*d, "CheckStampaMemoEstesi")->isChecked());
    EXPECT_EQ(controllo<QLineEdit>(*d, "EditTagSostRitornoCapo")->text(), QStringLiteral("[BR]"));
    ini().writeString(QStringLiteral("D01"), QStringLiteral("Directory export Query"), QStringLiteral("/exp/"));
    EXPECT_EQ(controllo<QLineEdit>(*dialogo(), "EditPercorso")->text(), QStringLiteral("/exp/"));
}

TEST_F(EspForm, LunghezzaFissaEIntestazioni)
{
    auto d = dialogo();
    auto *fissa = controllo<QCheckBox>(*d, "ButtonLunghezzaFissa");
    auto *sep = controllo<QLineEdit>(*d, "EditSeparatore");
    fissa->click();
    EXPECT_EQ(sep->text(), QStringLiteral("|"));
    fissa->click();
    EXPECT_EQ(sep->text(), QStringLiteral(";"));
    sep->setText(QStringLiteral("#"));
    fissa->click();
    EXPECT_EQ(sep->text(), QStringLiteral("#"));

    auto *qualifica = controllo<QCheckBox>(*d, "CheckQualificaCampi");
    qualifica->setChecked(true);
    controllo<QCheckBox>(*d, "CheckSaltaIntestazioni")->click();
    EXPECT_FALSE(qualifica->isChecked());
    EXPECT_TRUE(qualifica->isHidden());
    controllo<QCheckBox>(*d, "CheckSaltaIntestazioni")->click();
    EXPECT_FALSE(qualifica->isHidden());

    auto *rtf = controllo<QCheckBox>(*d, "CheckRTFInChiaro");
    EXPECT_TRUE(rtf->isHidden());
    controllo<QCheckBox>(*d, "CheckStampaMemoEstesi")->click();
    EXPECT_FALSE(rtf->isHidden());
}

TEST_F(EspForm, ChiusuraRestituisceSceltaESalvaImpostazioni)
{
    auto d = dialogo();
    controllo<QLineEdit>(*d, "EditPercorso")->setText(QStringLiteral("/dati/"));
    controllo<QCheckBox>(*d, "CheckStampaMemoEstesi")->setChecked(true);
    controllo<QLineEdit>(*d, "EditTagSostRitornoCapo")->setText(QStringLiteral("<a capo>"));
    controllo<QLineEdit>(*d, "EditEseguibileExcel")->setText(QStringLiteral("/usr/bin/foglio"));
    d->OKBtnClick();
    EXPECT_EQ(d->Risultato(), output::EsportaSemplice);
    EXPECT_EQ(d->result(), output::EsportaSemplice);
    EXPECT_EQ(d->NomeFile(), QStringLiteral("/dati/CLIENTI.CSV"));
    EXPECT_EQ(d->Separatore(), QStringLiteral(";"));
    EXPECT_TRUE(d->StampaMemoEstesi());
    EXPECT_EQ(ini().readString(QStringLiteral("D01"), QStringLiteral("StampaMemoEstesi")), QStringLiteral("Si"));
    EXPECT_EQ(ini().readString(QStringLiteral("D01"), QStringLiteral("StampaMemoEstesiTag")), QStringLiteral("<a capo>"));
    EXPECT_EQ(ini().readString(QStringLiteral("D01"), QStringLiteral("Programma riferimento Excel")),
              QStringLiteral("/usr/bin/foglio"));

    auto d1 = dialogo();
    controllo<QLineEdit>(*d1, "EditPercorso")->setText(QStringLiteral("/dati"));
    d1->OKBtnClick();
    EXPECT_EQ(d1->NomeFile(), QStringLiteral("/dati/CLIENTI.CSV")) << "cartella senza separatore finale";

    auto d2 = dialogo();
    controllo<QCheckBox>(*d2, "CheckStampaMemoEstesi")->setChecked(false);
    d2->CancelBtnClick();
    EXPECT_EQ(d2->Risultato(), output::Chiudi);
    EXPECT_EQ(ini().readString(QStringLiteral("D01"), QStringLiteral("StampaMemoEstesi")), QStringLiteral("Si"))
        << "Chiudi salva il valore caricato, non la casella";
}

TEST_F(EspForm, SceltaCartellaSalvata)
{
    m_servizi.fileDialogs().queueFile(QStringLiteral("/export"));
    auto d = dialogo();
    d->ButtonPercorsoClick();
    EXPECT_EQ(controllo<QLineEdit>(*d, "EditPercorso")->text(), QStringLiteral("/export/"));
    EXPECT_EQ(ini().readString(QStringLiteral("D01"), QStringLiteral("Directory export Query")), QStringLiteral("/export/"));
}

TEST_F(EspForm, EseguibileLibreOfficeMancante)
{
    const QString calc = output::programmaLibreOfficeCalc();
    const bool calcPresente = QFile::exists(calc);
    // Yes puts the found program in the box and exports.
    {
        auto d = dialogo();
        d->EditTipoExportClick(6);
        m_servizi.messages().queueAnswer(platform::Answer::Yes);
        d->OKBtnClick();
        if (calcPresente) {
            EXPECT_EQ(d->Risultato(), output::EsportaSemplice);
            EXPECT_EQ(d->programmaExcel(), calc);
            EXPECT_EQ(m_servizi.messages().texts().value(0),
                      QStringLiteral("Eseguibile Excel non indicato\rPropongo di assegnare \"%1\"\rProcedo?").arg(calc));
        } else {
            EXPECT_EQ(d->Risultato(), output::Chiudi);
        }
    }
    m_servizi.messages().clear();
    // No keeps the dialog open; other types never ask.
    {
        auto d = dialogo();
        d->EditTipoExportClick(7);
        controllo<QLineEdit>(*d, "EditEseguibileExcel")->setText(QStringLiteral("/manca/scalc"));
        m_servizi.messages().queueAnswer(platform::Answer::No);
        d->OKBtnClick();
        EXPECT_EQ(d->Risultato(), output::Chiudi);
        EXPECT_TRUE(m_servizi.messages().texts().value(0).startsWith(QStringLiteral("Eseguibile Excel \"/manca/scalc\" non trovato")));
        m_servizi.messages().clear();
        d->EditTipoExportClick(3);
        d->OKBtnClick();
        EXPECT_EQ(d->Risultato(), output::EsportaSemplice);
        EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
    }
}

TEST_F(EspForm, UnioneConModello)
{
    const QString modello = m_dir.file(QStringLiteral("modello.xlsx"));
    {
        QFile f(modello);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    const struct
    {
        int tipo;
        const char *modello; // relative to the test folder
        bool lock;           // LibreOffice holds it open
        const char *avviso;  // beginning of the warning, empty: accepted
    } casi[] = {
        {3, "manca.xlsx", false, "Excel preimpostato \""},
        {3, "modello.xlsx", true, "Excel preimpostato \""},
        {7, "modello.xlsx", false, "Attenzione: l'unione con LibreOffice funziona solo con template salvati in \""},
        {3, "modello.xlsx", false, ""},
    };
    for (const auto &c : casi) {
        m_servizi.messages().clear();
        QFile lock(m_dir.file(QStringLiteral(".~lock.modello.xlsx#")));
        if (c.lock) {
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.close();
        } else {
            lock.remove();
        }
        auto d = dialogo();
        d->EditTipoExportClick(c.tipo);
        controllo<QLineEdit>(*d, "EditEseguibileExcel")->setText(QStringLiteral("/bin/sh"));
        controllo<QLineEdit>(*d, "EditExcelPreimpostato")->setText(m_dir.file(QString::fromLatin1(c.modello)));
        d->ButtonApriExcelUnioneClick();
        if (*c.avviso) {
            EXPECT_EQ(d->Risultato(), output::Chiudi) << c.modello;
            ASSERT_EQ(m_servizi.messages().texts().size(), 1);
            EXPECT_TRUE(m_servizi.messages().texts().at(0).startsWith(QString::fromUtf8(c.avviso)))
                << m_servizi.messages().texts().at(0).toStdString();
        } else {
            EXPECT_EQ(d->Risultato(), output::ApriFoglioCalcoloUnione);
            EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
        }
    }
}

TEST_F(EspForm, UnioneLibreOfficeSpostaIlFileDiUscita)
{
    platform::setHostDir(m_dir.file(QStringLiteral("host")) + QLatin1Char('/'));
    const QString cartella = output::cartellaModelliUnione();
    QDir().mkpath(platform::toNativeLocal(cartella));
    const QString modello = cartella + QStringLiteral("mod.xlsx");
    {
        QFile f(platform::toNativeLocal(modello));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto d = dialogo();
    d->EditTipoExportClick(7);
    controllo<QLineEdit>(*d, "EditEseguibileExcel")->setText(QStringLiteral("/bin/sh"));
    controllo<QLineEdit>(*d, "EditExcelPreimpostato")->setText(modello);
    d->ButtonApriExcelUnioneClick();
    EXPECT_EQ(d->Risultato(), output::ApriFoglioCalcoloUnione);
    ASSERT_EQ(m_servizi.messages().texts().size(), 1);
    EXPECT_TRUE(m_servizi.messages().texts().at(0).startsWith(QStringLiteral("Attenzione: sto creando un foglio di calcolo")));
    EXPECT_EQ(QDir::cleanPath(d->NomeFile()), QDir::cleanPath(output::fileEsportazioneUnione()));
    platform::setHostDir(QString());
}

} // namespace
} // namespace vardof::test
