#include "db/SqlParams.h"

#include <gtest/gtest.h>

using vardof::db::parseNamedParameters;

namespace {

struct ParamCase
{
    const char *sql;
    const char *sent;
    const char *names; // comma separated
};

class NamedParameters : public ::testing::TestWithParam<ParamCase>
{
};

TEST_P(NamedParameters, becomeMarkersOutsideQuotesAndComments)
{
    const auto parsed = parseNamedParameters(QString::fromUtf8(GetParam().sql));
    EXPECT_EQ(parsed.sql.toStdString(), GetParam().sent);
    EXPECT_EQ(parsed.markerNames.join(QLatin1Char(',')).toStdString(), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamedParameters,
    ::testing::Values(
        ParamCase{"UPDATE T SET A=:A WHERE K=:k", "UPDATE T SET A=? WHERE K=?", "A,K"},
        ParamCase{"SELECT * FROM T WHERE A=:X OR B=:x", "SELECT * FROM T WHERE A=? OR B=?", "X,X"},
        ParamCase{"SELECT ':NOT' FROM T WHERE A=:P", "SELECT ':NOT' FROM T WHERE A=?", "P"},
        ParamCase{"SELECT 'it''s :NO' FROM T WHERE A=:P", "SELECT 'it''s :NO' FROM T WHERE A=?", "P"},
        ParamCase{"SELECT \":Q\" FROM T", "SELECT \":Q\" FROM T", ""},
        ParamCase{"SELECT A -- :C\nFROM T WHERE B=:D", "SELECT A -- :C\nFROM T WHERE B=?", "D"},
        ParamCase{"SELECT /* :C */ A FROM T WHERE B=:D_1", "SELECT /* :C */ A FROM T WHERE B=?", "D_1"},
        ParamCase{"SELECT A FROM T WHERE B = ?", "SELECT A FROM T WHERE B = ?", ""},
        ParamCase{"SELECT CAST('10:30' AS TIME) FROM T", "SELECT CAST('10:30' AS TIME) FROM T", ""},
        ParamCase{"EXECUTE BLOCK AS DECLARE S INT; BEGIN S = :S; END",
                  "EXECUTE BLOCK AS DECLARE S INT; BEGIN S = :S; END", ""},
        ParamCase{"  execute block as begin end", "  execute block as begin end", ""},
        ParamCase{"CREATE TRIGGER X FOR T BEFORE INSERT AS BEGIN NEW.A = :B; END",
                  "CREATE TRIGGER X FOR T BEFORE INSERT AS BEGIN NEW.A = :B; END", ""}));

} // namespace
