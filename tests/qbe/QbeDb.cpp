#include "QbeDb.h"

#include "db/Statement.h"
#include "support/FbFixture.h"

namespace vardof::test {

std::unique_ptr<TempDir> QbeDb::s_dir;
std::unique_ptr<db::Attachment> QbeDb::s_att;

void QbeDb::SetUpTestSuite()
{
    s_dir = std::make_unique<TempDir>();
    s_att = std::make_unique<db::Attachment>(createDatabase(s_dir->file(QStringLiteral("archivio.fdb"))));
    db::Transaction t(*s_att);
    const char *ddl[] = {
        "CREATE TABLE ZONE (CODICE VARCHAR(5) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))",
        "CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60), "
        "CITTA VARCHAR(40), ZONA VARCHAR(5), FIDO NUMERIC(15,2), DATAINSERIMENTO DATE, "
        "NOTE BLOB SUB_TYPE 1, FOTO BLOB SUB_TYPE 0)",
        "CREATE TABLE ORDINI (NUMERO INTEGER NOT NULL PRIMARY KEY, DATAORDINE DATE, CLIENTE INTEGER, "
        "TOTALE NUMERIC(15,2), STATO CHAR(1))",
        "CREATE TABLE AGENTI (ZONA VARCHAR(5), NOME VARCHAR(40))",
        "CREATE TABLE TIPI (S SMALLINT, I INTEGER, B BIGINT, N9 NUMERIC(9,0), N18 NUMERIC(18,0), "
        "N92 NUMERIC(9,2), N154 NUMERIC(15,4), N156 NUMERIC(15,6), D DOUBLE PRECISION, F FLOAT, "
        "DT DATE, T TIME, TS TIMESTAMP, C CHAR(3), V VARCHAR(20), M BLOB SUB_TYPE 1, BIN BLOB SUB_TYPE 0)",
        "CREATE TABLE NUMERI (N INTEGER NOT NULL PRIMARY KEY, TESTO VARCHAR(20))",
    };
    for (const char *sql : ddl)
        db::executeSql(*s_att, t, QString::fromUtf8(sql));
    t.commit();
    const char *dml[] = {
        "INSERT INTO ZONE VALUES ('N', 'NORD')",
        "INSERT INTO ZONE VALUES ('S', 'SUD')",
        "INSERT INTO CLIENTI VALUES (1, 'ROSSI MARIO', 'MILANO', 'N', 1000.50, '2024-01-15', 'cliente storico', NULL)",
        "INSERT INTO CLIENTI VALUES (2, 'D''ANGELO SRL', 'NAPOLI', 'S', 250, '2024-03-01', 'paga a 60 giorni', 'abc')",
        "INSERT INTO CLIENTI VALUES (3, 'BIANCHI & C.', 'Milano', 'N', 0, '2023-12-31', NULL, NULL)",
        "INSERT INTO CLIENTI VALUES (4, 'CALCIO CLUB', 'ROMA', NULL, NULL, '2024-02-29', 'NOTE varie', NULL)",
        "INSERT INTO ORDINI VALUES (10, '2024-02-01', 1, 100, 'A')",
        "INSERT INTO ORDINI VALUES (11, '2024-02-05', 1, 50.50, 'C')",
        "INSERT INTO ORDINI VALUES (12, '2024-03-10', 2, 20, 'A')",
        "INSERT INTO AGENTI VALUES ('N', 'VERDI')",
        "INSERT INTO AGENTI VALUES ('S', 'NERI')",
        "INSERT INTO TIPI VALUES (1, 2, 3, 4, 5, 6.25, 7.1234, 8.123456, 9.5, 10.5, '2024-02-29', '12:34:56', "
        "'2024-02-29 12:34:56', 'ABC', 'D''ANGELO', 'memo', 'bin')",
        "INSERT INTO TIPI VALUES (-32768, -2147483648, -9223372036854775807, -999999999, 999999999999999999, "
        "-0.01, -99999999999.9999, 0.000001, -1.5e300, 0, '0001-01-01', '23:59:59.9999', "
        "'9999-12-31 00:00:00', '', 'àèìòù €', '', '')",
        "INSERT INTO TIPI (S) VALUES (NULL)",
        "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 1000) DO BEGIN "
        "INSERT INTO NUMERI VALUES (:I, 'riga ' || :I); I = I + 1; END END",
    };
    for (const char *sql : dml)
        db::executeSql(*s_att, t, QString::fromUtf8(sql));
    t.commit();
}

void QbeDb::TearDownTestSuite()
{
    if (s_att && s_att->isConnected()) {
        try {
            s_att->dropDatabase();
        } catch (...) {
            s_att->disconnect();
        }
    }
    s_att.reset();
    s_dir.reset();
}

void QbeDb::SetUp()
{
    m_tra = std::make_unique<db::Transaction>(*s_att);
}

void QbeDb::TearDown()
{
    m_tra.reset();
}

} // namespace vardof::test
