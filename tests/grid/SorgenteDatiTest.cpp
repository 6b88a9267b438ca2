// The grid's sources on a real database: rows fetched as asked for, the
// handlers around opening and closing, the statements the grid rewrites
// accepted by the server with the rows in the order asked, the model's
// texts, and the in-memory table's filter and sort.

#include "grid/ModelloGriglia.h"
#include "grid/Ricerca.h"
#include "grid/RiscritturaSql.h"
#include "grid/SorgenteDati.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QBrush>
#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::grid;

namespace {

class Sorgente : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY, B VARCHAR(20), N NUMERIC(9,2), D DATE)");
        exec("CREATE TABLE U (A INTEGER, B VARCHAR(20))");
        exec("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 1000) DO BEGIN "
             "INSERT INTO T VALUES (:I, 'riga ' || :I, :I / 4.00, DATEADD(:I DAY TO DATE '2020-01-01')); I = I + 1; "
             "END END");
        exec("INSERT INTO U VALUES (5000, 'unione')");
        exec("INSERT INTO U VALUES (-1, 'prima')");
        m_query.attach(att(), tra());
    }
    void TearDown() override
    {
        m_query.chiudiSenzaGestori();
        FbFixture::TearDown();
    }
    QStringList primi(const QString &sql, int quanti)
    {
        m_query.setTesto(sql);
        m_query.open();
        m_query.fetchMore(quanti);
        QStringList v;
        for (int r = 0; r < m_query.fetchedCount(); ++r)
            v << db::toText(m_query.value(r, 0));
        m_query.close();
        return v;
    }
    SorgenteQuery m_query;
};

} // namespace

TEST_F(Sorgente, opensWithoutReadingAndFetchesWhatIsAsked)
{
    m_query.setTesto("SELECT * FROM T ORDER BY A");
    m_query.open();
    EXPECT_TRUE(m_query.isOpen());
    EXPECT_EQ(m_query.fetchedCount(), 0);
    EXPECT_FALSE(m_query.atEnd());
    EXPECT_EQ(m_query.fetchMore(100), 100);
    EXPECT_EQ(m_query.fetchedCount(), 100);
    EXPECT_EQ(db::toText(m_query.value(99, 1)), "riga 100");
    EXPECT_EQ(m_query.fetchMore(5000), 900);
    EXPECT_TRUE(m_query.atEnd());
    EXPECT_EQ(m_query.fetchMore(10), 0);
    EXPECT_EQ(m_query.origine(1), "T.B");
    EXPECT_EQ(m_query.nomeCampo(1), "B");
    EXPECT_EQ(m_query.indiceCampo("n"), 2);
    m_query.close();
    EXPECT_FALSE(m_query.isOpen());
    EXPECT_EQ(m_query.fetchedCount(), 0);
}

TEST_F(Sorgente, computedColumnsHaveNoOrigin)
{
    m_query.setTesto("SELECT A, A * 2 AS DOPPIO FROM T");
    m_query.open();
    EXPECT_EQ(m_query.origine(0), "T.A");
    EXPECT_EQ(m_query.origine(1), "");
    EXPECT_EQ(m_query.nomeCampo(1), "DOPPIO");
}

TEST_F(Sorgente, handlersRunAroundOpenAndClose)
{
    QStringList visti;
    m_query.primaDellApertura = [&](SorgenteDati &s) {
        visti << "prima";
        static_cast<SorgenteQuery &>(s).setTesto("SELECT A FROM T WHERE A < 3");
    };
    m_query.dopoLApertura = [&](SorgenteDati &s) { visti << QStringLiteral("dopo %1").arg(s.columnCount()); };
    m_query.primaDellaChiusura = [&](SorgenteDati &s) { visti << QStringLiteral("chiusura %1").arg(s.isOpen()); };
    m_query.open();
    m_query.fetchMore(10);
    EXPECT_EQ(m_query.fetchedCount(), 2);
    m_query.close();
    m_query.close();
    EXPECT_EQ(visti, (QStringList{"prima", "dopo 1", "chiusura 1"}));
}

