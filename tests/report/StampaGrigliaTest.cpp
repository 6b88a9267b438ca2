// The grid's print: the columns of its stored layout (visible ones, in
// position order, widths from pixels), the command text, the layout file
// that exists only while the preview runs, the preview's pages.

#include "OutputDb.h"

#include "db/Statement.h"
#include "output/report/TQmtGridStampa.h"
#include "output/report/ui/FinestraAnteprima.h"
#include "output/report/ui/FinestraDisegno.h"
#include "output/report/ui/TStQmtGridForm.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace vardof;
using namespace vardof::output::report;

namespace {

class StampaGriglia : public test::OutputDb
{
protected:
    void SetUp() override
    {
        OutputDb::SetUp();
        static bool creata = false;
        if (!creata) {
            db::Transaction t(att());
            db::executeSql(t, QStringLiteral("CREATE TABLE STOASP1 (CODICEPROGETTO INTEGER, CODICESITUAZIONE INTEGER, "
                                             "CODICEUTENTE INTEGER, NOMECAMPO VARCHAR(31), NOMECOLONNA VARCHAR(60), "
                                             "LARGHEZZA INTEGER, VISIBILE SMALLINT, POSIZIONE INTEGER)"));
            t.commit();
            db::Transaction u(att());
            // Project 526, situation 3, user 7: NOME hidden, IMPORTO before ID.
            for (const char *sql : {"INSERT INTO STOASP1 VALUES (526, 3, 7, 'ID', 'Codice', 76, 1, 2)",
                                    "INSERT INTO STOASP1 VALUES (526, 3, 7, 'NOME', 'Nome', 300, 0, 1)",
                                    "INSERT INTO STOASP1 VALUES (526, 3, 7, 'IMPORTO', 'Importo', 189, 1, 0)",
                                    "INSERT INTO STOASP1 VALUES (526, 3, 8, 'NOTE', 'Note', 189, 1, 0)"})
                db::executeSql(u, QString::fromUtf8(sql));
            u.commit();
            creata = true;
        }
    }

    void riempi(TQmtGridStampa &s)
    {
        s.CodiceProgetto = 526;
        s.CodiceSituazione = 3;
        s.Utente = 7;
        s.NomeTitolo = QStringLiteral("PROVA");
        s.TestoSQL = QStringLiteral("SELECT * FROM PROVA ORDER BY ID");
        s.DirBin = m_out.path();
        s.DatabaseImpostazioni = &att();
    }
};

} // namespace

TEST_F(StampaGriglia, readsTheVisibleColumnsInPositionOrder)
{
    TQmtGridStampa s;
    riempi(s);
    const auto c = s.colonne();
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].nomeCampo, QStringLiteral("IMPORTO"));
    EXPECT_EQ(c[0].larghezzaPixel, 189);
    EXPECT_EQ(c[1].nomeColonna, QStringLiteral("Codice"));
}

TEST_F(StampaGriglia, namesItsLayoutOnceAndBuildsTheCommandText)
{
    TQmtGridStampa s(QDateTime(QDate(2026, 12, 10), QTime(8, 5, 9, 42)));
    riempi(s);
    EXPECT_EQ(s.nomeFileLayout(), QStringLiteral("StQmtGrid_20261210080509042.LST"));
    EXPECT_EQ(s.percorsoLayout(), m_out.path() + QStringLiteral("/report/StQmtGrid_20261210080509042.LST"));
    EXPECT_EQ(s.testoComando(true),
              QStringLiteral("<QMTForm><SQLStampa>SELECT * FROM PROVA ORDER BY ID</SQLStampa><NomeReport>")
                  + s.percorsoLayout()
                  + QStringLiteral("</NomeReport><TitoloStampa>Stampa PROVA</TitoloStampa>"
                                   "<AnteprimaDiretta>1</AnteprimaDiretta></QMTForm>"));
    EXPECT_TRUE(s.testoComando(false).endsWith(QStringLiteral("<EditaReportDiretto>1</EditaReportDiretto></QMTForm>")));
}

