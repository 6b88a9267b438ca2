// The layout designer offscreen: each control changes what the saved file
// holds; leaving with changes asks; a file that cannot be written or read
// is told and left as it was.

#include "output/report/LayoutLst.h"
#include "output/report/ui/FinestraDisegno.h"
#include "platform/FileDialogs.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace vardof;
using namespace vardof::output::report;
using vardof::test::TempDir;

namespace {

QByteArray layoutClienti()
{
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = {CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0},
                                  CampoLayout{QStringLiteral("IMPORTO"), TipoCampo::Virgola, 0, 10, 11},
                                  CampoLayout{QStringLiteral("NOTE"), TipoCampo::Memo, 0, 10, 0}};
    return CreaFileLSTAvanzato(o);
}

QByteArray leggi(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void scrivi(const QString &file, const QByteArray &testo)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo);
}

QStringList espressioni(const RigaModello &r)
{
    QStringList out;
    for (const ColonnaModello &c : r.colonne)
        out << c.espressione;
    return out;
}

int riga(QListWidget *l, const QString &testo)
{
    for (int i = 0; i < l->count(); ++i)
        if (l->item(i)->text() == testo)
            return i;
    return -1;
}

struct ControlloCase
{
    const char *nome;
    std::function<void(FinestraDisegno &, platform::ScopedServices &)> azione;
    std::function<void(const ModelloReport &)> verifica;
    const char *messaggio = ""; // the one message shown, if any
};

class ControlliDisegno : public ::testing::TestWithParam<ControlloCase> {};

