#include "OutputDb.h"

#include "db/Statement.h"
#include "output/Esportazione.h"
#include "output/Unione.h"
#include "platform/RunFeedback.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vardof::test {
namespace {

using output::TipoExport;

// A spreadsheet read back as CSV by LibreOffice: "," between fields, text
// cells quoted (numbers and dates bare), values as stored (not as shown).
QString comeCsv(const QString &file)
{
    TempDir out;
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("soffice")),
            {QStringLiteral("-env:UserInstallation=file://") + QDir::tempPath() + QStringLiteral("/vardof-test-lettura"),
             QStringLiteral("--headless"), QStringLiteral("--convert-to"),
             QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,false"), QStringLiteral("--outdir"),
             out.path(), file});
    p.waitForFinished(180000);
    QFile f(out.file(QFileInfo(file).completeBaseName() + QStringLiteral(".csv")));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<non letto: %1>").arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(f.readAll());
}

bool libreOfficePresente()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

struct CasoFoglio
{
    const char *nome;
    TipoExport tipo;
    const char *colonne;
    std::vector<output::CampoEsportato> campi;
    const char *letto; // the workbook read back as CSV (UTF-8)
};

// Numbers come back bare and dates as the dates they are; text comes back
// quoted, whole: accents, ";", quotes and the memo's line break included.
const CasoFoglio kCasi[] = {
    {"xlsx", TipoExport::ExcelX, "ID, NOME, IMPORTO, PREZZO, DATA, MOMENTO, NOTE", {},
     "\"ID\",\"NOME\",\"IMPORTO\",\"PREZZO\",\"DATA\",\"MOMENTO\",\"NOTE\"\n"
     "1,\"Caffè; latte\",1234.5,1234.5,02/29/2024,02/29/2024 08:30:00,\"riga uno\nriga \"\"due\"\"\"\n"
     "2,\"D'Angelo \"\"il grande\"\"\",-0.05,-2.25,12/31/1999,,\n"
     "3,,,,,,\"solo;punto e virgola\"\n"},
    // The LibreOffice CSV turns ";" and line breaks inside a text into ","
    // and a blank, as its writer does for every field.
    {"libreOfficeXls", TipoExport::LibreOfficeXLS, "ID, NOME, IMPORTO, DATA, NOTE", {},
     "\"ID\",\"NOME\",\"IMPORTO\",\"DATA\",\"NOTE\"\n"
     "1,\"Caffè, latte\",1234.5,2024-02-29,\"riga uno riga \"\"due\"\"\"\n"
     "2,\"D'Angelo \"\"il grande\"\"\",-0.05,1999-12-31,\n"
     "3,,,,\"solo,punto e virgola\"\n"},
    {"libreOfficeXlsx", TipoExport::LibreOfficeXLSX, "ID, NOME, QTA", {},
     "\"ID\",\"NOME\",\"QTA\"\n1,\"Caffè, latte\",3\n2,\"D'Angelo \"\"il grande\"\"\",-7\n3,,\n"},
    {"excelViaLibreOffice", TipoExport::Excel, "ID, NOME, PREZZO", {},
     "\"ID\",\"NOME\",\"PREZZO\"\n1,\"Caffè, latte\",1234.5\n2,\"D'Angelo \"\"il grande\"\"\",-2.25\n3,,\n"},
    // Excel L: numeric columns as numbers, the rest as text (dates too, as
    // the text export writes them).
    {"excelL", TipoExport::ExcelL, "ID, NOME, IMPORTO, DATA", {},
     "\"ID\",\"NOME\",\"IMPORTO\",\"DATA\"\n1,\"Caffè; latte\",1234.5,\"29/02/2024\"\n"
     "2,\"D'Angelo \"\"il grande\"\"\",-0.05,\"31/12/1999\"\n3,,,\n"},
    {"excelLTesto", TipoExport::ExcelLTesto, "ID, NOME, IMPORTO", {},
     "\"ID\",\"NOME\",\"IMPORTO\"\n\"1\",\"Caffè; latte\",\"1234,50\"\n\"2\",\"D'Angelo \"\"il grande\"\"\",\"-0,05\"\n\"3\",,\n"},
};

class FogliCalcolo : public OutputDb, public ::testing::WithParamInterface<CasoFoglio>
{
};

