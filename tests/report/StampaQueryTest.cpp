// "&Stampa" of the query window, offscreen: the options window answered by
// the test, the layout files it leaves, the messages, and the preview's
// pages saved as PDF.

#include "ReportProva.h"

#include "OutputDb.h"

#include "output/report/LayoutLst.h"
#include "output/report/StampaRisposta.h"
#include "output/report/ui/FinestraAnteprima.h"
#include "output/report/ui/FinestraDisegno.h"
#include "output/report/ui/StampaQuery.h"
#include "output/report/ui/TTitStForm.h"
#include "platform/IniFile.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QWidget>

using namespace vardof;
using namespace vardof::output::report;

using vardof::test::pagineDelPdf;

namespace {

struct StampaCase
{
    const char *nome;
    int tipo;              // 0 advanced, 1 simple, 2 fast
    const char *report;    // name typed in "Nome file report:"
    bool creaReport;       // a file of that name exists in the report folder, holding junk
    platform::Answer risposta; // to the question, when asked
    bool anteprima;        // the preview is shown
    const char *messaggio; // the one message shown ("" none)
};

class ConClienti : public test::OutputDb
{
protected:
    // 130 customers with an amount totalled with two decimals.
    output::RispostaDaEsportare clienti()
    {
        output::RispostaDaEsportare r;
        r.sql = QStringList{QStringLiteral("WITH RECURSIVE R (N) AS (SELECT 1 FROM RDB$DATABASE UNION ALL "
                                           "SELECT N + 1 FROM R WHERE N < 130)"),
                            QStringLiteral("SELECT CAST(N AS INTEGER) AS CODICE, 'Cliente ' || N AS NOME, "
                                           "CAST(N * 10.5 AS NUMERIC(15,2)) AS FATTURATO FROM R")};
        r.transazione = &tra();
        r.campi = {{0, QStringLiteral("CODICE"), {}, 6, 0}, {1, QStringLiteral("NOME"), {}, 20, 0},
                   {2, QStringLiteral("FATTURATO"), {}, 12, 11}};
        return r;
    }

    // The print of clienti() from a window of company D01, its folders and
    // settings file in m_out.
    ContestoStampa contesto(const QString &tabella = QString())
    {
        ContestoStampa ctx;
        ctx.risposta = clienti();
        ctx.ditta = QStringLiteral("D01");
        ctx.tabella = tabella;
        ctx.dirBin = m_out.path();
        ctx.dirLavoro = m_out.path() + QLatin1Char('/');
        ctx.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
        return ctx;
    }
};

class StampaQuery : public ConClienti, public ::testing::WithParamInterface<StampaCase>
{
};

} // namespace

