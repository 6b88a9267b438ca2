// Union blocks and added tables composed by the engine and run on real
// tables: the statement's shape and the rows it answers.

#include "QbeDb.h"
#include "Righe.h"

#include "platform/Services.h"
#include "qbe/BloccoQuery.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/TabelleAggiunte.h"
#include "qbe/Unione.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::qbe;
using test::R;
using test::righe;

namespace {

class UnioneJoin : public test::QbeDb
{
protected:
    void SetUp() override
    {
        QbeDb::SetUp();
        m_motore = std::make_unique<TIBFQuerForm>(7, att(), tra(), att(), tra(), m_tab, QStringLiteral("CLIENTI"),
                                                  m_sessione, QString(), QStringLiteral("DEMO"));
    }
    void TearDown() override
    {
        m_risposta.close();
        m_motore.reset();
        QbeDb::TearDown();
    }
    // Each answer row as its values joined by "|", in the answer's order.
    QStringList esegui()
    {
        EXPECT_TRUE(m_motore->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta))
            << m_motore->ultimoErrore().toStdString() << "\n" << m_risposta.testo().toStdString();
        QStringList out;
        if (!m_risposta.isOpen())
            return out;
        m_risposta.fetchAll();
        for (int r = 0; r < m_risposta.fetchedCount(); ++r) {
            QStringList valori;
            for (int c = 0; c < m_risposta.columnCount(); ++c)
                valori << m_risposta.text(r, c);
            out << valori.join(QLatin1Char('|'));
        }
        out.sort();
        return out;
    }

    platform::ScopedServices m_services;
    SessioneQuery m_sessione;
    TabIntTmp m_tab;
    TabRispTmp m_risposta;
    std::unique_ptr<TIBFQuerForm> m_motore;
};

struct CasoJoin
{
    const char *nome;
    ModoJoin modo;
    const char *condizioneZona; // on the added table's column
    const char *join;           // expected in the statement
    QStringList attese;
};
void PrintTo(const CasoJoin &c, std::ostream *os) { *os << c.nome; }

class Join : public UnioneJoin, public ::testing::WithParamInterface<CasoJoin> {};
TEST_P(Join, composesAndRunsEachMode)
{
    m_tab.setRighe(righe({{"CODICE", 1}, {"ZONA", 0}}));
    TabellaDaAggiungere z;
    z.nome = QStringLiteral("ZONE");
    z.aggiungiCollegamento(QStringLiteral("ZONA"), QStringLiteral("CODICE"));
    z.colonne << QStringLiteral("DESCRIZIONE");
    z.modo = GetParam().modo;
    ASSERT_EQ(aggiungiTabella(m_tab, z), QString());
    if (*GetParam().condizioneZona)
        m_tab.setCondizione(m_tab.indexOfNome(QStringLiteral("A.DESCRIZIONE")),
                            QString::fromUtf8(GetParam().condizioneZona));
    EXPECT_EQ(esegui(), GetParam().attese);
    EXPECT_TRUE(m_risposta.testo().contains(QString::fromUtf8(GetParam().join), Qt::CaseInsensitive))
        << m_risposta.testo().toStdString();
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Join,
    ::testing::Values(
        CasoJoin{"left", ModoJoin::Left, "", "LEFT JOIN", {"1|NORD", "2|SUD", "3|NORD", "4|"}},
        CasoJoin{"right", ModoJoin::Right, "", "RIGHT JOIN", {"1|NORD", "2|SUD", "3|NORD"}},
        CasoJoin{"leftConCondizione", ModoJoin::Left, "(A.DESCRIZIONE = 'NORD')", "LEFT JOIN", {"1|NORD", "3|NORD"}},
        // The condition goes into the join: customers stay, with holes.
        CasoJoin{"condizioniPrima", ModoJoin::LeftCondizioniPrima, "(A.DESCRIZIONE = 'NORD')", "LEFT JOIN",
                 {"1|NORD", "2|", "3|NORD", "4|"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(UnioneJoin, unioneAggiuntaETolta)
{
    m_tab.setRighe(righe({{"CODICE", 1}, {"ZONA", 0, "(ZONA = 'N')"}}));
    ASSERT_EQ(cambiaBlocco(m_tab, m_sessione, StatoBlocco::Nessuno, StatoBlocco::Semplice, QString(), false),
              QString());
    EXPECT_EQ(esegui(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));

    ASSERT_TRUE(AggiungiUnioneQuery(m_tab, QStringLiteral("CLIENTI"), m_sessione));
    // The second block asks for zone S.
    ASSERT_EQ(m_tab.at(5).Nome, QStringLiteral("ZONA"));
    m_tab.setCondizione(5, QStringLiteral("(ZONA = 'S')"));
    EXPECT_EQ(esegui(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(m_risposta.SQL().count(kUnione), 1) << m_risposta.testo().toStdString();

    ASSERT_TRUE(AggiungiUnioneQuery(m_tab, QStringLiteral("CLIENTI"), m_sessione));
    m_tab.setCondizione(m_tab.size() - 2, QStringLiteral("(ZONA IS NULL)"));
    EXPECT_EQ(esegui(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                     QStringLiteral("4")}));
    EXPECT_EQ(m_risposta.SQL().count(kUnione), 2);

    EliminaUltimaQueryAffiancata(m_tab, m_sessione);
    EXPECT_EQ(esegui(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EliminaUltimaQueryAffiancata(m_tab, m_sessione);
    EXPECT_FALSE(m_sessione.unione());
    EXPECT_EQ(esegui(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_FALSE(m_risposta.testo().contains(kUnione));
}

} // namespace
