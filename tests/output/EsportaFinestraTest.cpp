// The query window's "&Esporta" as a user presses it: the dialog over the
// answer on screen, the file written with the columns the grid shows.

#include "FinestraProva.h"

#include "core/Cp1252.h"
#include "output/ui/EsportaRisposta.h"
#include "output/ui/TQIBEspForm.h"
#include "platform/ScriptedMessages.h"
#include "platform/Shell.h"
#include "platform/Services.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "support/ModalDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>

namespace vardof::test {
namespace {

class EsportaFinestra : public FinestraProva
{
protected:
    void esporta(qbe::TIBLQueryForm &w, int tipo, const QString &cartella, const QString &nome)
    {
        whenShown<output::TQIBEspForm>([=](output::TQIBEspForm *d) {
            d->EditTipoExportClick(tipo);
            d->findChild<QLineEdit *>(QStringLiteral("EditPercorso"))->setText(cartella);
            d->findChild<QLineEdit *>(QStringLiteral("EditNomeFile"))->setText(nome);
            d->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->click();
    }
};

TEST_F(EsportaFinestra, ColonneComeLaGrigliaLeMostra)
{
    platform::ScopedServices servizi;
    const auto finestra = apriRisposta();
    qbe::TIBLQueryForm &w = *finestra;
    ASSERT_TRUE(w.rispostaVisibile());
    ASSERT_TRUE(w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->isEnabled());

    // Only ID, NOME and IMPORTO shown, IMPORTO first, grouped with two decimals.
    auto *grid = w.findChild<QTableView *>(QStringLiteral("DBGrid2"));
    for (int c = 3; c < 10; ++c)
        grid->setColumnHidden(c, true);
    grid->horizontalHeader()->moveSection(2, 0);
    w.sessione().codici().setRaggruppamento(2, 1);

    esporta(w, 0, m_out.path() + QLatin1Char('/'), QStringLiteral("prova.csv"));
    EXPECT_EQ(servizi.messages().texts(), QStringList{QStringLiteral("EXPORT SU FILE TERMINATO !!!")});
    const QByteArray atteso = core::toCp1252(QString::fromUtf8("IMPORTO;ID;NOME\r\n"));
    const QByteArray file = leggiFile(m_out.file(QStringLiteral("prova.csv")));
    EXPECT_TRUE(file.startsWith(atteso)) << file.toStdString();
    EXPECT_TRUE(file.contains(core::toCp1252(QString::fromUtf8(";1;Caffè; latte\r\n")))) << file.toStdString();
    EXPECT_TRUE(file.contains("1.234,50;1;")) << file.toStdString();
    EXPECT_EQ(file.count("\r\n"), 4);
    w.ButtonChiudiClick();
}

TEST_F(EsportaFinestra, NomeProposto)
{
    platform::ScopedServices servizi;
    const struct
    {
        const char *nomeExport;
        const char *atteso;
    } casi[] = {{"", "PROVA.CSV"}, {"clienti.txt", "clienti.CSV"}};
    for (const auto &c : casi) {
        const auto finestra = apriRisposta(QString::fromLatin1(c.nomeExport));
        qbe::TIBLQueryForm &w = *finestra;
        QString proposto;
        whenShown<output::TQIBEspForm>([&](output::TQIBEspForm *d) {
            proposto = d->findChild<QLineEdit *>(QStringLiteral("EditNomeFile"))->text();
            d->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        });
        w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->click();
        EXPECT_EQ(proposto, QString::fromLatin1(c.atteso));
        EXPECT_TRUE(servizi.messages().texts().isEmpty());
        w.ButtonChiudiClick();
    }
}


// A text export that fails tells why, then offers the older export through
// the same dialog; the file it writes is the text export without the typed
// headers.
TEST_F(EsportaFinestra, EsportazioneFallitaPassaAllaVecchia)
{
    platform::ScopedServices servizi;
    output::ContestoEsportazione c;
    c.risposta = risposta(QStringLiteral("ID, NOME"));
    c.ditta = QStringLiteral("D01");
    c.dirLavoro = m_out.path();
    c.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
    c.nomeFile = QStringLiteral("PROVA.CSV");
    int dialoghi = 0;
    c.esegui = [&](output::TQIBEspForm &d) {
        ++dialoghi;
        d.findChild<QLineEdit *>(QStringLiteral("EditPercorso"))
            ->setText(dialoghi == 1 ? m_out.file(QStringLiteral("manca/")) : m_out.path() + QLatin1Char('/'));
        d.findChild<QCheckBox *>(QStringLiteral("CheckQualificaCampi"))->setChecked(true);
        d.OKBtnClick();
        return d.Risultato();
    };
    output::ButtonEsportaClick(nullptr, c);
    EXPECT_EQ(dialoghi, 2);
    const QStringList testi = servizi.messages().texts();
    ASSERT_EQ(testi.size(), 2);
    EXPECT_TRUE(testi.at(0).startsWith(QStringLiteral("Impossibile scrivere il file"))) << testi.at(0).toStdString();
    EXPECT_EQ(testi.at(1), QStringLiteral("EXPORT SU FILE TERMINATO !!!"));
    EXPECT_EQ(leggiFile(m_out.file(QStringLiteral("PROVA.CSV"))),
              core::toCp1252(QString::fromUtf8("ID;NOME\r\n1;Caffè; latte\r\n2;D'Angelo \"il grande\"\r\n3;\r\n")));
}

// Closing the dialog with "Chiudi" exports nothing and asks nothing more.
TEST_F(EsportaFinestra, ChiudiNonEsporta)
{
    platform::ScopedServices servizi;
    output::ContestoEsportazione c;
    c.risposta = risposta(QStringLiteral("ID"));
    c.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
    c.nomeFile = QStringLiteral("PROVA.CSV");
    int dialoghi = 0;
    c.esegui = [&](output::TQIBEspForm &d) {
        ++dialoghi;
        d.CancelBtnClick();
        return d.Risultato();
    };
    output::ButtonEsportaClick(nullptr, c);
    EXPECT_EQ(dialoghi, 1);
    EXPECT_TRUE(servizi.messages().texts().isEmpty());
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).filter(QStringLiteral(".CSV")).isEmpty());
}


// "Apri foglio calcolo": the file goes to the user's spreadsheet program
// when one is set, else to the desktop's opener.
TEST_F(EsportaFinestra, ApreIlRisultato)
{
    const struct
    {
        const char *programma;
        bool desktop;
    } casi[] = {{"", true}, {"/opt/foglio/bin/foglio", false}};
    for (const auto &caso : casi) {
        platform::ScopedServices servizi;
        QStringList avviati;
        auto precedente = output::setAvviaProgramma([&](const QString &programma, const QStringList &argomenti) {
            avviati << programma + QLatin1Char(' ') + argomenti.join(u' ');
            return true;
        });
        output::ContestoEsportazione c;
        c.risposta = risposta(QStringLiteral("ID, NOME, IMPORTO"));
        c.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
        c.nomeFile = QStringLiteral("PROVA.CSV");
        c.caricaParametro = [&](const QString &nome) {
            return nome == QLatin1String("Programma riferimento Excel") ? QString::fromLatin1(caso.programma) : QString();
        };
        c.esegui = [&](output::TQIBEspForm &d) {
            d.EditTipoExportClick(3);
            d.findChild<QLineEdit *>(QStringLiteral("EditPercorso"))->setText(m_out.path() + QLatin1Char('/'));
            d.BitBtnApriExcelClick();
            return d.Risultato();
        };
        output::ButtonEsportaClick(nullptr, c);
        output::setAvviaProgramma(precedente);
        const QString file = m_out.file(QStringLiteral("PROVA.xlsx"));
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_TRUE(servizi.messages().texts().isEmpty()) << servizi.messages().texts().join(u'|').toStdString();
        if (caso.desktop) {
            EXPECT_EQ(servizi.shell().openedFiles(), QStringList{file});
            EXPECT_TRUE(avviati.isEmpty());
        } else {
            EXPECT_TRUE(servizi.shell().openedFiles().isEmpty());
            EXPECT_EQ(avviati, QStringList{QStringLiteral("/opt/foglio/bin/foglio ") + file});
        }
        QFile::remove(file);
    }
}

} // namespace
} // namespace vardof::test