TEST_P(ControlliDisegno, changeWhatTheSavedFileHolds)
{
    const ControlloCase &c = GetParam();
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    bool aperta = false;
    ApriDisegno(nullptr, file, {}, [&](QDialog &d) {
        auto *f = qobject_cast<FinestraDisegno *>(&d);
        EXPECT_TRUE(f);
        if (!f)
            return 0;
        aperta = true;
        EXPECT_EQ(f->TabellaColonne->rowCount(), 3);
        c.azione(*f, servizi);
        EXPECT_TRUE(f->modificato());
        EXPECT_TRUE(f->ButtonSalvaClick());
        EXPECT_FALSE(f->modificato());
        return 1;
    });
    ASSERT_TRUE(aperta);
    const QStringList testi = servizi.messages().texts();
    if (*c.messaggio) {
        ASSERT_EQ(testi.size(), 1);
        EXPECT_EQ(testi[0], QString::fromUtf8(c.messaggio));
    } else {
        EXPECT_TRUE(testi.isEmpty()) << testi.join(QLatin1Char('|')).toStdString();
    }
    QString errore;
    const auto m = LeggiLayout(leggi(file), &errore);
    ASSERT_TRUE(m) << errore.toStdString();
    c.verifica(*m);
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlliDisegno, ::testing::Values(
    ControlloCase{"titolo",
                  [](FinestraDisegno &f, auto &) { f.TabellaColonne->item(1, FinestraDisegno::Titolo)->setText(QStringLiteral("Importo €")); },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(espressioni(m.testata), (QStringList{"\"NOME\"", "\"Importo €\"", "\"NOTE\""}));
                  }},
    ControlloCase{"campo",
                  [](FinestraDisegno &f, auto &) { f.TabellaColonne->item(2, FinestraDisegno::Campo)->setText(QStringLiteral(" NOME ")); },
                  [](const ModelloReport &m) { EXPECT_EQ(m.dettaglio.colonne[2].espressione, QStringLiteral("NOME")); }},
    ControlloCase{"larghezza_con_la_virgola",
                  [](FinestraDisegno &f, auto &) { f.TabellaColonne->item(0, FinestraDisegno::Larghezza)->setText(QStringLiteral("12,5")); },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(m.dettaglio.colonne[0].larghezza, 12500);
                      EXPECT_EQ(m.testata.colonne[0].larghezza, 12500);
                      EXPECT_EQ(m.totali.colonne[0].larghezza, 12500);
                  }},
    ControlloCase{"larghezza_non_valida",
                  [](FinestraDisegno &f, auto &) {
                      f.TabellaColonne->item(0, FinestraDisegno::Larghezza)->setText(QStringLiteral("tanta"));
                      f.TabellaColonne->item(2, FinestraDisegno::Larghezza)->setText(QStringLiteral("30"));
                  },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(m.dettaglio.colonne[0].larghezza, 40000);
                      EXPECT_EQ(m.dettaglio.colonne[2].larghezza, 30000);
                  },
                  "Larghezza non valida: indicare i millimetri (da 0 a 2000)"},
    ControlloCase{"allineamento",
                  [](FinestraDisegno &f, auto &) {
                      qobject_cast<QComboBox *>(f.TabellaColonne->cellWidget(0, FinestraDisegno::Allineamento))->setCurrentIndex(1);
                  },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(m.dettaglio.colonne[0].allinea, 1);
                      EXPECT_EQ(m.testata.colonne[0].allinea, 1);
                  }},
    ControlloCase{"nascosta",
                  [](FinestraDisegno &f, auto &) { f.TabellaColonne->item(2, FinestraDisegno::Visibile)->setCheckState(Qt::Unchecked); },
                  [](const ModelloReport &m) {
                      EXPECT_FALSE(m.dettaglio.colonne[2].visibile);
                      EXPECT_FALSE(m.testata.colonne[2].visibile);
                      EXPECT_TRUE(m.dettaglio.colonne[1].visibile);
                  }},
    ControlloCase{"senza_totale",
                  [](FinestraDisegno &f, auto &) {
                      // A text field offers no total.
                      EXPECT_FALSE(f.TabellaColonne->item(0, FinestraDisegno::Totale)->flags() & Qt::ItemIsUserCheckable);
                      f.TabellaColonne->item(1, FinestraDisegno::Totale)->setCheckState(Qt::Unchecked);
                  },
                  [](const ModelloReport &m) { EXPECT_EQ(m.totali.colonne[1].espressione, QStringLiteral("\" \"")); }},
    ControlloCase{"su",
                  [](FinestraDisegno &f, auto &) {
                      f.TabellaColonne->selectRow(2);
                      f.ButtonSuClick();
                      EXPECT_EQ(f.TabellaColonne->currentRow(), 1);
                      EXPECT_EQ(f.TabellaColonne->item(1, FinestraDisegno::Campo)->text(), QStringLiteral("NOTE"));
                  },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(espressioni(m.testata), (QStringList{"\"NOME\"", "\"NOTE\"", "\"IMPORTO\""}));
                      EXPECT_EQ(m.dettaglio.colonne[1].espressione, QStringLiteral("NOTE"));
                  }},
    ControlloCase{"giu",
                  [](FinestraDisegno &f, auto &) {
                      f.TabellaColonne->selectRow(0);
                      f.ButtonGiuClick();
                      f.ButtonGiuClick();
                      f.ButtonGiuClick(); // already last: nothing
                  },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(espressioni(m.testata), (QStringList{"\"IMPORTO\"", "\"NOTE\"", "\"NOME\""}));
                  }},
    ControlloCase{"orizzontale",
                  [](FinestraDisegno &f, auto &) { f.RadioOrizzontale->setChecked(true); },
                  [](const ModelloReport &m) {
                      EXPECT_TRUE(m.orizzontale);
                      EXPECT_GT(m.larghezzaPagina, m.altezzaPagina);
                  }},
    ControlloCase{"font_elenco",
                  [](FinestraDisegno &f, platform::ScopedServices &s) {
                      s.fileDialogs().queueFont(platform::FontChoice{QStringLiteral("Courier New"), 11, false, true});
                      f.ButtonFontElencoClick();
                      EXPECT_TRUE(f.ButtonFontElenco->text().contains(QStringLiteral("Courier New 11")));
                  },
                  [](const ModelloReport &m) {
                      EXPECT_EQ(m.font.nome, QStringLiteral("Courier New"));
                      EXPECT_EQ(m.font.punti, 11);
                      EXPECT_TRUE(m.font.corsivo);
                  }},
    ControlloCase{"righe_del_testo",
                  [](FinestraDisegno &f, auto &) {
                      const int i = riga(f.ListaTesti, QStringLiteral("Note"));
                      ASSERT_GE(i, 0);
                      f.ListaTesti->setCurrentRow(i);
                      f.EditRigheTesto->setPlainText(QStringLiteral("Note\n\"Riservato\"\n"));
                      f.ComboAllineaTesto->setCurrentIndex(2);
                  },
                  [](const ModelloReport &m) {
                      bool trovato = false;
                      for (const TestoModello &t : m.testi)
                          if (t.righe == QStringList{QStringLiteral("Note"), QStringLiteral("\"Riservato\"")}) {
                              trovato = true;
                              EXPECT_EQ(t.allinea, 2);
                          }
                      EXPECT_TRUE(trovato);
                  }},
    ControlloCase{"testo_nascosto_con_il_suo_font",
                  [](FinestraDisegno &f, platform::ScopedServices &s) {
                      const int i = riga(f.ListaTesti, QStringLiteral("Titolo"));
                      ASSERT_GE(i, 0);
                      f.ListaTesti->setCurrentRow(i);
                      f.CheckTestoVisibile->setChecked(false);
                      s.fileDialogs().queueFont(platform::FontChoice{QStringLiteral("Times New Roman"), 14, true});
                      f.ButtonFontTestoClick();
                  },
                  [](const ModelloReport &m) {
                      bool trovato = false;
                      for (const TestoModello &t : m.testi)
                          if (t.righe == QStringList{QStringLiteral("Titolo")}) {
                              trovato = true;
                              EXPECT_FALSE(t.visibile);
                              EXPECT_EQ(t.font.nome, QStringLiteral("Times New Roman"));
                              EXPECT_EQ(t.font.punti, 14);
                              EXPECT_TRUE(t.font.grassetto);
                          }
                      EXPECT_TRUE(trovato);
                  }}),
    [](const auto &info) { return std::string(info.param.nome); });

