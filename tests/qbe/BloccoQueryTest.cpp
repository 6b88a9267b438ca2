// The query lock: key checks, the scrambled key and every move between
// no lock, a simple lock and a keyed lock.

#include "platform/QtPrinters.h"
#include "qbe/BloccoQuery.h"
#include "Righe.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;
using vardof::test::R;
using vardof::test::righe;
using vardof::test::tabella;

namespace {

struct CasoChiave
{
    const char *chiave;
    const QString *messaggio; // nullptr: a good key
};

class ControlloChiave : public ::testing::TestWithParam<CasoChiave> {};
TEST_P(ControlloChiave, refusesInTheDialogsOrder)
{
    const QString m = controlloChiave(QString::fromUtf8(GetParam().chiave));
    EXPECT_EQ(m, GetParam().messaggio ? *GetParam().messaggio : QString());
    EXPECT_EQ(chiaveValida(QString::fromUtf8(GetParam().chiave)), GetParam().messaggio == nullptr);
}
INSTANTIATE_TEST_SUITE_P(Casi, ControlloChiave,
                         ::testing::Values(CasoChiave{"", &kMsgInserireChiave},
                                           CasoChiave{"ABCDE", &kMsgChiaveSeiCaratteri},
                                           CasoChiave{"ABCDEFG", &kMsgChiaveSeiCaratteri},
                                           CasoChiave{"AAAAAA", &kMsgChiaveUguali},
                                           CasoChiave{"      ", &kMsgChiaveUguali},
                                           CasoChiave{"AAAAAB", nullptr}, CasoChiave{"abc123", nullptr}));

TEST(BloccoQuery, chiaveCriptata)
{
    // Six numbers, decimal, single spaces, none at the end; each one the
    // complement of bits taken from two neighbouring characters.
    const QString c = CriptaChiave(QStringLiteral("abc123"));
    const QStringList numeri = c.split(QLatin1Char(' '));
    ASSERT_EQ(numeri.size(), 6);
    for (const QString &n : numeri) {
        bool ok = false;
        const int v = n.toInt(&ok);
        EXPECT_TRUE(ok && v >= 0 && v <= 255) << n.toStdString();
        EXPECT_FALSE(n.size() > 1 && n.startsWith(QLatin1Char('0'))) << n.toStdString();
    }
    EXPECT_FALSE(c.endsWith(QLatin1Char(' ')));
    // Equal neighbours give the complement of the character itself.
    EXPECT_EQ(CriptaChiave(QStringLiteral("AAAAAB")).split(QLatin1Char(' ')).at(1), QString::number(255 - 'A'));
    EXPECT_NE(CriptaChiave(QStringLiteral("abc123")), CriptaChiave(QStringLiteral("abc124")));
    EXPECT_NE(CriptaChiave(QStringLiteral("abc123")), CriptaChiave(QStringLiteral("bc123a")));
    EXPECT_TRUE(ValidaChiave(QStringLiteral("abc123"), c));
    EXPECT_FALSE(ValidaChiave(QStringLiteral("abc124"), c));
    EXPECT_FALSE(ValidaChiave(QStringLiteral("ABC123"), c));
}

struct CasoStato
{
    const char *nome;
    std::vector<RigaInt> righe;
    bool flag;
    StatoBlocco stato;
};
void PrintTo(const CasoStato &c, std::ostream *os) { *os << c.nome; }

class Stato : public ::testing::TestWithParam<CasoStato> {};
TEST_P(Stato, isWorkedOutFromFlagAndFirstLockRow)
{
    TabIntTmp t;
    t.setRighe(GetParam().righe);
    EXPECT_EQ(statoBlocco(t, GetParam().flag), GetParam().stato);
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Stato,
    ::testing::Values(CasoStato{"senzaFlag", righe({{"A", 1}, {"QUERY BLOCCATA", 7, "1 2"}}), false, StatoBlocco::Nessuno},
                      CasoStato{"semplice", righe({{"A", 1}, {"QUERY BLOCCATA", 7}}), true, StatoBlocco::Semplice},
                      CasoStato{"conChiave", righe({{"A", 1}, {"QUERY BLOCCATA", 7, "1 2"}, {"QUERY SUCCESSIVA", 4, "3"}}),
                                true, StatoBlocco::ConChiave}),
    [](const auto &info) { return std::string(info.param.nome); });

const QString kChiave = QStringLiteral("abc123");

struct CasoCambio
{
    const char *nome;
    std::vector<RigaInt> prima;
    bool flagPrima;
    StatoBlocco da;
    StatoBlocco a;
    const char *chiave;
    bool accettata;
    const QString *rifiuto;
    std::vector<RigaInt> dopo; // "KEY" stands for the scrambled kChiave
    bool flagDopo;
};
void PrintTo(const CasoCambio &c, std::ostream *os) { *os << c.nome; }

class Cambio : public ::testing::TestWithParam<CasoCambio> {};
TEST_P(Cambio, movesTheLockOrRefuses)
{
    const CasoCambio &c = GetParam();
    auto chiavi = [](std::vector<RigaInt> r) {
        for (RigaInt &x : r)
            if (x.Condizione == QLatin1String("KEY"))
                x.Condizione = CriptaChiave(kChiave);
        return r;
    };
    TabIntTmp t;
    t.setRighe(chiavi(c.prima));
    SessioneQuery s;
    s.setBloccata(c.flagPrima);
    EXPECT_EQ(cambiaBlocco(t, s, c.da, c.a, QString::fromUtf8(c.chiave), c.accettata),
              c.rifiuto ? *c.rifiuto : QString());
    EXPECT_EQ(t.righe(), chiavi(c.dopo));
    EXPECT_EQ(s.bloccata(), c.flagDopo);
}
const auto kLibera = righe({{"A", 1}, {"B", 0}});
const auto kSemplice = righe({{"A", 1}, {"B", 0}, {"QUERY BLOCCATA", 7}});
const auto kConChiave = righe({{"A", 1}, {"B", 0}, {"QUERY BLOCCATA", 7, "KEY"}});
const auto kSempliceConMarcatore = righe({{"A", 1}, {"QUERY BLOCCATA", 7}, {"QUERY SUCCESSIVA", 4, "5"}});
const auto kChiaveConMarcatore = righe({{"A", 1}, {"QUERY BLOCCATA", 7, "KEY"}, {"QUERY SUCCESSIVA", 4, "5"}});
using S = StatoBlocco;
INSTANTIATE_TEST_SUITE_P(
    Casi, Cambio,
    ::testing::Values(
        CasoCambio{"nessunCambio", kConChiave, true, S::ConChiave, S::ConChiave, "", false, nullptr, kConChiave, true},
        CasoCambio{"mettiSemplice", kLibera, false, S::Nessuno, S::Semplice, "", false, nullptr, kSemplice, true},
        CasoCambio{"mettiConChiave", kLibera, false, S::Nessuno, S::ConChiave, "abc123", false, nullptr, kConChiave, true},
        CasoCambio{"mettiConChiaveCorta", kLibera, false, S::Nessuno, S::ConChiave, "abc12", false,
                   &kMsgChiaveNonValida, kLibera, false},
        CasoCambio{"mettiConChiaveUguale", kLibera, false, S::Nessuno, S::ConChiave, "xxxxxx", false,
                   &kMsgChiaveNonValida, kLibera, false},
        CasoCambio{"togliSemplice", kSemplice, true, S::Semplice, S::Nessuno, "", false, nullptr, kLibera, false},
        CasoCambio{"sempliceAConChiave", kSempliceConMarcatore, true, S::Semplice, S::ConChiave, "abc123", false,
                   nullptr, kChiaveConMarcatore, true},
        CasoCambio{"sempliceAConChiaveCorta", kSemplice, true, S::Semplice, S::ConChiave, "abc12", false,
                   &kMsgChiaveNonValida, kSemplice, true},
        CasoCambio{"conChiaveASempliceAccettata", kChiaveConMarcatore, true, S::ConChiave, S::Semplice, "abc123",
                   true, nullptr, kSempliceConMarcatore, true},
        CasoCambio{"conChiaveASempliceNonAccettata", kConChiave, true, S::ConChiave, S::Semplice, "abc123", false,
                   &kMsgChiaveNonValida, kConChiave, true},
        CasoCambio{"togliConChiaveAccettata", kChiaveConMarcatore, true, S::ConChiave, S::Nessuno, "abc123", true,
                   nullptr, {RigaInt{1, "A", 1, ""}, RigaInt{3, "QUERY SUCCESSIVA", 4, "5"}}, false},
        CasoCambio{"togliConChiaveNonAccettata", kConChiave, true, S::ConChiave, S::Nessuno, "", false,
                   &kMsgChiaveNonValida, kConChiave, true}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
