#pragma once

// One small archive shared by a test suite: customers, zones, orders and
// agents, with the awkward values the composition must survive (a quote in
// a name, text blobs, a binary blob, NULLs, a leap day).

#include "platform/QtPrinters.h"
#include "support/SuiteDb.h"

namespace vardof::test {

class QbeDb : public SuiteDb
{
public:
    static void SetUpTestSuite();
};

} // namespace vardof::test
