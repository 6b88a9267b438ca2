// Table import: the catalogue reading, header declarations to CREATE TABLE,
// reuse of an existing work table, and rows appended (bad lines, values
// that do not convert, field-count records).
#include "tabletools/ImportTabella.h"

#include "db/Catalog.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

void scrivi(const QString &path, const QByteArray &contenuto)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenuto);
}

class ImportDb : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE DEST (CODICE VARCHAR(5) NOT NULL PRIMARY KEY, QTA INTEGER, PREZZO DECIMAL(15,2), "
                            "DATA DATE, NOTE BLOB SUB_TYPE 1, IMPORTO NUMERIC(12,2))"));
    }
    QStringList righe(const QString &sql)
    {
        db::Statement st(tra(), sql, db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        QStringList out;
        while (rs.next()) {
            QStringList campi;
            for (int i = 0; i < rs.columnCount(); ++i)
                campi << (rs.isNull(i) ? QStringLiteral("<null>") : rs.text(i));
            out << campi.join(QLatin1Char('|'));
        }
        return out;
    }
    OpzioniImport opzioni(const QByteArray &contenuto)
    {
        OpzioniImport o;
        o.tabella = QStringLiteral("DEST");
        o.file = m_dir.file(QStringLiteral("dati.csv"));
        scrivi(o.file, contenuto);
        return o;
    }
};

TEST_F(ImportDb, CatalogueReadingGivesTypesSizesAndKey)
{
    TCampoSQLList l;
    ASSERT_TRUE(l.LeggiStrutturaTabella(tra(), QStringLiteral("DEST")));
    ASSERT_EQ(l.count(), 6);
    EXPECT_EQ(l[0].tipo, SqlVarchar);
    EXPECT_EQ(l[0].dimensione, 5);
    EXPECT_TRUE(l[0].chiave);
    EXPECT_FALSE(l[1].chiave);
    EXPECT_EQ(l[2].tipo, SqlDecimal);
    EXPECT_EQ(l[2].scala, 2);
    EXPECT_EQ(l[4].tipo, SqlBlob);
    EXPECT_EQ(l[5].tipo, SqlBigint); // NUMERIC on 64 bits reads as BIGINT
    EXPECT_FALSE(l.LeggiStrutturaTabella(tra(), QString()));
    EXPECT_FALSE(l.LeggiStrutturaTabella(tra(), QStringLiteral("NESSUNA")));
    EXPECT_TRUE(EsisteTabella(tra(), QStringLiteral("DEST")));
    EXPECT_FALSE(EsisteTabella(tra(), QStringLiteral("DEST' OR '1'='1")));
}

TEST_F(ImportDb, RowsAppendedWithBadValuesAsNullAndRefusedRowsReported)
{
    OpzioniImport o = opzioni("intestazione\r\n"
                              "A;1;12,50;25/03/2024;testo;3\r\n"
                              "\r\n"
                              "B;x;1,5;31/02/2024\r\n"
                              "A;2\r\n"
                              "C;;;;;12,50;oltre\r\n"
                              "TROPPOLUNGO;1\r\n"
                              "D;4;2;01/01/2024;ultima");
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0) << fb.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(imp.righeContate(), 7);
    EXPECT_EQ(imp.EseguiImportazione(), 4);
    EXPECT_EQ(righe(QStringLiteral("SELECT CODICE, QTA, PREZZO, DATA, NOTE, IMPORTO FROM DEST ORDER BY CODICE")),
              (QStringList{QStringLiteral("A|1|12,50|25/03/2024|testo|3,00"),
                           QStringLiteral("B|<null>|1,50|<null>|<null>|<null>"),
                           QStringLiteral("C|<null>|<null>|<null>|<null>|<null>"),
                           QStringLiteral("D|4|2,00|01/01/2024|ultima|<null>")}));
    const QString log = fb.lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(log.contains(QStringLiteral("Errore nella riga 4: tipo campo non compatibile")));
    EXPECT_TRUE(log.contains(QStringLiteral("Errore nella riga 6: tipo campo non compatibile"))); // 12,50 in a BIGINT
    EXPECT_TRUE(log.contains(QStringLiteral("Fallito iserimento riga 5: ")));
    EXPECT_TRUE(log.contains(QStringLiteral("Fallito iserimento riga 7: ")));
    EXPECT_TRUE(fb.lines.first().startsWith(QStringLiteral("Inizio ")));
    EXPECT_TRUE(fb.lines.last().startsWith(QStringLiteral("Fine ")));
}