TEST_P(StampaQuery, printsTheChosenKind)
{
    const StampaCase &c = GetParam();
    platform::ScopedServices servizi;
    servizi.messages().queueAnswer(c.risposta);
    QWidget finestra;
    ContestoStampa ctx = contesto(QStringLiteral("CLIENTI"));
    const QString cartella = m_out.path() + QStringLiteral("/Report/");
    if (c.creaReport) {
        QDir().mkpath(cartella);
        QFile f(cartella + QLatin1String(c.report) + QStringLiteral(".lst"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("questo non e' un layout\r\n");
    }
    int anteprime = 0;
    int pagine = 0;
    // VARDOF_REPORT_PDF_DIR keeps the files for a look.
    const QString cartellaPdf = qEnvironmentVariable("VARDOF_REPORT_PDF_DIR", m_out.path());
    const QString pdf = cartellaPdf + QStringLiteral("/stampa_") + QLatin1String(c.nome) + QStringLiteral(".pdf");
    ctx.esegui = [&](QDialog &d) {
        if (auto *o = qobject_cast<TTitStForm *>(&d)) {
            (c.tipo == 1 ? o->RadioSemplice : c.tipo == 2 ? o->RadioCrystal : o->RadioAvanzato)->click();
            o->EditNomeReport->setText(QLatin1String(c.report));
            o->ButtonOKClick();
            return int(o->result());
        }
        if (auto *a = qobject_cast<FinestraAnteprima *>(&d)) {
            ++anteprime;
            pagine = a->pagine();
            EXPECT_TRUE(a->salvaPdf(pdf));
        }
        return int(QDialog::Accepted);
    };
    ButtonStampaClick(&finestra, ctx);

    EXPECT_EQ(anteprime, c.anteprima ? 1 : 0);
    const QStringList testi = servizi.messages().texts();
    if (*c.messaggio) {
        ASSERT_EQ(testi.size(), 1);
        EXPECT_TRUE(testi[0].startsWith(QString::fromUtf8(c.messaggio))) << testi[0].toStdString();
    } else {
        EXPECT_TRUE(testi.isEmpty()) << testi.join(QLatin1Char('|')).toStdString();
    }
    if (c.anteprima) {
        EXPECT_GE(pagine, 3);
        EXPECT_EQ(pagineDelPdf(pdf), pagine);
    }
    // The settings saved on OK.
    platform::IniFile ini(ctx.fileImpostazioni);
    EXPECT_EQ(ini.readInteger(QStringLiteral("D01"), QStringLiteral("TipoStampa"), -1), c.tipo);
    EXPECT_EQ(ini.readString(QStringLiteral("D01"), QStringLiteral("ReportQuery")), QLatin1String(c.report));
}

INSTANTIATE_TEST_SUITE_P(Cases, StampaQuery, ::testing::Values(
    StampaCase{"avanzata", 0, "", false, platform::Answer::Yes, true, ""},
    StampaCase{"avanzata_report_mancante_si", 0, "CLIENTI", false, platform::Answer::Yes, true,
               "Report di tipo LST non trovato. Stampo con tracciati standard?"},
    StampaCase{"avanzata_report_mancante_no", 0, "CLIENTI", false, platform::Answer::No, false,
               "Report di tipo LST non trovato. Stampo con tracciati standard?"},
    StampaCase{"avanzata_report_non_valido", 0, "ROTTO", true, platform::Answer::Yes, false,
               "Attenzione: il file "},
    StampaCase{"semplice", 1, "", false, platform::Answer::Yes, true, ""},
    StampaCase{"semplice_report_mancante", 1, "NESSUNO", false, platform::Answer::Yes, false,
               "Attenzione: file "},
    StampaCase{"veloce", 2, "TEXT", false, platform::Answer::Yes, true, ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(StampaQuery, theAdvancedTemporaryLayoutIsTheOneWrittenForTheAnswer)
{
    platform::ScopedServices servizi;
    QWidget finestra;
    ContestoStampa ctx = contesto();
    ctx.fontGriglia = QFont(QStringLiteral("Verdana"), 9);
    QByteArray scritto;
    ctx.esegui = [&](QDialog &d) {
        if (auto *o = qobject_cast<TTitStForm *>(&d)) {
            o->RadioAvanzato->click();
            o->RadioOrizzontale->setChecked(true);
            o->CheckNumeraPagine->setChecked(false);
            o->ButtonOKClick();
            return int(o->result());
        }
        QFile f(m_out.path() + QStringLiteral("/Report/QMTTemp.lst"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        scritto = f.readAll();
        return int(QDialog::Accepted);
    };
    ButtonStampaClick(&finestra, ctx);
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = {CampoLayout{QStringLiteral("CODICE"), TipoCampo::Intero, 0, 6, 0},
                                  CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0},
                                  CampoLayout{QStringLiteral("FATTURATO"), TipoCampo::Decimale, 2, 12, 11}};
    o.orizzontale = true;
    o.numeraPagine = false;
    o.font.nome = QStringLiteral("Verdana"); // the grid's font is the print font
    o.font.punti = 9;
    EXPECT_EQ(scritto, CreaFileLSTAvanzato(o));
    EXPECT_TRUE(scritto.contains(" Orientation=2\r\n"));
    EXPECT_FALSE(scritto.contains("Pagina n"));
    EXPECT_TRUE(scritto.contains("Text=\xA8" "Fstr$(Totale.FATTURATO,\"---,---,---,--&.##\",1)\xA8"));
}

// The simple kinds print text pages whose columns are lined up in
// characters: whatever the grid's font, they are laid out in a fixed-pitch one.
class StampaTesto : public ConClienti, public ::testing::WithParamInterface<int>
{
};

TEST_P(StampaTesto, theTextPagesUseAFixedPitchFont)
{
    platform::ScopedServices servizi;
    QWidget finestra;
    ContestoStampa ctx = contesto();
    ctx.fontGriglia = QFont(QStringLiteral("Verdana"), 9);
    QByteArray scritto;
    ctx.esegui = [&](QDialog &d) {
        if (auto *o = qobject_cast<TTitStForm *>(&d)) {
            (GetParam() == 1 ? o->RadioSemplice : o->RadioCrystal)->click();
            o->ButtonOKClick();
            return int(o->result());
        }
        QFile f(m_out.path() + QStringLiteral("/Report/QMTTemp.lst"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        scritto = f.readAll();
        return int(QDialog::Accepted);
    };
    ButtonStampaClick(&finestra, ctx);
    EXPECT_TRUE(scritto.contains("Courier New")) << scritto.left(400).toStdString();
    EXPECT_FALSE(scritto.contains("Verdana"));
}

INSTANTIATE_TEST_SUITE_P(Tipi, StampaTesto, ::testing::Values(1, 2),
                         [](const auto &info) { return info.param == 1 ? std::string("semplice") : std::string("veloce"); });

// The options window opens laid out for the kind saved last; choosing
// another kind shows more or fewer controls, and each keeps its full size.
class CambioTipo : public ConClienti, public ::testing::WithParamInterface<std::pair<int, int>>
{
};

TEST_P(CambioTipo, leavesEveryControlItsRoom)
{
    const auto [salvato, scelto] = GetParam();
    const QString ini = m_out.file(QStringLiteral("ostrel.ini"));
    platform::IniFile(ini).writeInteger(QStringLiteral("D01"), QStringLiteral("TipoStampa"), salvato);
    TTitStForm o(nullptr, QStringLiteral("D01"), m_out.path() + QLatin1Char('/'), ini);
    o.show();
    QCoreApplication::processEvents();
    (scelto == 1 ? o.RadioSemplice : scelto == 2 ? o.RadioCrystal : o.RadioAvanzato)->click();
    QCoreApplication::processEvents();
    for (QWidget *w : o.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->minimumSizeHint().isEmpty())
            continue;
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->metaObject()->className() << " "
                                                              << w->objectName().toStdString() << " "
                                                              << w->property("text").toString().toStdString();
    }
    EXPECT_FALSE(o.RadioAvanzato->geometry().intersects(o.RadioSemplice->geometry()));
    EXPECT_FALSE(o.RadioSemplice->geometry().intersects(o.RadioCrystal->geometry()));
}

INSTANTIATE_TEST_SUITE_P(Tipi, CambioTipo,
                         ::testing::Values(std::pair{2, 0}, std::pair{2, 1}, std::pair{1, 0}, std::pair{0, 2},
                                           std::pair{0, 1}),
                         [](const auto &info) {
                             return "da" + std::to_string(info.param.first) + "a" + std::to_string(info.param.second);
                         });

// "Edita report" from the options window: our designer on the layout the
// print would use; an edit saved there is what the print then reads, and a
// user's layout is written by nobody but the designer.
struct EditaCase
{
    const char *nome;
    int tipo;                  // 0 advanced, 1 simple
    const char *report;        // "Nome file report:"
    bool esiste;               // the named layout exists (a valid one)
    platform::Answer risposta; // to the question, when asked
    const char *aperto;        // the file the designer opens, below the bin folder ("" none)
    const char *messaggio;     // the one message shown ("" none)
};

class EditaReport : public ConClienti
{
};

class EditaReportCasi : public EditaReport, public ::testing::WithParamInterface<EditaCase> {};

TEST_P(EditaReportCasi, opensTheDesignerOnTheLayoutThePrintReads)
{
    const EditaCase &c = GetParam();
    platform::ScopedServices servizi;
    servizi.messages().queueAnswer(c.risposta);
    QWidget finestra;
    ContestoStampa ctx = contesto(QStringLiteral("CLIENTI"));
    const QString cartella = m_out.path() + QStringLiteral("/Report/");
    OpzioniLayoutAvanzato l;
    l.campi = l.colonneGriglia = {CampoLayout{QStringLiteral("CODICE"), TipoCampo::Intero, 0, 6, 0},
                                  CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0},
                                  CampoLayout{QStringLiteral("FATTURATO"), TipoCampo::Decimale, 2, 12, 11}};
    const QString nominato = cartella + QLatin1String(c.report) + QStringLiteral(".lst");
    if (c.esiste) {
        QDir().mkpath(cartella);
        QFile f(nominato);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(CreaFileLSTAvanzato(l));
    }
    QString aperto;
    QByteArray salvato, stampato;
    int anteprime = 0;
    ctx.esegui = [&](QDialog &d) {
        if (auto *o = qobject_cast<TTitStForm *>(&d)) {
            (c.tipo == 1 ? o->RadioSemplice : o->RadioAvanzato)->click();
            o->EditNomeReport->setText(QLatin1String(c.report));
            EXPECT_FALSE(o->ButtonEditReport->isHidden());
            o->ButtonEditReport->click();
            o->ButtonOKClick();
            return int(o->result());
        }
        if (auto *f = qobject_cast<FinestraDisegno *>(&d)) {
            aperto = f->file();
            // The first column retitled, saved.
            f->TabellaColonne->item(0, FinestraDisegno::Titolo)->setText(QStringLiteral("Codice cliente"));
            EXPECT_TRUE(f->ButtonSalvaClick());
            QFile s(aperto);
            EXPECT_TRUE(s.open(QIODevice::ReadOnly));
            salvato = s.readAll();
            return 0;
        }
        if (qobject_cast<FinestraAnteprima *>(&d)) {
            ++anteprime;
            QFile s(aperto);
            if (s.open(QIODevice::ReadOnly))
                stampato = s.readAll();
        }
        return int(QDialog::Accepted);
    };
    ButtonStampaClick(&finestra, ctx);

    const QStringList testi = servizi.messages().texts();
    if (*c.messaggio) {
        // (Refused here, the print that follows asks its own question.)
        ASSERT_FALSE(testi.isEmpty());
        EXPECT_EQ(testi[0], QString::fromUtf8(c.messaggio).arg(nominato));
    } else {
        EXPECT_TRUE(testi.isEmpty()) << testi.join(QLatin1Char('|')).toStdString();
    }
    if (!*c.aperto) {
        EXPECT_TRUE(aperto.isEmpty());
        EXPECT_FALSE(QFile::exists(nominato));
        return;
    }
    EXPECT_EQ(aperto, m_out.path() + QLatin1Char('/') + QLatin1String(c.aperto));
    EXPECT_TRUE(salvato.contains("\"Codice cliente\""));
    EXPECT_EQ(anteprime, 1);
    // The print read the file as the designer left it, and left it so.
    if (c.tipo == 0 || *c.report) {
        EXPECT_EQ(stampato, salvato);
    }
    if (*c.report) {
        QFile s(nominato);
        ASSERT_TRUE(s.open(QIODevice::ReadOnly));
        EXPECT_EQ(s.readAll(), salvato);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EditaReportCasi, ::testing::Values(
    EditaCase{"avanzato_temporaneo", 0, "", false, platform::Answer::Yes, "Report/QMTTemp.lst", ""},
    EditaCase{"avanzato_nominato", 0, "MIO", true, platform::Answer::Yes, "Report/MIO.lst", ""},
    EditaCase{"avanzato_nominato_mancante_si", 0, "NUOVO", false, platform::Answer::Yes, "Report/NUOVO.lst",
              "Report %1 non trovato. Crearlo dai tracciati standard?"},
    EditaCase{"avanzato_nominato_mancante_no", 0, "NUOVO", false, platform::Answer::No, "",
              "Report %1 non trovato. Crearlo dai tracciati standard?"},
    EditaCase{"semplice_nominato_mancante_si", 1, "RIGHE", false, platform::Answer::Yes, "Report/RIGHE.lst",
              "Report %1 non trovato. Crearlo dai tracciati standard?"},
    EditaCase{"semplice_temporaneo", 1, "", false, platform::Answer::Yes, "Report/QMTTemp.lst", ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(EditaReport, aNamedLayoutIsNeverRewrittenByThePrint)
{
    platform::ScopedServices servizi;
    QWidget finestra;
    ContestoStampa ctx = contesto();
    const QString file = m_out.path() + QStringLiteral("/Report/MIO.lst");
    QDir().mkpath(m_out.path() + QStringLiteral("/Report"));
    OpzioniLayoutAvanzato l;
    l.campi = l.colonneGriglia = {CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0}};
    const QByteArray mio = CreaFileLSTAvanzato(l) + "\r\n; a user's own line\r\n";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(mio);
    }
    for (bool orizzontale : {false, true}) {
        int anteprime = 0;
        ctx.esegui = [&](QDialog &d) {
            if (auto *o = qobject_cast<TTitStForm *>(&d)) {
                o->RadioAvanzato->click();
                (orizzontale ? o->RadioOrizzontale : o->RadioVerticale)->setChecked(true);
                o->EditNomeReport->setText(QStringLiteral("MIO"));
                o->ButtonOKClick();
                return int(o->result());
            }
            ++anteprime;
            return int(QDialog::Accepted);
        };
        ButtonStampaClick(&finestra, ctx);
        EXPECT_EQ(anteprime, 1);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), mio);
    }
    EXPECT_TRUE(servizi.messages().texts().isEmpty()) << servizi.messages().texts().join(QLatin1Char('|')).toStdString();
}

TEST(CartellaBin, emptyOrTheWindowsFolderMeansTheCurrentFolder)
{
    const QString corrente = QDir::currentPath() + QLatin1Char('/');
    EXPECT_EQ(cartellaBinStampa(QString()), corrente);
    EXPECT_EQ(cartellaBinStampa(QStringLiteral("c:\\windows")), corrente);
    EXPECT_EQ(cartellaBinStampa(QStringLiteral("C:\\WINDOWS\\")), corrente);
    EXPECT_EQ(cartellaBinStampa(QStringLiteral("/opt/bin/")), QStringLiteral("/opt/bin/"));
}
