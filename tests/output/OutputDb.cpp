#include "OutputDb.h"

#include <QFile>

namespace vardof::test {

void OutputDb::SetUpTestSuite()
{
    createArchive(
        {
            "CREATE TABLE PROVA (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(30), IMPORTO NUMERIC(15,2), "
            "QTA INTEGER, PREZZO DOUBLE PRECISION, DATA DATE, ORA TIME, MOMENTO TIMESTAMP, NOTE BLOB SUB_TYPE 1, "
            "DATI BLOB SUB_TYPE 0)",
        },
        {
            "INSERT INTO PROVA VALUES (1, 'Caffè; latte', 1234.50, 3, 1234.5, '2024-02-29', '08:30:00', "
            "'2024-02-29 08:30:00', 'riga uno' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'riga \"due\"', 'abc')",
            "INSERT INTO PROVA VALUES (2, 'D''Angelo \"il grande\"', -0.05, -7, -2.25, '1999-12-31', NULL, NULL, NULL, "
            "NULL)",
            "INSERT INTO PROVA (ID, NOTE) VALUES (3, 'solo;punto e virgola')",
        });
}

output::RispostaDaEsportare OutputDb::risposta(const QString &colonne)
{
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("SELECT ") + colonne, QStringLiteral("FROM PROVA"), QStringLiteral("ORDER BY ID")};
    r.transazione = &tra();
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
