#include "OutputDb.h"

#include "output/PagineTesto.h"
#include "platform/HostPaths.h"
#include "platform/LocalTable.h"
#include "platform/RunFeedback.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vardof::test {
namespace {

using output::StatoTabella;

// ---- names and wrapping -----------------------------------------------------

TEST(PagineTesto, NomiAlternativi)
{
    const std::pair<const char *, const char *> casi[] = {
        {"TESTATT.DB", "TESTA01.DB"}, {"RIGHET.DB", "RIGHE01.DB"}, {"TESTA01.DB", "TESTA02.DB"},
        {"TESTA09.DB", "TESTA10.DB"}, {"testatt.db", "TESTA01.DB"}, {"RIGHE99.DB", "RIGHE100.DB"},
    };
    for (const auto &[nome, atteso] : casi)
        EXPECT_EQ(output::ProssimoNomeAlternativo(QString::fromLatin1(nome)), QString::fromLatin1(atteso)) << nome;
}

struct CasoMemo
{
    const char *testo;
    int larghezza;
    std::vector<const char *> pezzi;
};

class PezziMemo : public ::testing::TestWithParam<CasoMemo>
{
};

TEST_P(PezziMemo, Pezzi)
{
    QStringList attesi;
    for (const char *p : GetParam().pezzi)
        attesi << QString::fromUtf8(p);
    EXPECT_EQ(output::pezziMemo(QString::fromUtf8(GetParam().testo), GetParam().larghezza), attesi);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, PezziMemo,
    ::testing::Values(CasoMemo{"uno due tre quattro cinque", 10, {"uno due", "tre", "quattro", "cinque"}},
                      CasoMemo{"abcdefghijklmno", 5, {"abcde", "fghij", "klmno"}},
                      CasoMemo{"riga uno\r\nriga due", 20, {"riga uno", "riga due"}},
                      // A blank line is a line of the print too.
                      CasoMemo{"a\r\n\r\nb", 10, {"a", "", "b"}},
                      CasoMemo{"a\nb", 10, {"a", "b"}},
                      CasoMemo{"", 10, {}},
                      CasoMemo{"ab cd", 5, {"ab cd"}}));

TEST(PagineTesto, NumeroMassimoRighe)
{
    const QString memo = QStringLiteral("uno due tre quattro cinque");
    EXPECT_EQ(output::DeterminaNumeroMassimoRighe({}), 0);
    EXPECT_EQ(output::DeterminaNumeroMassimoRighe({{memo, 10}}), 4);
    // The blank line is a line of the record too: counting only the pieces
    // with text would leave the last one off the page.
    EXPECT_EQ(output::DeterminaNumeroMassimoRighe({{memo, 10}, {QStringLiteral("a\r\n\r\nb\r\nc\r\nd\r\ne"), 10}}), 6);
    EXPECT_EQ(output::DeterminaNumeroMassimoRighe({{QString(), 10}}), 0);
}

TEST(PagineTesto, LarghezzeColonne)
{
    db::Column intero;
    intero.typeCode = db::TypeInteger;
    db::Column testo;
    testo.typeCode = db::TypeVarchar;
    testo.length = 5;
    const std::vector<db::Column> colonne{intero, testo};
    // The label's length wins over a narrower display width.
    const std::vector<output::CampoEsportato> campi{{0, QStringLiteral("N"), QStringLiteral("Numero d'ordine"), 4, 0},
                                                    {1, QStringLiteral("T"), {}, 0, 0}};
    const output::ColonneStampa c = output::colonneStampa(campi, colonne);
    EXPECT_EQ(c.larghezze, (std::vector<int>{15, 5}));
    EXPECT_EQ(c.intestazione, QStringLiteral("|N              |T    |"));
    // One-record view: the value column takes the window's width, within 45..100.
    EXPECT_EQ(output::colonneStampa(campi, colonne, 30).larghezze, (std::vector<int>{15, 45}));
    EXPECT_EQ(output::colonneStampa(campi, colonne, 70).larghezze, (std::vector<int>{15, 70}));
    EXPECT_EQ(output::colonneStampa(campi, colonne, 300).larghezze, (std::vector<int>{15, 100}));
}

TEST(PagineTesto, RigaColonne)
{
    EXPECT_EQ(output::rigaColonne({QStringLiteral("ab"), QStringLiteral("cdef")}, {3, 2}), QStringLiteral("|ab |cd|"));
    EXPECT_EQ(output::rigaColonne({}, {2}), QStringLiteral("|  |"));
}

// ---- the free-table rule -------------------------------------------------------

struct CasoLibera
{
    const char *nome;
    std::vector<const char *> esistenti; // free tables in the folder
    std::vector<const char *> occupate;  // tables someone else holds
    StatoTabella stato;
    const char *nomeFinale;
    bool aperta;
};

class TabellaLibera : public ::testing::TestWithParam<CasoLibera>
{
};

TEST_P(TabellaLibera, Regola)
{
    const CasoLibera &c = GetParam();
    auto tabelle = std::make_shared<platform::ScriptedLocalTables>();
    auto precedente = platform::setLocalTables(tabelle);
    for (const char *n : c.esistenti)
        tabelle->create(QStringLiteral("/lav/") + QString::fromLatin1(n), {});
    for (const char *n : c.occupate)
        tabelle->setHeldElsewhere(QStringLiteral("/lav/") + QString::fromLatin1(n));
    QString nome = QStringLiteral("TESTATT.DB");
    std::unique_ptr<platform::ILocalTable> aperta;
    EXPECT_EQ(output::VerificaTabellaLibera(QStringLiteral("/lav"), nome, aperta), c.stato);
    EXPECT_EQ(nome, QString::fromLatin1(c.nomeFinale));
    EXPECT_EQ(aperta != nullptr, c.aperta);
    aperta.reset();
    platform::setLocalTables(precedente);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, TabellaLibera,
    ::testing::Values(CasoLibera{"nonEsiste", {}, {}, StatoTabella::NonEsiste, "TESTATT.DB", false},
                      CasoLibera{"libera", {"TESTATT.DB"}, {}, StatoTabella::EsisteLibera, "TESTATT.DB", true},
                      CasoLibera{"occupataNomeNuovo", {}, {"TESTATT.DB"}, StatoTabella::EsisteOccupata, "TESTA01.DB", false},
                      CasoLibera{"occupataAlternativaLibera", {"TESTA01.DB"}, {"TESTATT.DB"}, StatoTabella::EsisteOccupata,
                                 "TESTA01.DB", true},
                      CasoLibera{"dueOccupate", {}, {"TESTATT.DB", "TESTA01.DB"}, StatoTabella::EsisteOccupata, "TESTA02.DB",
                                 false}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- pages ---------------------------------------------------------------------

QStringList righeDellaPagina(const QList<QVariantList> &righe, int pagina)
{
    QStringList out;
    for (const QVariantList &r : righe)
        if (r.value(0).toInt() == pagina)
            out << r.value(3).toString();
    return out;
}

TEST(PagineTesto, DueRigheUnaPaginaConRiempitivoENumero)
{
    auto tabelle = std::make_shared<platform::ScriptedLocalTables>();
    auto precedente = platform::setLocalTables(tabelle);
    {
        const QString h3 = QStringLiteral("|A  |B |");
        const QString h4(h3.size(), QLatin1Char('-'));
        output::GeneratorePagine g({QStringLiteral("Titolo"), QStringLiteral("Note"), QString(), h3, h4}, true,
                                   QStringLiteral("D01"), QStringLiteral("/lav/"), 50);
        ASSERT_TRUE(g.Prepara()) << g.errore().toStdString();
        g.AggiungiRiga(QStringLiteral("|x  |1 |"));
        g.AggiungiRiga(QStringLiteral("|y  |2 |"));
        g.TerminaUltimaPagina();
        const auto righe = g.tabellaRighe()->rows({QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")});
        ASSERT_EQ(righe.size(), 50);
        QStringList attese = {QStringLiteral("Titolo"), QStringLiteral("Note"), QString(), h3, h4,
                              QStringLiteral("|x  |1 |"), QStringLiteral("|y  |2 |")};
        for (int i = 0; i < 41; ++i)
            attese << QStringLiteral("|   |  |");
        attese << h4 << QStringLiteral("Pagina N° 1");
        EXPECT_EQ(righeDellaPagina(righe, 1), attese);
        for (int i = 0; i < righe.size(); ++i)
            EXPECT_EQ(righe[i].value(1).toDouble(), double(i + 1));
        EXPECT_EQ(g.tabellaTestate()->rows().size(), 1);
    }
    platform::setLocalTables(precedente);
}

TEST(PagineTesto, PaginaPienaSenzaNumerazione)
{
    auto tabelle = std::make_shared<platform::ScriptedLocalTables>();
    auto precedente = platform::setLocalTables(tabelle);
    {
        output::GeneratorePagine g({QStringLiteral("T"), QString(), QString(), QStringLiteral("|H|"), QStringLiteral("---")},
                                   false, QStringLiteral("D01"), QStringLiteral("/lav/"), 10);
        ASSERT_TRUE(g.Prepara());
        for (int i = 0; i < 6; ++i)
            g.AggiungiRiga(QStringLiteral("|%1|").arg(i));
        g.TerminaUltimaPagina();
        const auto righe = g.tabellaRighe()->rows({QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")});
        // 5 header lines + 5 data lines fill page 1; page 2 repeats the header.
        EXPECT_EQ(righeDellaPagina(righe, 1).size(), 10);
        EXPECT_EQ(righeDellaPagina(righe, 2).mid(5, 2), (QStringList{QStringLiteral("|5|"), QStringLiteral("| |")}));
        EXPECT_EQ(righeDellaPagina(righe, 2).size(), 10);
        EXPECT_EQ(g.paginaCorrente(), 2);
    }
    platform::setLocalTables(precedente);
}

// The answer as pages in SQLite tables of a real working folder: 107 rows
// at 43 a page give two full pages and a half one, with a totals line.
class PagineRisposta : public OutputDb
{
};

TEST_F(PagineRisposta, DuePagineEMezzoConTotaliENumeri)
{
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("WITH RECURSIVE R (N) AS (SELECT 1 FROM RDB$DATABASE UNION ALL "
                                       "SELECT N + 1 FROM R WHERE N < 107)"),
                        QStringLiteral("SELECT CAST(N AS INTEGER) AS N, CAST(N * 1000.5 AS DOUBLE PRECISION) AS V FROM R")};
    r.transazione = &tra();
    r.campi = {{0, QStringLiteral("N"), {}, 4, 0}, {1, QStringLiteral("V"), {}, 12, 11}};
    output::OpzioniPagine o;
    o.titolo = QStringLiteral("Elenco");
    o.righePerPagina = 50;
    platform::RecordingFeedback fb;
    QString errore;
    const QString lavoro = m_out.path() + QLatin1Char('/');
    {
        auto g = output::GeneraPagineRisposta(r, o, QStringLiteral("D01"), lavoro, fb, &errore);
        ASSERT_TRUE(g) << errore.toStdString();
        EXPECT_EQ(g->statoTestate(), StatoTabella::NonEsiste);
    }
    // The standard tables stay for the printer, in their folders.
    const QString righetPath = lavoro + QStringLiteral("STAMPE/TEXT/RIGHET/RIGHET.DB");
    ASSERT_TRUE(QFileInfo::exists(righetPath));
    // A second print finds them free and starts them afresh.
    auto g = output::GeneraPagineRisposta(r, o, QStringLiteral("D01"), lavoro, fb, &errore);
    ASSERT_TRUE(g) << errore.toStdString();
    EXPECT_EQ(g->statoTestate(), StatoTabella::EsisteLibera);
    const auto righe = g->tabellaRighe()->rows({QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")});
    const QString h3 = QStringLiteral("|N   |V           |");
    const QString h4(h3.size(), QLatin1Char('-'));
    const QStringList p1 = righeDellaPagina(righe, 1);
    const QStringList p3 = righeDellaPagina(righe, 3);
    ASSERT_EQ(p1.size(), 50);
    ASSERT_EQ(righeDellaPagina(righe, 2).size(), 50);
    ASSERT_EQ(p3.size(), 50);
    EXPECT_EQ(p1.mid(0, 7), (QStringList{QStringLiteral("Elenco"), QString(), QString(), h3, h4,
                                         QStringLiteral("|1   |    1.000,50|"), QStringLiteral("|2   |    2.001,00|")}));
    EXPECT_EQ(p1.at(47), QStringLiteral("|43  |   43.021,50|"));
    EXPECT_EQ(p1.mid(48), (QStringList{h4, QStringLiteral("Pagina N° 1")}));
    EXPECT_EQ(righeDellaPagina(righe, 2).at(5), QStringLiteral("|44  |   44.022,00|"));
    // Page 3: 21 records, the dash line and the totals, fillers, the foot.
    EXPECT_EQ(p3.at(5), QStringLiteral("|87  |   87.043,50|"));
    EXPECT_EQ(p3.at(25), QStringLiteral("|107 |  107.053,50|"));
    EXPECT_EQ(p3.at(26), h4);
    EXPECT_EQ(p3.at(27), QStringLiteral("|    |5.780.889,00|"));
    EXPECT_EQ(p3.at(28), QStringLiteral("|    |            |"));
    EXPECT_EQ(p3.at(47), QStringLiteral("|    |            |"));
    EXPECT_EQ(p3.mid(48), (QStringList{h4, QStringLiteral("Pagina N° 3")}));
    EXPECT_EQ(g->tabellaTestate()->rows().size(), 3);
}

TEST_F(PagineRisposta, TabellaTenutaDaAltriPassaAlNomeAlternativo)
{
    const QString lavoro = m_out.path() + QLatin1Char('/');
    const QString cartella = lavoro + QStringLiteral("STAMPE/TEXT/TESTATT");
    QDir().mkpath(cartella);
    platform::SqliteLocalTables sqlite;
    // Another copy of the system holds TESTATT.DB (its own connection).
    auto altra = sqlite.create(cartella + QStringLiteral("/TESTATT.DB"),
                               {{{QStringLiteral("NumeroPagina"), platform::LocalField::SmallInt, 0}}, {}});
    ASSERT_TRUE(altra);
    ASSERT_TRUE(altra->append({QVariant(7)}));
    auto r = risposta(QStringLiteral("ID, NOME"));
    platform::RecordingFeedback fb;
    QString errore;
    {
        auto g = output::GeneraPagineRisposta(r, {}, QStringLiteral("D01"), lavoro, fb, &errore);
        ASSERT_TRUE(g) << errore.toStdString();
        EXPECT_EQ(g->statoTestate(), StatoTabella::EsisteOccupata);
        EXPECT_TRUE(g->percorsoTestate().endsWith(QLatin1String("TESTA01.DB")));
        EXPECT_TRUE(QFileInfo::exists(cartella + QStringLiteral("/TESTA01.DB")));
    }
    // The alternative goes with the builder; the held table is untouched.
    EXPECT_FALSE(QFileInfo::exists(cartella + QStringLiteral("/TESTA01.DB")));
    EXPECT_EQ(altra->rows().size(), 1);
}

// Memos wrapped over as many lines as they need, a blank line included, so
// that the last piece is printed too.
TEST_F(PagineRisposta, MemoSuPiuRighe)
{
    output::RispostaDaEsportare r;
    r.sql = QStringList{QStringLiteral("SELECT ID, CAST(IIF(ID = 1, 'uno due tre quattro cinque', "
                                       "'a' || ASCII_CHAR(13) || ASCII_CHAR(10) || ASCII_CHAR(13) || ASCII_CHAR(10) || 'b') "
                                       "AS BLOB SUB_TYPE 1) AS M FROM PROVA WHERE ID < 3 ORDER BY ID")};
    r.transazione = &tra();
    r.campi = {{0, QStringLiteral("ID"), {}, 2, 0}, {1, QStringLiteral("M"), {}, 10, 0}};
    const struct
    {
        bool memoEstesi;
        QStringList righe;
    } casi[] = {
        {true, {QStringLiteral("|1 |uno due   |"), QStringLiteral("|  |tre       |"), QStringLiteral("|  |quattro   |"),
                QStringLiteral("|  |cinque    |"), QStringLiteral("|2 |a         |"), QStringLiteral("|  |          |"),
                QStringLiteral("|  |b         |")}},
        // Without the option a memo is one line, its breaks made blanks.
        {false, {QStringLiteral("|1 |uno due tr|"), QStringLiteral("|2 |a    b    |")}},
    };
    for (const auto &c : casi) {
        output::OpzioniPagine o;
        o.memoEstesi = c.memoEstesi;
        o.righePerPagina = 50;
        platform::RecordingFeedback fb;
        QString errore;
        auto g = output::GeneraPagineRisposta(r, o, QStringLiteral("D01"), m_out.path() + QLatin1Char('/'), fb, &errore);
        ASSERT_TRUE(g) << errore.toStdString();
        const auto righe = g->tabellaRighe()->rows({QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")});
        EXPECT_EQ(righeDellaPagina(righe, 1).mid(5, c.righe.size()), c.righe) << c.memoEstesi;
    }
}

// ---- the SQLite local tables ---------------------------------------------------

TEST(LocalTable, EsclusivaFinoAllaChiusura)
{
    TempDir dir;
    platform::SqliteLocalTables t;
    const QString path = dir.file(QStringLiteral("RIGHET.DB"));
    EXPECT_FALSE(t.exists(path));
    platform::LocalTableLayout layout{{{QStringLiteral("A"), platform::LocalField::SmallInt, 0},
                                       {QStringLiteral("B"), platform::LocalField::Text, 136}},
                                      {QStringLiteral("A")}};
    auto prima = t.create(path, layout);
    ASSERT_TRUE(prima);
    ASSERT_TRUE(prima->append({QVariant(2), QVariant(QStringLiteral("è due"))}));
    ASSERT_TRUE(prima->append({QVariant(1), QVariant()}));
    EXPECT_EQ(prima->rows({QStringLiteral("A")}),
              (QList<QVariantList>{{QVariant(qlonglong(1)), QVariant()}, {QVariant(qlonglong(2)), QVariant(QStringLiteral("è due"))}}));
    QString motivo;
    EXPECT_FALSE(t.openExclusive(path, &motivo));
    EXPECT_FALSE(motivo.isEmpty());
    EXPECT_FALSE(t.create(path, layout)) << "una tabella esistente non si ricrea";
    prima->close();
    auto seconda = t.openExclusive(path);
    ASSERT_TRUE(seconda);
    EXPECT_TRUE(seconda->rows().isEmpty()) << "aperta per l'uso, la tabella è svuotata";
    seconda->close();
    EXPECT_TRUE(t.remove(path));
    EXPECT_FALSE(t.exists(path));
}

TEST(LocalTable, UnFileCheNonETabellaNonELibero)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("TESTATT.DB"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("non sono un database, solo testo qualsiasi che occupa spazio");
    f.close();
    platform::SqliteLocalTables t;
    QString motivo;
    EXPECT_FALSE(t.openExclusive(path, &motivo));
    EXPECT_FALSE(motivo.isEmpty());
}

} // namespace
} // namespace vardof::test