bool esporta(output::Esportatore &esp, TipoExport tipo, const QString &file)
{
    switch (tipo) {
    case TipoExport::ExcelX: return esp.EsportaXlsx(file);
    case TipoExport::Excel:
    case TipoExport::LibreOfficeXLS: return esp.EsportaLibreOffice(0, file, false, QString());
    case TipoExport::LibreOfficeXLSX: return esp.EsportaLibreOffice(1, file, false, QString());
    case TipoExport::ExcelL: return esp.EsportaExcelL(file, false, {}, QString());
    case TipoExport::ExcelLTesto: return esp.EsportaExcelL(file, true, {}, QString());
    default: return false;
    }
}

TEST_P(FogliCalcolo, LettoDaLibreOfficeComeEsportato)
{
    if (!libreOfficePresente())
        GTEST_SKIP() << "LibreOffice non installato";
    const CasoFoglio &c = GetParam();
    auto r = risposta(QString::fromUtf8(c.colonne));
    r.campi = c.campi;
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    const bool xlsx = c.tipo == TipoExport::ExcelX || c.tipo == TipoExport::LibreOfficeXLSX;
    const QString file = m_out.file(xlsx ? QStringLiteral("export.xlsx") : QStringLiteral("export.xls"));
    ASSERT_TRUE(esporta(esp, c.tipo, file)) << esp.errore().toStdString();
    EXPECT_TRUE(fb.asked.isEmpty());
    // Nothing but the result beside it: the work files went with their folder.
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(file).fileName()});
    EXPECT_EQ(comeCsv(file), QString::fromUtf8(c.letto));
}

INSTANTIATE_TEST_SUITE_P(Casi, FogliCalcolo, ::testing::ValuesIn(kCasi),
                         [](const auto &info) { return std::string(info.param.nome); });

// ---- what stops an export before anything is written --------------------------

class FogliGuasti : public OutputDb
{
};

TEST_F(FogliGuasti, LibreOfficeMancante)
{
    const struct
    {
        TipoExport tipo;
        const char *cartella;
        const char *messaggio;
    } casi[] = {
        {TipoExport::LibreOfficeXLS, "/cartella/che/non/esiste", "Directory bin LibreOffice \"/cartella/che/non/esiste\" non trovata"},
        {TipoExport::ExcelL, "/cartella/che/non/esiste", "Directory bin LibreOffice \"/cartella/che/non/esiste\" non trovata"},
        // A folder without the program: the start fails with the reason.
        {TipoExport::LibreOfficeXLSX, "/tmp", "Impossibile avviare LibreOffice"},
    };
    for (const auto &c : casi) {
        auto r = risposta(QStringLiteral("ID, NOME"));
        platform::RecordingFeedback fb;
        output::Esportatore esp(r, fb);
        const QString file = m_out.file(QStringLiteral("export.xls"));
        const bool ok = c.tipo == TipoExport::ExcelL
                            ? esp.EsportaExcelL(file, false, {}, QString::fromUtf8(c.cartella))
                            : esp.EsportaLibreOffice(c.tipo == TipoExport::LibreOfficeXLS ? 0 : 1, file, false,
                                                     QString::fromUtf8(c.cartella));
        EXPECT_FALSE(ok);
        ASSERT_EQ(fb.asked.size(), 1);
        EXPECT_EQ(fb.asked.at(0).kind, platform::Error);
        EXPECT_TRUE(fb.asked.at(0).text.startsWith(QString::fromUtf8(c.messaggio))) << fb.asked.at(0).text.toStdString();
        EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    }
}