TEST_F(StampaGriglia, previewsTheRowsAndLeavesNoLayoutFile)
{
    platform::ScopedServices servizi;
    TQmtGridStampa s;
    riempi(s);
    TStQmtGridForm finestra(nullptr, s);
    finestra.EditIntestazione1->setText(QStringLiteral("Prove"));
    finestra.CheckNumeraPagine->setChecked(true);
    bool esisteDurante = false;
    int pagine = -1;
    QByteArray layout;
    finestra.esegui = [&](FinestraAnteprima &a) {
        QFile f(s.percorsoLayout());
        esisteDurante = f.open(QIODevice::ReadOnly);
        layout = f.readAll();
        pagine = a.pagine();
        return 0;
    };
    finestra.ButtonAnteprimaClick();
    EXPECT_TRUE(servizi.messages().texts().isEmpty()) << servizi.messages().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(esisteDurante);
    EXPECT_EQ(pagine, 1);
    EXPECT_TRUE(layout.contains("Text=\"Prove\""));
    EXPECT_TRUE(layout.contains("Text=IMPORTO"));
    EXPECT_FALSE(layout.contains("Text=NOME"));
    EXPECT_FALSE(QFile::exists(s.percorsoLayout()));
}

TEST_F(StampaGriglia, aStatementTheServerRefusesIsToldAndLeavesNoLayoutFile)
{
    platform::ScopedServices servizi;
    TQmtGridStampa s;
    riempi(s);
    s.TestoSQL = QStringLiteral("SELECT * FROM NON_ESISTE");
    TStQmtGridForm finestra(nullptr, s);
    int anteprime = 0;
    finestra.esegui = [&](FinestraAnteprima &) { return ++anteprime; };
    finestra.ButtonAnteprimaClick();
    EXPECT_EQ(anteprime, 0);
    const QStringList testi = servizi.messages().texts();
    ASSERT_EQ(testi.size(), 1);
    EXPECT_TRUE(testi[0].startsWith(QStringLiteral("Errore nell'accesso alla stampa:\r"))) << testi[0].toStdString();
    EXPECT_TRUE(testi[0].contains(QStringLiteral("NON_ESISTE"))) << testi[0].toStdString();
    EXPECT_FALSE(QFile::exists(s.percorsoLayout()));
}

// "Apri editazione report": our designer on the grid's layout, its preview
// printing the rows as edited; the layout goes when the designer closes.
TEST_F(StampaGriglia, theDesignerOpensTheLayoutAndPreviewsItsEdits)
{
    platform::ScopedServices servizi;
    TQmtGridStampa s;
    riempi(s);
    TStQmtGridForm finestra(nullptr, s);
    finestra.EditIntestazione1->setText(QStringLiteral("Prove"));
    QString aperto;
    int pagine = -1;
    finestra.eseguiDisegno = [&](QDialog &d) {
        auto *f = qobject_cast<FinestraDisegno *>(&d);
        EXPECT_TRUE(f);
        if (!f)
            return 0;
        aperto = f->file();
        EXPECT_TRUE(QFile::exists(aperto));
        EXPECT_EQ(f->TabellaColonne->rowCount(), 2);
        f->TabellaColonne->item(1, FinestraDisegno::Titolo)->setText(QStringLiteral("Numero"));
        f->ButtonAnteprima->click();
        return 0;
    };
    finestra.esegui = [&](FinestraAnteprima &a) {
        pagine = a.pagine();
        return 0;
    };
    finestra.AzioneEditaReport->trigger();
    EXPECT_EQ(aperto, s.percorsoLayout());
    EXPECT_EQ(pagine, 1);
    EXPECT_TRUE(servizi.messages().texts().isEmpty()) << servizi.messages().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(QFile::exists(s.percorsoLayout()));
}
