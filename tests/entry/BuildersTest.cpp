#include "context/SqlBuilders.h"

#include "db/Statement.h"
#include "support/FbFixture.h"

using namespace vardof;

namespace {

TEST(DataSQL, writesMonthFirst)
{
    EXPECT_EQ(context::DataSQL(QDate(2024, 1, 5)), QStringLiteral("'01/05/2024'"));
    EXPECT_EQ(context::DataSQL(QDate(2024, 3, 25)), QStringLiteral("'03/25/2024'"));
}

TEST(Quoted, doublesQuotesOnce)
{
    EXPECT_EQ(context::quoted(QStringLiteral("D'ANGELO")), QStringLiteral("'D''ANGELO'"));
    EXPECT_EQ(context::quoted(QString()), QStringLiteral("''"));
}

class GeneraSQL : public test::FbFixture
{
};

TEST_F(GeneraSQL, updateAndInsertFromTheQueryFields)
{
    exec(QStringLiteral("CREATE TABLE STOQUER (CODICE INTEGER, TITOLO VARCHAR(20), NOTE VARCHAR(10))"));
    context::UpdateStatements set;
    context::GeneraSQLAggiornamento(att(), tra(), QStringLiteral("SELECT CODICE, TITOLO FROM STOQUER"),
                                  QStringLiteral("STOQUER"), QStringLiteral("update"), set);
    EXPECT_EQ(set.modifica, (QStringList{QStringLiteral("UPDATE \"STOQUER\""), QStringLiteral("SET"),
                                         QStringLiteral("CODICE=:CODICE,"), QStringLiteral("TITOLO=:TITOLO")}));
    EXPECT_TRUE(set.inserisci.isEmpty());
    context::GeneraSQLAggiornamento(att(), tra(), QStringLiteral("SELECT CODICE, TITOLO FROM STOQUER"),
                                  QStringLiteral("STOQUER"), QStringLiteral("INSERT"), set);
    EXPECT_EQ(set.inserisci.join(QLatin1Char('|')),
              QStringLiteral("INSERT INTO \"STOQUER\"|(|CODICE,|TITOLO|)|VALUES|(|:CODICE,|:TITOLO|)"));
    // The statements it builds run as they are, once a WHERE is appended.
    set.modifica << QStringLiteral("WHERE (CODICE=:OLD_CODICE)");
    db::Statement up(att(), tra(), set.modifica.join(QLatin1Char('\n')));
    EXPECT_EQ(up.paramNames(), (QStringList{QStringLiteral("CODICE"), QStringLiteral("TITOLO"), QStringLiteral("OLD_CODICE")}));
    db::Statement ins(att(), tra(), set.inserisci.join(QLatin1Char('\n')));
    ins.setParam(QStringLiteral("CODICE"), db::Value(qint64(1)));
    ins.setParam(QStringLiteral("TITOLO"), db::Value(QStringLiteral("Vendite")));
    ins.execute();
    EXPECT_EQ(ins.rowsAffected(), 1);
}

} // namespace