struct UscitaCase
{
    const char *nome;
    platform::Answer risposta;
    bool salvato;
    bool chiusa;
};

class UscitaDisegno : public ::testing::TestWithParam<UscitaCase> {};

TEST_P(UscitaDisegno, withChangesAsksFirst)
{
    const UscitaCase &c = GetParam();
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    servizi.messages().queueAnswer(c.risposta);
    int chiusa = 0;
    ApriDisegno(nullptr, file, {}, [&](QDialog &d) {
        auto &f = static_cast<FinestraDisegno &>(d);
        QObject::connect(&f, &QDialog::finished, [&] { ++chiusa; });
        f.TabellaColonne->item(0, FinestraDisegno::Titolo)->setText(QStringLiteral("Cliente"));
        f.ButtonChiudi->click();
        return 0;
    });
    EXPECT_EQ(servizi.messages().texts(), QStringList{QStringLiteral("Salvare le modifiche al report?")});
    EXPECT_EQ(chiusa, c.chiusa ? 1 : 0);
    EXPECT_EQ(leggi(file) == layoutClienti(), !c.salvato);
}

INSTANTIATE_TEST_SUITE_P(Cases, UscitaDisegno, ::testing::Values(
    UscitaCase{"si", platform::Answer::Yes, true, true},
    UscitaCase{"no", platform::Answer::No, false, true},
    UscitaCase{"annulla", platform::Answer::Cancel, false, false}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(FinestraDisegno, closesWithoutAskingWhenNothingChanged)
{
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    int chiusa = 0;
    ApriDisegno(nullptr, file, {}, [&](QDialog &d) {
        QObject::connect(&d, &QDialog::finished, [&] { ++chiusa; });
        static_cast<FinestraDisegno &>(d).ButtonChiudi->click();
        return 0;
    });
    EXPECT_EQ(chiusa, 1);
    EXPECT_TRUE(servizi.messages().texts().isEmpty());
    EXPECT_EQ(leggi(file), layoutClienti());
}

TEST(FinestraDisegno, aFileThatCannotBeWrittenIsToldAndKeepsTheChanges)
{
    TempDir tmp;
    QDir(tmp.path()).mkdir(QStringLiteral("Report"));
    const QString file = tmp.file(QStringLiteral("Report/CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    ApriDisegno(nullptr, file, {}, [&](QDialog &d) {
        auto &f = static_cast<FinestraDisegno &>(d);
        f.TabellaColonne->item(0, FinestraDisegno::Titolo)->setText(QStringLiteral("Cliente"));
        // The folder goes while the designer is open.
        QDir(tmp.file(QStringLiteral("Report"))).removeRecursively();
        EXPECT_FALSE(f.ButtonSalvaClick());
        EXPECT_TRUE(f.modificato());
        return 0;
    });
    const QStringList testi = servizi.messages().texts();
    ASSERT_EQ(testi.size(), 1);
    EXPECT_TRUE(testi[0].startsWith(QStringLiteral("Impossibile salvare il report \"") + file + QStringLiteral("\":\r")))
        << testi[0].toStdString();
    EXPECT_TRUE(testi[0].contains(QStringLiteral("No such file"))) << testi[0].toStdString();
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

struct AperturaCase
{
    const char *nome;
    const char *contenuto; // nullptr: no file
    const char *messaggio;
};

class AperturaDisegno : public ::testing::TestWithParam<AperturaCase> {};

TEST_P(AperturaDisegno, aFileThatIsNotALayoutIsToldAndNotOpened)
{
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("X.lst"));
    if (GetParam().contenuto)
        scrivi(file, GetParam().contenuto);
    platform::ScopedServices servizi;
    int aperte = 0;
    ApriDisegno(nullptr, file, {}, [&](QDialog &) { return ++aperte; });
    EXPECT_EQ(aperte, 0);
    const QStringList testi = servizi.messages().texts();
    ASSERT_EQ(testi.size(), 1);
    EXPECT_EQ(testi[0], QString::fromUtf8(GetParam().messaggio).arg(file));
    if (GetParam().contenuto) {
        EXPECT_EQ(leggi(file), QByteArray(GetParam().contenuto));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AperturaDisegno, ::testing::Values(
    AperturaCase{"mancante", nullptr, "Attenzione: file %1 non trovato, impossibile continuare"},
    AperturaCase{"non_un_layout", "questo non e' un layout\r\n",
                 "Il file %1 non è un report modificabile:\rmanca l'elenco delle colonne"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(FinestraDisegno, thePreviewPrintsTheLayoutAsItStandsBeforeSaving)
{
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    std::optional<ModelloReport> visto;
    ApriDisegno(nullptr, file, [&](QWidget *, const ModelloReport &m) { visto = m; }, [&](QDialog &d) {
        auto &f = static_cast<FinestraDisegno &>(d);
        EXPECT_FALSE(f.ButtonAnteprima->isHidden());
        f.TabellaColonne->item(2, FinestraDisegno::Visibile)->setCheckState(Qt::Unchecked);
        f.ButtonAnteprima->click();
        f.ButtonChiudi->click(); // not saved: the question answered Yes by default
        return 0;
    });
    ASSERT_TRUE(visto);
    EXPECT_FALSE(visto->dettaglio.colonne[2].visibile);
}

TEST(FinestraDisegno, withoutAPreviewTheButtonIsHidden)
{
    TempDir tmp;
    const QString file = tmp.file(QStringLiteral("CLIENTI.lst"));
    scrivi(file, layoutClienti());
    platform::ScopedServices servizi;
    ApriDisegno(nullptr, file, {}, [&](QDialog &d) {
        EXPECT_TRUE(static_cast<FinestraDisegno &>(d).ButtonAnteprima->isHidden());
        return 0;
    });
}

} // namespace