TEST_F(FogliGuasti, FileApertoAltroveNonVieneToccato)
{
    if (!libreOfficePresente())
        GTEST_SKIP() << "LibreOffice non installato";
    const QString file = m_out.file(QStringLiteral("export.xls"));
    QFile vecchio(file);
    ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("foglio aperto");
    vecchio.close();
    // LibreOffice marks a document it has open with a lock file beside it.
    QFile lock(m_out.file(QStringLiteral(".~lock.export.xls#")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    auto r = risposta(QStringLiteral("ID"));
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    EXPECT_FALSE(esp.EsportaLibreOffice(0, file, false, QString()));
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_EQ(fb.asked.at(0).text, QStringLiteral("File %1 aperto in un'altra sessione").arg(file));
    EXPECT_EQ(leggiFile(file), QByteArray("foglio aperto"));
}

TEST_F(FogliGuasti, CartellaNonScrivibile)
{
    auto r = risposta(QStringLiteral("ID"));
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    const QString file = m_out.file(QStringLiteral("manca/export.xlsx"));
    EXPECT_FALSE(esp.EsportaXlsx(file));
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_TRUE(fb.asked.at(0).text.startsWith(QStringLiteral("Impossibile scrivere il file"))) << fb.asked.at(0).text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
}

// The row limit of a format: the question carries the count and the limit;
// declining writes nothing and says nothing more.
TEST_F(FogliGuasti, LimiteRigheRifiutato)
{
    {
        db::Transaction t(att());
        db::executeSql(t, QStringLiteral("RECREATE TABLE MOLTE (N INTEGER)"));
        t.commit();
        db::Transaction t2(att());
        db::executeSql(t2, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 70000) DO BEGIN "
                                          "INSERT INTO MOLTE VALUES (:I); I = I + 1; END END"));
        t2.commit();
    }
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("SELECT N FROM MOLTE")};
    r.transazione = &tra();
    platform::RecordingFeedback fb;
    fb.answers.push_back(platform::Answer::No);
    output::Esportatore esp(r, fb);
    const QString file = m_out.file(QStringLiteral("export.xls"));
    EXPECT_FALSE(esp.EsportaLibreOffice(0, file, false, QStringLiteral("/tmp")));
    EXPECT_TRUE(esp.rinunciato());
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_EQ(fb.asked.at(0).text, QStringLiteral("Ci sono 70.000 record da esportare. Il formato XLS può gestire fino a "
                                                  "65.536 righe: continuare lo stesso?"));
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(FogliGuasti, UnioneSenzaModelloOLibreOffice)
{
    const struct
    {
        const char *modello;
        const char *dir;
        const char *messaggio;
    } casi[] = {
        {"manca.xlsx", "", "Excel preimpostato \""},
        {"modello.xlsx", "/cartella/che/non/esiste", "LibreOffice non trovato in \"/cartella/che/non/esiste\""},
    };
    QFile m(m_out.file(QStringLiteral("modello.xlsx")));
    ASSERT_TRUE(m.open(QIODevice::WriteOnly));
    m.write("x");
    m.close();
    for (const auto &c : casi) {
        auto r = risposta(QStringLiteral("ID"));
        platform::RecordingFeedback fb;
        const QString target = m_out.file(QStringLiteral("unito.xlsx"));
        EXPECT_FALSE(output::UnisciConModello(r, fb, m_out.file(QString::fromUtf8(c.modello)), target,
                                              QString::fromUtf8(c.dir)));
        ASSERT_EQ(fb.asked.size(), 1);
        EXPECT_TRUE(fb.asked.at(0).text.startsWith(QString::fromUtf8(c.messaggio))) << fb.asked.at(0).text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
    }
}

// ---- the merge into a template -------------------------------------------------

TEST_F(FogliGuasti, UnioneRiempieIlFoglioDatiDelModello)
{
    if (!libreOfficePresente())
        GTEST_SKIP() << "LibreOffice non installato";
    // A template: its first sheet "Dati" with old contents to be replaced.
    auto vecchi = risposta(QStringLiteral("NOME, NOME, NOME, NOME"));
    platform::RecordingFeedback fb0;
    output::Esportatore esp0(vecchi, fb0);
    const QString modello = m_out.file(QStringLiteral("modello.xlsx"));
    ASSERT_TRUE(esp0.EsportaXlsx(modello));
    const QByteArray prima = leggiFile(modello);

    auto r = risposta(QStringLiteral("ID, NOME, IMPORTO"));
    platform::RecordingFeedback fb;
    const QString target = m_out.file(QStringLiteral("unito.xlsx"));
    ASSERT_TRUE(output::UnisciConModello(r, fb, modello, target, QString()))
        << (fb.asked.isEmpty() ? std::string() : fb.asked.at(0).text.toStdString());
    EXPECT_EQ(comeCsv(target), QStringLiteral("\"ID\",\"NOME\",\"IMPORTO\"\n1,\"Caffè; latte\",1234.5\n"
                                              "2,\"D'Angelo \"\"il grande\"\"\",-0.05\n3,,\n"));
    EXPECT_EQ(leggiFile(modello), prima) << "il modello resta com'era";
}

// ---- the database table --------------------------------------------------------

