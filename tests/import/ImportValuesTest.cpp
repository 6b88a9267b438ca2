// Dates of a data file as the import reads them: day/month/year with "/",
// "." or "-", years of two digits in 1950-2049, days that do not exist and
// other shapes refused; blanks around a date are allowed.

#include "import/ImportValues.h"

#include <QDate>

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

struct DataCase
{
    const char16_t *testo;
    QDate attesa; // invalid: the text does not convert
};

void PrintTo(const DataCase &c, std::ostream *os)
{
    *os << '"' << QString::fromUtf16(c.testo).toStdString() << '"';
}

class DateDelFile : public ::testing::TestWithParam<DataCase>
{
};

TEST_P(DateDelFile, convertAsDayMonthYear)
{
    const DataCase &c = GetParam();
    const std::optional<db::Value> v = convertiValore(QStringView(c.testo), TipoData);
    if (!c.attesa.isValid()) {
        EXPECT_FALSE(v.has_value());
        return;
    }
    ASSERT_TRUE(v.has_value());
    ASSERT_TRUE(std::holds_alternative<QDate>(*v));
    EXPECT_EQ(std::get<QDate>(*v), c.attesa);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateDelFile,
    ::testing::Values(
        DataCase{u"01/03/2024", QDate(2024, 3, 1)},
        DataCase{u"1/3/2024", QDate(2024, 3, 1)},
        DataCase{u"31.12.1999", QDate(1999, 12, 31)},
        DataCase{u"05-11-2030", QDate(2030, 11, 5)},
        DataCase{u"29/02/2024", QDate(2024, 2, 29)},
        DataCase{u"01/03/24", QDate(2024, 3, 1)},
        DataCase{u"01/03/49", QDate(2049, 3, 1)},
        DataCase{u"01/03/50", QDate(1950, 3, 1)},
        DataCase{u"01/03/00", QDate(2000, 3, 1)},
        DataCase{u" 01/03/2024 ", QDate(2024, 3, 1)},
        DataCase{u"29/02/2023", QDate()},
        DataCase{u"31/04/2024", QDate()},
        DataCase{u"00/03/2024", QDate()},
        DataCase{u"01/13/2024", QDate()},
        DataCase{u"01/00/2024", QDate()},
        DataCase{u"01/03/0000", QDate()},
        DataCase{u"01/03-2024", QDate()},
        DataCase{u"01,03,2024", QDate()},
        DataCase{u"001/03/2024", QDate()},
        DataCase{u"01/003/2024", QDate()},
        DataCase{u"01/03/202", QDate()},
        DataCase{u"01/03/20245", QDate()},
        DataCase{u"01/03/123456789", QDate()},
        DataCase{u"01/03/", QDate()},
        DataCase{u"01/03", QDate()},
        DataCase{u"01/", QDate()},
        DataCase{u"/03/2024", QDate()},
        DataCase{u"2024-03-01", QDate()},
        DataCase{u"01/03/2024x", QDate()},
        DataCase{u"01/03/2024 10:00", QDate()},
        DataCase{u"+1/03/2024", QDate()},
        DataCase{u"oggi", QDate()}),
    [](const ::testing::TestParamInfo<DataCase> &info) { return "case" + std::to_string(info.index); });

} // namespace
} // namespace vardof::importcsv
