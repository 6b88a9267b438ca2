// The query session: the five digits of a column code read one by one,
// grouping replaced in place, columns out of range, the next level's
// session of a chain.

#include "qbe/SessioneQuery.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;

namespace {

struct CodiceCase
{
    int codice;
    bool decrescente;
    int posizione;
    bool totale;
    int raggruppamento;
};

void PrintTo(const CodiceCase &c, std::ostream *os)
{
    *os << c.codice;
}

class Codici : public ::testing::TestWithParam<CodiceCase> {};

TEST_P(Codici, fiveDigitsReadOneByOne)
{
    CodiciColonne codici;
    codici.setCodice(4, GetParam().codice);
    EXPECT_EQ(codici.codice(4), GetParam().codice);
    EXPECT_EQ(codici.decrescente(4), GetParam().decrescente);
    EXPECT_EQ(codici.posizioneOrdinamento(4), GetParam().posizione);
    EXPECT_EQ(codici.inChiave(4), GetParam().posizione > 0);
    EXPECT_EQ(codici.conTotale(4), GetParam().totale);
    EXPECT_EQ(codici.raggruppamento(4), GetParam().raggruppamento);
    // The neighbours are untouched.
    EXPECT_EQ(codici.codice(3), 0);
    EXPECT_EQ(codici.codice(5), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Codici,
                         ::testing::Values(CodiceCase{0, false, 0, false, 0}, CodiceCase{2, false, 0, false, 2},
                                           CodiceCase{10, false, 0, true, 0}, CodiceCase{100, false, 1, false, 0},
                                           CodiceCase{10100, true, 1, false, 0},
                                           CodiceCase{13112, true, 31, true, 2},
                                           CodiceCase{1201, false, 12, false, 1},
                                           // Only the last five digits count.
                                           CodiceCase{110100, true, 1, false, 0},
                                           // A negative code read as its digits.
                                           CodiceCase{-12, false, 0, true, 2}));

struct RaggruppamentoCase
{
    int prima;
    int tipo;
    int dopo;
};

class Raggruppamento : public ::testing::TestWithParam<RaggruppamentoCase> {};

TEST_P(Raggruppamento, lastDigitReplacedAndTheRestKept)
{
    CodiciColonne codici;
    codici.setCodice(0, GetParam().prima);
    codici.setRaggruppamento(0, GetParam().tipo);
    EXPECT_EQ(codici.codice(0), GetParam().dopo);
}

INSTANTIATE_TEST_SUITE_P(Cases, Raggruppamento,
                         ::testing::Values(RaggruppamentoCase{12012, 0, 12010}, RaggruppamentoCase{10100, 1, 10101},
                                           RaggruppamentoCase{0, 2, 2}, RaggruppamentoCase{13112, 1, 13111},
                                           // The digit written is the digit read back.
                                           RaggruppamentoCase{-12, 0, -10}, RaggruppamentoCase{-12, 1, -11}));

TEST(CodiciColonne, columnsOutOfRangeReadZeroAndIgnoreWrites)
{
    CodiciColonne codici;
    for (int colonna : {-1, CodiciColonne::kMaxColonne, CodiciColonne::kMaxColonne + 10}) {
        codici.setCodice(colonna, 10101);
        codici.setRaggruppamento(colonna, 2);
        EXPECT_EQ(codici.codice(colonna), 0);
        EXPECT_EQ(codici.raggruppamento(colonna), 0);
        EXPECT_FALSE(codici.decrescente(colonna));
    }
    EXPECT_EQ(codici, CodiciColonne());
    codici.setCodice(CodiciColonne::kMaxColonne - 1, 1);
    EXPECT_EQ(codici.raggruppamento(CodiciColonne::kMaxColonne - 1), 1);
    codici.azzera();
    EXPECT_EQ(codici, CodiciColonne());
}

TEST(SessioneQuery, appearanceKeyIsTheStoredQuerysAtLevelZeroAndTheChainedQuerysAbove)
{
    SessioneQuery s;
    s.setChiaveStorico(3, 17);
    EXPECT_EQ(s.codice1Aspetto(), 3);
    EXPECT_EQ(s.codice2Aspetto(), 17.0);
    s.setLivello(1);
    s.setCodiceCatena(42);
    EXPECT_EQ(s.codice1Aspetto(), 2000);
    EXPECT_EQ(s.codice2Aspetto(), 42.0);
}

TEST(SessioneQuery, theNextLevelKeepsKeyAndArchiveAndStartsItsOwnCodesAndFlags)
{
    SessioneQuery s;
    s.setChiaveStorico(3, 17);
    s.setArchivio(QStringLiteral("/dati/"));
    s.setUnione(true);
    s.setBloccata(true);
    s.setOrdinata(true);
    s.codici().setCodice(1, 10101);

    const SessioneQuery n = s.successiva(8);
    EXPECT_EQ(n.livello(), 1);
    EXPECT_EQ(n.codiceCatena(), 8.0);
    EXPECT_TRUE(n.modoStorico());
    EXPECT_EQ(n.codice1(), 3);
    EXPECT_EQ(n.codice2(), 17.0);
    EXPECT_EQ(n.archivio(), QStringLiteral("/dati/"));
    EXPECT_FALSE(n.unione());
    EXPECT_FALSE(n.bloccata());
    EXPECT_FALSE(n.ordinata());
    EXPECT_EQ(n.codici(), CodiciColonne());
    // The level left keeps what it had, for the way back.
    EXPECT_EQ(s.livello(), 0);
    EXPECT_EQ(s.codici().codice(1), 10101);
    EXPECT_EQ(n.successiva(9).livello(), 2);
}

TEST(SessioneQuery, flagsAreClearedTogether)
{
    SessioneQuery s;
    s.setUnione(true);
    s.setBloccata(true);
    s.azzeraIndicatori();
    EXPECT_FALSE(s.unione());
    EXPECT_FALSE(s.bloccata());
}

} // namespace