class TabellaExport : public OutputDb
{
protected:
    std::vector<std::vector<db::FieldValue>> righe(const QString &tabella)
    {
        db::Transaction t(att());
        db::Statement st(t, QStringLiteral("SELECT * FROM ") + tabella + QStringLiteral(" ORDER BY 1"),
                         db::ParamStyle::AsWritten);
        return st.open().fetchAll();
    }
};

TEST_F(TabellaExport, RigheUgualiAllaRisposta)
{
    auto r = risposta(QStringLiteral("ID, NOME, IMPORTO, PREZZO, DATA, MOMENTO, NOTE, DATI"));
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    ASSERT_TRUE(esp.CreaCopiaTabellaExportFDB(QStringLiteral("tmp_copia"), m_out.path())) << esp.errore().toStdString();
    EXPECT_EQ(esp.righeScritte(), 3);
    tra().commit();
    db::Transaction t(att());
    db::Statement st(t, r.sql.join(u'\n'), db::ParamStyle::AsWritten);
    EXPECT_EQ(righe(QStringLiteral("TMP_COPIA")), st.open().fetchAll());
    // Exact decimals stay exact in the new table.
    db::Transaction t2(att());
    EXPECT_EQ(db::queryValue(t2, QStringLiteral("SELECT RDB$FIELD_SCALE FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON "
                                                "F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE WHERE RF.RDB$RELATION_NAME = "
                                                "'TMP_COPIA' AND RF.RDB$FIELD_NAME = 'IMPORTO'")),
              db::FieldValue(qint64(-2)));
}

TEST_F(TabellaExport, TabellaEsistente)
{
    const struct
    {
        const char *nome;
        platform::Answer risposta;
        bool riuscita;
        int righeDopo;
        const char *domanda;
    } casi[] = {
        {"ESISTENTE", platform::Answer::Yes, false, 1, "La tabella esiste già: impossibile procedere."},
        {"TMPX", platform::Answer::No, false, 1, "La tabella esiste già.\rEssendo che il nome inizia con \"TMP\""},
        {"TMPX", platform::Answer::Yes, true, 3, "La tabella esiste già.\rEssendo che il nome inizia con \"TMP\""},
    };
    for (const auto &c : casi) {
        {
            db::Transaction t(att());
            for (const char *sql : {"RECREATE TABLE ESISTENTE (A INTEGER)", "RECREATE TABLE TMPX (A INTEGER)"})
                db::executeSql(t, QString::fromUtf8(sql));
            t.commit();
            db::Transaction t2(att());
            db::executeSql(t2, QStringLiteral("INSERT INTO ESISTENTE VALUES (1)"));
            db::executeSql(t2, QStringLiteral("INSERT INTO TMPX VALUES (1)"));
            t2.commit();
        }
        auto r = risposta(QStringLiteral("ID, NOME"));
        db::Transaction lavoro(att());
        r.transazione = &lavoro;
        platform::RecordingFeedback fb;
        fb.answers.push_back(c.risposta);
        output::Esportatore esp(r, fb);
        EXPECT_EQ(esp.CreaCopiaTabellaExportFDB(QString::fromLatin1(c.nome), m_out.path()), c.riuscita) << c.nome;
        lavoro.commit();
        ASSERT_FALSE(fb.asked.isEmpty());
        EXPECT_TRUE(fb.asked.at(0).text.startsWith(QString::fromUtf8(c.domanda))) << fb.asked.at(0).text.toStdString();
        EXPECT_EQ(int(righe(QString::fromLatin1(c.nome)).size()), c.righeDopo) << c.nome;
    }
}

// A fill the server refuses leaves no empty table behind and keeps the
// statement in vardo.sql.
TEST_F(TabellaExport, RiempimentoFallitoNonLasciaLaTabella)
{
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("SELECT ID, 10 / (3 - ID) AS X FROM PROVA")};
    r.transazione = &tra();
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    EXPECT_FALSE(esp.CreaCopiaTabellaExportFDB(QStringLiteral("TMP_GUASTA"), m_out.path()));
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_TRUE(fb.asked.at(0).text.startsWith(QStringLiteral("E' avvenuto un errore durante l'esportazione\r")));
    tra().commit();
    db::Transaction t(att());
    EXPECT_EQ(db::queryValue(t, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TMP_GUASTA'")),
              db::FieldValue(qint64(0)));
    EXPECT_TRUE(leggiFile(m_out.file(QStringLiteral("vardo.sql"))).startsWith("INSERT INTO \"TMP_GUASTA\" SELECT ID"));
}

} // namespace
} // namespace vardof::test