TEST_F(Sorgente, aRefusedStatementLeavesTheSourceClosed)
{
    bool dopo = false;
    m_query.dopoLApertura = [&](SorgenteDati &) { dopo = true; };
    m_query.setTesto("SELECT NONESISTE FROM T");
    EXPECT_THROW(m_query.open(), db::Error);
    EXPECT_FALSE(m_query.isOpen());
    EXPECT_FALSE(dopo);
}

TEST_F(Sorgente, aFetchThatFailsClosesTheSource)
{
    m_query.setTesto("SELECT A FROM T");
    m_query.open();
    m_query.fetchMore(10);
    tra().rollback();
    EXPECT_THROW(m_query.fetchMore(2000), db::Error);
    EXPECT_FALSE(m_query.isOpen());
}

// ---- the statements the grid writes, sent to the server ------------------------------------

struct EsecuzioneCase
{
    const char *nome;
    const char *sql;
    QStringList condizione;
    QStringList ordine;
    QStringList primi; // first column of the first rows
};

class Esecuzione : public Sorgente, public ::testing::WithParamInterface<EsecuzioneCase> {};

TEST_P(Esecuzione, theServerTakesTheRewrittenStatement)
{
    const EsecuzioneCase &c = GetParam();
    const QString sql = conOrdine(conCondizione(QString::fromUtf8(c.sql), c.condizione), c.ordine);
    EXPECT_EQ(primi(sql, int(c.primi.size())), c.primi) << sql.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Esecuzione,
    ::testing::Values(
        EsecuzioneCase{"ordineSingolo", "SELECT * FROM T", {}, {"ORDER BY T.A DESC"}, {"1000", "999"}},
        EsecuzioneCase{"ordineMultiplo", "SELECT * FROM T", {}, {"ORDER BY T.D DESC", ",T.A"}, {"1000", "999"}},
        EsecuzioneCase{"sostituisceIlSuo", "SELECT * FROM T ORDER BY A", {}, {"ORDER BY T.A DESC"}, {"1000"}},
        EsecuzioneCase{"condizioneESuoOrdine", "SELECT * FROM T ORDER BY A DESC", {"(UPPER(T.B) LIKE '%IGA 1%')"}, {},
                       {"1000", "199"}},
        EsecuzioneCase{"groupBy", "SELECT MOD(A, 3) AS R, COUNT(*) AS N FROM T GROUP BY MOD(A, 3)", {"(T.A <= 10)"},
                       {"ORDER BY N DESC"}, {"1"}},
        EsecuzioneCase{"unioneOrdinata", "SELECT A, B FROM T UNION ALL SELECT A, B FROM U", {}, {"ORDER BY A DESC"},
                       {"5000", "1000"}},
        EsecuzioneCase{"unioneCercata", "SELECT A, B FROM T UNION ALL SELECT A, B FROM U", {"(B LIKE 'prim%')"},
                       {"ORDER BY A"}, {"-1"}},
        EsecuzioneCase{"unioneColSuoOrdine", "SELECT A, B FROM T UNION ALL SELECT A, B FROM U ORDER BY 1",
                       {"(A >= 999)"}, {}, {"999", "1000", "5000"}},
        EsecuzioneCase{"generica", "SELECT * FROM T WHERE A > 990",
                       {"(", "(T.B CONTAINING '99')", "OR(T.N CONTAINING '99')", ")"}, {"ORDER BY T.A"},
                       {"991", "992", "993"}},
        EsecuzioneCase{"data", "SELECT * FROM T", {"(T.D >= '01/05/2020')AND(T.D <= '01/06/2020')"}, {"ORDER BY T.A"},
                       {"4", "5"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Sorgente, unionColumnsAreDescribedByTheFirstSelect)
{
    // Why the grid orders and searches a union by column names: the server
    // gives its columns the origin of the first SELECT, which the wrapped
    // statement no longer knows.
    m_query.setTesto("SELECT A, B FROM T UNION ALL SELECT A, B FROM U");
    m_query.open();
    EXPECT_EQ(m_query.origine(0), "T.A");
    m_query.close();
    EXPECT_THROW(primi(conOrdine("SELECT A, B FROM T UNION ALL SELECT A, B FROM U", {"ORDER BY T.A"}), 1), db::Error);
}

// ---- the model --------------------------------------------------------------------------------

TEST_F(Sorgente, modelFetchesAsTheViewAsksAndFormatsCells)
{
    ModelloGriglia m;
    m.setSorgente(&m_query);
    m_query.setTesto("SELECT A, B, N, D FROM T ORDER BY A");
    m_query.open();
    EXPECT_EQ(m.columnCount(), 4);
    EXPECT_EQ(m.rowCount(), 0);
    ASSERT_TRUE(m.canFetchMore(QModelIndex()));
    m.fetchMore(QModelIndex());
    EXPECT_EQ(m.rowCount(), 256);
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), "0,25");
    EXPECT_EQ(m.data(m.index(9, 2)).toString(), "2,50");
    EXPECT_EQ(m.data(m.index(0, 3)).toString(), "02/01/2020");
    EXPECT_EQ(m.data(m.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "B");
    m.setTitolo("b", "Descrizione");
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Descrizione");
    m.setColoreColonna("B", QColor(Qt::green));
    EXPECT_EQ(m.data(m.index(0, 1), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::green));
    EXPECT_FALSE(m.data(m.index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m.fetchAll());
    EXPECT_EQ(m.rowCount(), 1000);
    EXPECT_FALSE(m.canFetchMore(QModelIndex()));
    m_query.close();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.columnCount(), 0);
}

TEST_F(Sorgente, modelReportsAFailedFetchOnce)
{
    ModelloGriglia m;
    m.setSorgente(&m_query);
    QStringList errori;
    QObject::connect(&m, &ModelloGriglia::fetchFailed, [&](const QString &e) { errori << e; });
    m_query.setTesto("SELECT A FROM T");
    m_query.open();
    m.fetchMore(QModelIndex());
    tra().rollback();
    m.setBatchSize(5000);
    m.fetchMore(QModelIndex());
    EXPECT_EQ(errori.size(), 1);
    EXPECT_FALSE(m.canFetchMore(QModelIndex()));
    m.fetchMore(QModelIndex());
    EXPECT_EQ(errori.size(), 1);
}

struct ColoreCase
{
    int valore;
    QColor colore;
};

class Colori : public ::testing::TestWithParam<ColoreCase> {};

TEST_P(Colori, redInTheLowByte)
{
    EXPECT_EQ(coloreDa(GetParam().valore), GetParam().colore);
    if (GetParam().colore.isValid())
        EXPECT_EQ(valoreColore(GetParam().colore), GetParam().valore);
}

INSTANTIATE_TEST_SUITE_P(Cases, Colori,
                         ::testing::Values(ColoreCase{0, QColor()}, ColoreCase{0x0000FF, QColor(255, 0, 0)},
                                           ColoreCase{0x00FFFF, QColor(255, 255, 0)},
                                           ColoreCase{(180 << 16) | (180 << 8) | 243, QColor(243, 180, 180)},
                                           ColoreCase{0xFF0000, QColor(0, 0, 255)}));

// ---- in-memory table -----------------------------------------------------------------------------

TEST(TabellaMemoria, filtersAndSortsOnFieldNames)
{
    TabellaMemoria t;
    db::Column nome;
    nome.name = QStringLiteral("NOME");
    nome.typeCode = db::TypeVarchar;
    t.setColonne({nome});
    for (const char *n : {"rossi", "Bianchi", "verdi", "Rosa"})
        t.aggiungiRiga({db::Value(QString::fromLatin1(n))});
    t.open();
    EXPECT_EQ(t.fetchedCount(), 4);
    t.ordina({"nome"}, false);
    QStringList v;
    for (int i = 0; i < t.fetchedCount(); ++i)
        v << db::toText(t.value(i, 0));
    EXPECT_EQ(v, (QStringList{"Bianchi", "Rosa", "rossi", "verdi"}));
    t.setFiltro([](const std::vector<db::FieldValue> &r) { return accettaValore(db::toText(r[0]), "ro", true, IniziaCon); });
    t.setFiltroAttivo(true);
    EXPECT_EQ(t.fetchedCount(), 2);
    t.ordina({"NOME"}, true);
    EXPECT_EQ(db::toText(t.value(0, 0)), "rossi");
    t.setFiltroAttivo(false);
    EXPECT_EQ(t.fetchedCount(), 4);
}
