// Stored synchronisations whose table names differ only by quoting or look
// like SQL, and rows whose values do: the copy reaches exactly the table the
// catalogue holds under the stored name, values travel as data, and nothing
// else in either database changes.

#include "Support.h"
#include "maintenance/SincroDB.h"
#include "maintenance/StoreTables.h"
#include "support/TableChecksum.h"

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

struct NomeSincroCase
{
    const char *nome;
    QString origine;          // as stored in TABELLAORIGINE
    QString destinazione;     // as stored in TABELLADESTINAZIONE
    const char *messaggio;    // the warning shown; empty: completed
    const char *tabella;      // catalogue name of the destination table that may change
    QStringList righe;        // that table afterwards, ordered by its first column
};

void PrintTo(const NomeSincroCase &c, std::ostream *os) { *os << c.nome; }

class NomiSincro : public FbFixture, public ::testing::WithParamInterface<NomeSincroCase>
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        assicuraStoAggSincroDbFast(att(), tra());
        tra().commit();
        m_originPath = m_dir.file("origine.fdb");
        m_destPath = m_dir.file("destinazione.fdb");
        m_origin = createDatabase(m_originPath);
        m_dest = createDatabase(m_destPath);
        for (db::Attachment *a : {&m_origin, &m_dest}) {
            execOn(*a, R"(CREATE TABLE "zone" (COD VARCHAR(5) NOT NULL PRIMARY KEY, "nome" VARCHAR(40), NOME VARCHAR(40)))");
            execOn(*a, R"(CREATE TABLE ZONE (COD VARCHAR(5) NOT NULL PRIMARY KEY, NOME VARCHAR(40)))");
            execOn(*a, R"(CREATE TABLE "a;b -- c'd" ("k'ey" VARCHAR(10) NOT NULL PRIMARY KEY, "val;ue -- x" VARCHAR(60)))");
            execOn(*a, R"(CREATE TABLE ALTRA (K INTEGER NOT NULL PRIMARY KEY))");
            execOn(*a, R"(INSERT INTO ALTRA VALUES (1))");
        }
        execOn(m_origin, R"(INSERT INTO "zone" VALUES ('Z1', 'nord', 'NORD'))");
        execOn(m_origin, R"(INSERT INTO "zone" VALUES ('Z2', 'x''; DROP TABLE ZONE; --', 'SUD'))");
        execOn(m_origin, R"(INSERT INTO "zone" VALUES ('Z''3', '"; --', NULL))");
        execOn(m_origin, R"(INSERT INTO ZONE VALUES ('Z1', 'NORD'))");
        execOn(m_origin, R"(INSERT INTO ZONE VALUES ('Z4', '''); DELETE FROM ALTRA; --'))");
        execOn(m_origin, R"(INSERT INTO "a;b -- c'd" VALUES ('K1', 'uno'))");
        execOn(m_origin, R"(INSERT INTO "a;b -- c'd" VALUES ('K;2', '-- due'))");
        execOn(m_dest, R"(INSERT INTO "zone" VALUES ('Z1', 'già qui', 'GIA'))");
        execOn(m_dest, R"(INSERT INTO "a;b -- c'd" VALUES ('K1', 'già qui'))");
    }
    void TearDown() override
    {
        m_origin.disconnect();
        m_dest.disconnect();
        FbFixture::TearDown();
    }
    // The names travel as parameters: stored exactly as given.
    void store(const QString &from, const QString &to)
    {
        db::Statement s(att(), tra(),
                        QStringLiteral("INSERT INTO STOAGGSINCRODBFAST (CODICE, TITOLO, DBORIGINE, TABELLAORIGINE, "
                                       "DBDESTINAZIONE, TABELLADESTINAZIONE, TIPOELABORAZIONE, ELABORAZIONEABILITATA) "
                                       "VALUES (1, 'nomi', :DBO, :TABO, :DBD, :TABD, :TIPO, 1)"));
        s.setParam(QStringLiteral("DBO"), m_originPath);
        s.setParam(QStringLiteral("TABO"), from);
        s.setParam(QStringLiteral("DBD"), m_destPath);
        s.setParam(QStringLiteral("TABD"), to);
        s.setParam(QStringLiteral("TIPO"), kTipoRecordMancanti);
        s.execute();
        tra().commit();
    }

    QString m_originPath, m_destPath;
    db::Attachment m_origin, m_dest;
};

TEST_P(NomiSincro, copyIntoTheTableNamedOnly)
{
    const NomeSincroCase &c = GetParam();
    const QString tabella = QString::fromUtf8(c.tabella);
    const auto origine = impronteTabelle(m_origin);
    const auto altre = impronteTranne(m_dest, {tabella});
    store(c.origine, c.destinazione);

    RecordingReporter r;
    const EsitoSincro esito = eseguiSincronizzazioni(att(), tra(), testOpener(), r, &r);
    if (QByteArray(c.messaggio).isEmpty()) {
        EXPECT_EQ(esito, EsitoSincro::Completata) << r.messages.join('\n').toStdString();
    } else {
        EXPECT_EQ(esito, EsitoSincro::NonEseguibile);
        EXPECT_EQ(r.messages, QStringList{QStringLiteral("W:Elaborazione cod. 1 (Titolo \"nomi\") non eseguibile:\n")
                                          + QString::fromUtf8(c.messaggio)});
    }
    if (!tabella.isEmpty()) {
        db::Transaction t(m_dest);
        db::Statement s(t, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(db::quotedName(tabella)),
                        db::ParamStyle::AsWritten);
        db::ResultSet rs = s.open();
        QStringList righe;
        while (rs.next()) {
            QStringList v;
            for (int i = 0; i < rs.columnCount(); ++i)
                v << (rs.isNull(i) ? QStringLiteral("<null>") : rs.text(i));
            righe << v.join(u'|');
        }
        EXPECT_EQ(righe, c.righe);
    }
    EXPECT_EQ(impronteTabelle(m_origin), origine);
    EXPECT_EQ(impronteTranne(m_dest, {tabella}), altre);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NomiSincro,
    ::testing::Values(
        NomeSincroCase{"zone is the quoted lower-case table", "zone", "zone", "", "zone",
                       {"Z'3|\"; --|<null>", "Z1|già qui|GIA", "Z2|x'; DROP TABLE ZONE; --|SUD"}},
        NomeSincroCase{"ZONE is the upper-case table", "ZONE", "ZONE", "", "ZONE",
                       {"Z1|NORD", "Z4|'); DELETE FROM ALTRA; --"}},
        NomeSincroCase{"\"zone\" stored quoted", "\"zone\"", "\"zone\"", "", "zone",
                       {"Z'3|\"; --|<null>", "Z1|già qui|GIA", "Z2|x'; DROP TABLE ZONE; --|SUD"}},
        NomeSincroCase{"a lower-case name with no such table is read unquoted", "altra", "altra", "", "ALTRA", {"1"}},
        NomeSincroCase{"names with ; -- and a quote", "a;b -- c'd", "a;b -- c'd", "", "a;b -- c'd",
                       {"K1|già qui", "K;2|-- due"}},
        NomeSincroCase{"a statement after the origin name", "ZONE; DELETE FROM ALTRA --", "ZONE",
                       "Tabella origine \"ZONE; DELETE FROM ALTRA --\" non trovata", "", {}},
        NomeSincroCase{"quotes around part of the destination name", "ZONE", "zone\" --",
                       "Tabella destinazione \"zone\" --\" non trovata", "", {}}),
    [](const ::testing::TestParamInfo<NomeSincroCase> &info) { return "case" + std::to_string(info.index); });

// Longer than any catalogue name (and than the stored column): looked up
// nowhere, refused before any statement names it.
TEST_F(NomiSincro, aNameLongerThanTheCataloguesIsNotFound)
{
    const QString lungo(70, u'Z');
    TSincroDB s(testOpener());
    s.carica({1, "t", kTipoRecordMancanti, m_originPath, lungo, m_destPath, "ZONE"});
    try {
        s.VerificaElaborazione();
        FAIL();
    } catch (const ErroreSincro &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Tabella origine \"%1\" non trovata").arg(lungo));
    }
    s.carica({1, "t", kTipoRecordMancanti, m_originPath, "ZONE", m_destPath, lungo});
    try {
        s.VerificaElaborazione();
        FAIL();
    } catch (const ErroreSincro &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Tabella destinazione \"%1\" non trovata").arg(lungo));
    }
}

} // namespace
