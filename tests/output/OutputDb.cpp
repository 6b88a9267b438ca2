#include "OutputDb.h"

#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QFile>

namespace vardof::test {

std::unique_ptr<TempDir> OutputDb::s_dir;
std::unique_ptr<db::Attachment> OutputDb::s_att;

void OutputDb::SetUpTestSuite()
{
    s_dir = std::make_unique<TempDir>();
    s_att = std::make_unique<db::Attachment>(createDatabase(s_dir->file(QStringLiteral("archivio.fdb"))));
    db::Transaction t(*s_att);
    db::executeSql(*s_att, t,
                   QStringLiteral("CREATE TABLE PROVA (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(30), "
                                  "IMPORTO NUMERIC(15,2), QTA INTEGER, PREZZO DOUBLE PRECISION, DATA DATE, ORA TIME, "
                                  "MOMENTO TIMESTAMP, NOTE BLOB SUB_TYPE 1, DATI BLOB SUB_TYPE 0)"));
    t.commit();
    const char *dml[] = {
        "INSERT INTO PROVA VALUES (1, 'Caffè; latte', 1234.50, 3, 1234.5, '2024-02-29', '08:30:00', "
        "'2024-02-29 08:30:00', 'riga uno' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'riga \"due\"', 'abc')",
        "INSERT INTO PROVA VALUES (2, 'D''Angelo \"il grande\"', -0.05, -7, -2.25, '1999-12-31', NULL, NULL, NULL, NULL)",
        "INSERT INTO PROVA (ID, NOTE) VALUES (3, 'solo;punto e virgola')",
    };
    for (const char *sql : dml)
        db::executeSql(*s_att, t, QString::fromUtf8(sql));
    t.commit();
}

void OutputDb::TearDownTestSuite()
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

void OutputDb::SetUp()
{
    m_tra = std::make_unique<db::Transaction>(*s_att);
}

void OutputDb::TearDown()
{
    m_tra.reset();
}

output::RispostaDaEsportare OutputDb::risposta(const QString &colonne)
{
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("SELECT ") + colonne, QStringLiteral("FROM PROVA"), QStringLiteral("ORDER BY ID")};
    r.transazione = m_tra.get();
    return r;
}

QByteArray leggiFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<manca>");
    return f.readAll();
}

} // namespace vardof::test