TEST_F(ImportDb, PerFieldValidationNamesEachField)
{
    OpzioniImport o = opzioni("h\nA;x;y\n");
    o.perCampo = true;
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0);
    imp.EseguiImportazione();
    EXPECT_TRUE(fb.lines.contains(QStringLiteral("Errore nel Campo QTA della riga 2: tipo campo non compatibile con il "
                                                 "valore nel file in importazione")));
    EXPECT_TRUE(fb.lines.contains(QStringLiteral("Errore nel Campo PREZZO della riga 2: tipo campo non compatibile con "
                                                 "il valore nel file in importazione")));
}

TEST_F(ImportDb, LineBreakTagBecomesCrLfInTexts)
{
    OpzioniImport o = opzioni("A;;;;uno<BR>due\n");
    o.saltaPrimaRiga = false;
    o.tagACapo = true;
    o.tag = QStringLiteral("<BR>");
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0);
    imp.EseguiImportazione();
    EXPECT_EQ(righe(QStringLiteral("SELECT NOTE FROM DEST")), QStringList{QStringLiteral("uno\r\ndue")});
}

TEST_F(ImportDb, FieldCountRecordsSpanLinesAndTheIncompleteRestIsIgnored)
{
    exec(QStringLiteral("CREATE TABLE TRE (A VARCHAR(10), B VARCHAR(10), C VARCHAR(10))"));
    OpzioniImport o = opzioni("a;b\r\nc;d;e;f;");
    o.tabella = QStringLiteral("TRE");
    o.saltaPrimaRiga = false;
    o.perNumeroCampi = true;
    o.campiPerRecord = 3;
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0);
    EXPECT_EQ(imp.EseguiImportazione(), 1);
    EXPECT_EQ(righe(QStringLiteral("SELECT A, B, C FROM TRE")), QStringList{QStringLiteral("a|b\r\nc|d")});
}

struct CasoVerifica
{
    const char *nome;
    std::function<void(OpzioniImport &)> cambia;
    const char *messaggio;
};

class Verifica : public ImportDb, public ::testing::WithParamInterface<CasoVerifica>
{
};

