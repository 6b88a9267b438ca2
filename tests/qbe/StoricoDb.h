#pragma once

// The suite's archive with the stored-query tables present and empty at the
// start of each test, for tests that save and load queries.

#include "QbeDb.h"

#include "db/Statement.h"
#include "storedqueries/StoredQueryTables.h"

namespace vardof::test {

class StoricoDb : public QbeDb
{
protected:
    void SetUp() override
    {
        QbeDb::SetUp();
        storedqueries::PreparaTabelleQuery(att(), tra());
        db::executeSql(att(), tra(), QStringLiteral("DELETE FROM STOINT"));
        db::executeSql(att(), tra(), QStringLiteral("DELETE FROM STOASP"));
        tra().commitRetaining();
    }
};

} // namespace vardof::test
