#pragma once

// A fresh archive with the customers the query window is opened on: a quote
// in a name, a text blob on one row, a NULL amount, a date of the year before.

#include "support/FbFixture.h"

namespace vardof::test {

class FinestraClienti : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60),"
                            " CITTA VARCHAR(40), FIDO NUMERIC(15,2), DATAINSERIMENTO DATE, NOTE BLOB SUB_TYPE 1)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROSSI SPA', 'ROMA', 1234.5, '2024-01-10', NULL)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'BIANCHI SRL', 'MILANO', 0, '2024-02-20', 'breve')"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (3, 'D''ANGELO SNC', 'ROMA', 98765.43, '2024-03-30', NULL)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (4, 'VERDI SAS', 'NAPOLI', NULL, '2023-12-31', NULL)"));
    }
};

} // namespace vardof::test