TEST_P(Verifica, RefusedWithItsReason)
{
    OpzioniImport o = opzioni("solo intestazione\r\n");
    GetParam().cambia(o);
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    EXPECT_EQ(imp.VerificaImportazione(), -1);
    EXPECT_TRUE(fb.lines.contains(QString::fromUtf8(GetParam().messaggio))) << fb.lines.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Verifica,
    ::testing::Values(
        CasoVerifica{"NoTable", [](OpzioniImport &o) { o.tabella.clear(); }, "Tabella di appoggio non definita"},
        CasoVerifica{"NoFile", [](OpzioniImport &o) { o.file.clear(); }, "File da importare non definito"},
        CasoVerifica{"ZeroFields", [](OpzioniImport &o) { o.perNumeroCampi = true; o.campiPerRecord = 0; },
                     "Con l'opzione \"Abilita import CR\" va impostato anche \"Totale campi per record\""},
        CasoVerifica{"MissingTable", [](OpzioniImport &o) { o.tabella = QStringLiteral("NESSUNA"); },
                     "Tabella di appoggio non definita"},
        CasoVerifica{"FieldCountDiffers", [](OpzioniImport &o) { o.perNumeroCampi = true; o.campiPerRecord = 3; },
                     "La tabella ha 6 campi, mentre \"Totale campi per record\" è stato impostato a 3"},
        CasoVerifica{"NoLines", [](OpzioniImport &) {}, "Il file non ha righe da importare"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(ImportDb, AnInterruptionKeepsTheRowsImportedSoFar)
{
    OpzioniImport o = opzioni("h\nA\nB\nC\nD\n");
    platform::RecordingFeedback fb;
    int chiesto = 0;
    fb.interruption = [&] { return ++chiesto >= 2; };
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0);
    EXPECT_EQ(imp.EseguiImportazione(), 2);
    EXPECT_TRUE(imp.interrotta());
    EXPECT_TRUE(fb.lines.contains(QStringLiteral("Elaborazione interrotta")));
    tra().rollback();
    EXPECT_EQ(righe(QStringLiteral("SELECT CODICE FROM DEST ORDER BY CODICE")),
              (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
}

// ---- header declarations ------------------------------------------------------

TEST(Tracciato, HeaderToCreateTable)
{
    const TCampoSQLList campi = leggiTracciato(QStringLiteral("*A10_CODICE;#A50_DESCRIZIONE;N2_PREZZO;D_DATA"));
    const QString tabella = QStringLiteral("TMP_LISTINO");
    EXPECT_EQ(creazioneTabellaLavoro(tabella, campi),
              QStringLiteral("CREATE TABLE TMP_LISTINO(\nCODICE VARCHAR(10) NOT NULL,\nDESCRIZIONE VARCHAR(50),\n"
                             "PREZZO DECIMAL(15,2),\nDATA DATE\n,\nCONSTRAINT TMP_LISTINO_PK PRIMARY KEY (CODICE)\n)"));
    EXPECT_EQ(creazioneIndiceLavoro(tabella, campi), QStringLiteral("CREATE INDEX TMP_LISTINOIDX ON TMP_LISTINO\n(DESCRIZIONE)"));
}

TEST(Tracciato, EveryQualifier)
{
    const TCampoSQLList c = leggiTracciato(QStringLiteral("I_A;S_B;N_C;M_D;T_E;TS_F;ts_G;*#i_H;a5_nome strano-x;"));
    ASSERT_EQ(c.count(), 9);
    const int attesi[] = {SqlInteger, SqlSmallint, SqlFloat, SqlBlob, SqlTime, SqlTimestamp, SqlTime, SqlInteger, SqlVarchar};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(c[i].tipo, attesi[i]) << i;
    EXPECT_TRUE(c[7].chiave);
    EXPECT_TRUE(c[7].indice);
    EXPECT_EQ(c[8].nome, QStringLiteral("NOMESTRANOX"));
    EXPECT_EQ(creazioneTabellaLavoro(QStringLiteral("T"), leggiTracciato(QStringLiteral("M_X"))),
              QStringLiteral("CREATE TABLE T(\nX BLOB sub_type text\n)"));
}

struct CasoTracciato
{
    const char *intestazione;
    const char *messaggio;
    bool errore;
};

class TracciatoErrato : public ::testing::TestWithParam<CasoTracciato>
{
};

TEST_P(TracciatoErrato, Message)
{
    try {
        leggiTracciato(QString::fromUtf8(GetParam().intestazione));
        FAIL() << "accepted";
    } catch (const ErroreTracciato &e) {
        EXPECT_EQ(e.messaggio(), QString::fromUtf8(GetParam().messaggio));
        EXPECT_EQ(e.errore(), GetParam().errore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, TracciatoErrato,
    ::testing::Values(CasoTracciato{"", "Tracciato non riconosciuto", false},
                      CasoTracciato{";A5_X", "Tracciato non riconosciuto", false},
                      CasoTracciato{"A5_X;CODICE", "2° campo: non riconosciuti qualificatore e nome (\"CODICE\")", false},
                      CasoTracciato{"A5_---", "1° campo: non riconosciuto il nome (\"A5_---\")", false},
                      CasoTracciato{"X_A", "Qualifica non riconosciuta \"X\"", true},
                      CasoTracciato{"*_A", "Qualifica non riconosciuta \"*\"", true},
                      CasoTracciato{"_A", "Qualifica non riconosciuta \"\"", true},
                      CasoTracciato{"D5_A", "Qualifica non riconosciuta \"D5\"", true},
                      CasoTracciato{"Ax_A", "Dimensione VARCHAR non riconosciuta nella qualifica \"Ax\"", true},
                      CasoTracciato{"A0_A", "Dimensione VARCHAR 0 non valida", true},
                      CasoTracciato{"A32766_A", "Dimensione VARCHAR 32766 non valida (max 32765)", true},
                      CasoTracciato{"Nx_A", "Precisione DECIMAL non riconosciuta nella qualifica \"Nx\"", true},
                      CasoTracciato{"N0_A", "Dimensione DECIMAL 0 non valida", true},
                      CasoTracciato{"N7_A", "Dimensione DECIMAL 7 non valida (max 6)", true}));

TEST(Tracciato, WorkTableName)
{
    EXPECT_EQ(nomeTabellaLavoro(QStringLiteral("/tmp/x/listino prezzi.2020.csv")), QStringLiteral("TMP_LISTINOPREZZI2020"));
    EXPECT_EQ(nomeTabellaLavoro(QStringLiteral("abcdefghijklmnopqrstuvwxyz.txt")), QStringLiteral("TMP_ABCDEFGHIJKLMNOPQRSTUVWX"));
}

class TabellaLavoro : public ImportDb
{
protected:
    QString file(const QByteArray &contenuto, const QString &nome = QStringLiteral("listino.csv"))
    {
        const QString p = m_dir.file(nome);
        scrivi(p, contenuto);
        return p;
    }
};

TEST_F(TabellaLavoro, CreatedThenReusedAndFilled)
{
    const QString p = file("*A10_CODICE;#A50_DESCRIZIONE;N2_PREZZO;D_DATA\r\nX1;Vite;0,25;01/02/2024\r\n");
    EXPECT_EQ(preparaTabellaLavoro(tra(), p, {}), QStringLiteral("TMP_LISTINO"));
    EXPECT_EQ(db::catalog::primaryKeyFields(tra(), QStringLiteral("TMP_LISTINO")), QStringList{QStringLiteral("CODICE")});
    // The second time the table is in the list: checked, not created again.
    EXPECT_EQ(preparaTabellaLavoro(tra(), p, {QStringLiteral("TMP_LISTINO")}), QStringLiteral("TMP_LISTINO"));
    OpzioniImport o;
    o.tabella = QStringLiteral("TMP_LISTINO");
    o.file = p;
    platform::RecordingFeedback fb;
    TImportFile imp(tra(), o, fb);
    ASSERT_EQ(imp.VerificaImportazione(), 0);
    EXPECT_EQ(imp.EseguiImportazione(), 1);
    EXPECT_EQ(righe(QStringLiteral("SELECT * FROM TMP_LISTINO")), QStringList{QStringLiteral("X1|Vite|0,25|01/02/2024")});
}

struct CasoDiverso
{
    const char *nome;
    const char *esistente;
    const char *differenza;
};

class TracciatoDiverso : public TabellaLavoro, public ::testing::WithParamInterface<CasoDiverso>
{
};

TEST_P(TracciatoDiverso, ExistingTableOfAnotherLayoutIsRefused)
{
    exec(QString::fromUtf8(GetParam().esistente));
    const QString p = file("*A10_CODICE;N2_PREZZO\r\n");
    try {
        preparaTabellaLavoro(tra(), p, {QStringLiteral("TMP_LISTINO")});
        FAIL() << "accepted";
    } catch (const ErroreTracciato &e) {
        EXPECT_FALSE(e.errore());
        EXPECT_EQ(e.messaggio(), avvisoTracciatoDiverso(QStringLiteral("TMP_LISTINO"), QString::fromUtf8(GetParam().differenza)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, TracciatoDiverso,
    ::testing::Values(
        CasoDiverso{"Count", "CREATE TABLE TMP_LISTINO (CODICE VARCHAR(10))", "Numero campi differente"},
        CasoDiverso{"Name", "CREATE TABLE TMP_LISTINO (COD VARCHAR(10), PREZZO DECIMAL(15,2))",
                    "Il 1° campo nel file è \"CODICE\" mentre il corrispondente campo nella tabella è \"COD\""},
        CasoDiverso{"Type", "CREATE TABLE TMP_LISTINO (CODICE INTEGER, PREZZO DECIMAL(15,2))",
                    "Il 1° campo nel file è di tipo diverso rispetto al corrispondente campo nella tabella\rFile: "
                    "VARCHAR\rTabella: INTEGER"},
        CasoDiverso{"Size", "CREATE TABLE TMP_LISTINO (CODICE VARCHAR(5), PREZZO DECIMAL(15,2))",
                    "Il 1° campo nel file è di tipo diverso rispetto al corrispondente campo nella tabella\rFile: "
                    "VARCHAR(10)\rTabella: VARCHAR(5)"},
        CasoDiverso{"Scale", "CREATE TABLE TMP_LISTINO (CODICE VARCHAR(20), PREZZO DECIMAL(15,1))",
                    "Il 2° campo nel file è di tipo diverso rispetto al corrispondente campo nella tabella\rFile: "
                    "DECIMAL, scala 2\rTabella: DECIMAL, scala 1"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(TabellaLavoro, ACreationTheServerRefusesSaysWhichTable)
{
    const QString p = file("A5_SELECT\r\n"); // a reserved word as a column name
    try {
        preparaTabellaLavoro(tra(), p, {});
        FAIL() << "accepted";
    } catch (const ErroreTracciato &e) {
        EXPECT_TRUE(e.messaggio().startsWith(QStringLiteral("Fallita creazione tabella TMP_LISTINO:\r")));
    }
}

} // namespace
