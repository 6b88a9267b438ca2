// The search of the grid as text: conditions, orders, the search in all
// columns, the record filter, the table of the Query action and the reading
// of a date.

#include "grid/Ricerca.h"
#include "grid/RiscritturaSql.h"

#include "db/Column.h"

#include <gtest/gtest.h>

using namespace vardof::grid;

namespace {
ParametriRicerca parametri(const char *espressione, ClasseCampo classe, const QString &testo, bool upper, int tipo,
                           int ordine = OrdineCrescente)
{
    ParametriRicerca p;
    p.espressione = QString::fromLatin1(espressione);
    p.classe = classe;
    p.testo = testo;
    p.upper = upper;
    p.tipo = tipo;
    p.ordine = ordine;
    return p;
}
} // namespace

struct CondizioneCase
{
    const char *nome;
    ParametriRicerca p;
    QString corpo;
};

class Condizioni : public ::testing::TestWithParam<CondizioneCase> {};

TEST_P(Condizioni, composeTheSearchLine)
{
    EXPECT_EQ(corpoCondizione(GetParam().p), GetParam().corpo);
}

ParametriRicerca data(const char *d1, const char *d2, ClasseCampo classe = ClasseCampo::Data)
{
    ParametriRicerca p;
    p.espressione = QStringLiteral("T.DATA");
    p.classe = classe;
    p.modoData = true;
    p.data1 = QString::fromLatin1(d1);
    p.data2 = QString::fromLatin1(d2);
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Condizioni,
    ::testing::Values(
        CondizioneCase{"contieneMaiuscolo", parametri("STOQUER.TITOLO", ClasseCampo::Stringa, "abc", true, Contiene),
                       "(UPPER(STOQUER.TITOLO) LIKE '%ABC%')"},
        CondizioneCase{"maggioreUguale", parametri("T.NOME", ClasseCampo::Stringa, "Ro", true, MaggioreUguale),
                       "(UPPER(T.NOME) >= 'RO')"},
        CondizioneCase{"iniziaCon", parametri("T.NOME", ClasseCampo::Stringa, "Ro", true, IniziaCon),
                       "(UPPER(T.NOME) LIKE 'RO%')"},
        CondizioneCase{"senzaUpper", parametri("T.NOME", ClasseCampo::Stringa, "Ro", false, Contiene),
                       "(T.NOME LIKE '%Ro%')"},
        CondizioneCase{"numeroIgnoraUpper", parametri("T.NUM", ClasseCampo::Numerico, "12", true, MaggioreUguale),
                       "(T.NUM >= '12')"},
        CondizioneCase{"numeroContiene", parametri("T.NUM", ClasseCampo::Numerico, "12", true, Contiene),
                       "(T.NUM LIKE '%12%')"},
        CondizioneCase{"accentoAcuto", parametri("T.NOME", ClasseCampo::Stringa, QString::fromUtf8("O´Neil"), true,
                                                 Contiene),
                       QString::fromUtf8("(UPPER(T.NOME) LIKE '%O´NEIL%')")},
        // A quote that reached the box anyway (pasted) cannot end the literal.
        CondizioneCase{"apiceIncollato", parametri("T.NOME", ClasseCampo::Stringa, "O'Neil", true, Contiene),
                       "(UPPER(T.NOME) LIKE '%O''NEIL%')"},
        CondizioneCase{"testoVuoto", parametri("T.NOME", ClasseCampo::Stringa, "", true, Contiene), ""},
        CondizioneCase{"dataSola", data("01/02/2023", ""), "(T.DATA >= '02/01/2023')"},
        CondizioneCase{"dataIntervallo", data("01/02/2023", "28/02/2023"),
                       "(T.DATA >= '02/01/2023')AND(T.DATA <= '02/28/2023')"},
        CondizioneCase{"dataVuota", data("", "28/02/2023"), ""},
        CondizioneCase{"timestamp", data("7/3/1999", "", ClasseCampo::Timestamp), "(T.DATA >= '03/07/1999')"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Condizioni, followTheStatementsOwnWhere)
{
    const QString corpo = corpoCondizione(parametri("STOQUER.TITOLO", ClasseCampo::Stringa, "abc", true, Contiene));
    EXPECT_EQ(conCondizione("SELECT * FROM STOQUER", {corpo}),
              "SELECT * FROM STOQUER\nWHERE(UPPER(STOQUER.TITOLO) LIKE '%ABC%')");
    EXPECT_EQ(conCondizione("SELECT * FROM STOQUER\nWHERE CODICE1=0", {corpo}),
              "SELECT * FROM STOQUER\nWHERE CODICE1=0\nAND(UPPER(STOQUER.TITOLO) LIKE '%ABC%')");
}

struct OrdineCase
{
    const char *nome;
    ParametriRicerca p;
    QStringList righe;
};

class OrdiniRicerca : public ::testing::TestWithParam<OrdineCase> {};

TEST_P(OrdiniRicerca, followTheSortChoice)
{
    EXPECT_EQ(ordineRicerca(GetParam().p), GetParam().righe);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrdiniRicerca,
    ::testing::Values(
        OrdineCase{"nessuno", parametri("T.A", ClasseCampo::Stringa, "x", true, 0, NessunOrdine), {}},
        OrdineCase{"crescenteMaiuscolo", parametri("T.A", ClasseCampo::Stringa, "x", true, 0, OrdineCrescente),
                   {"ORDER BY UPPER(T.A)"}},
        OrdineCase{"decrescenteMaiuscolo", parametri("T.A", ClasseCampo::Stringa, "x", true, 0, OrdineDecrescente),
                   {"ORDER BY UPPER(T.A) DESC"}},
        OrdineCase{"crescenteSenzaUpper", parametri("T.A", ClasseCampo::Stringa, "x", false, 0, OrdineCrescente),
                   {"ORDER BY T.A"}},
        OrdineCase{"numero", parametri("T.N", ClasseCampo::Numerico, "1", true, 0, OrdineDecrescente),
                   {"ORDER BY T.N DESC"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Generica, oneLinePerColumnWithAnOrigin)
{
    EXPECT_EQ(corpoGenerica({"T.A", "", "T.B"}, "x"),
              (QStringList{"(", "(T.A CONTAINING 'X')", "OR(T.B CONTAINING 'X')", ")"}));
    EXPECT_EQ(corpoGenerica({"", ""}, "x"), QStringList());
    EXPECT_EQ(corpoGenerica({"T.A"}, "l'x"), (QStringList{"(", "(T.A CONTAINING 'L''X')", ")"}));
    EXPECT_EQ(conCondizione("SELECT * FROM T WHERE K=1", corpoGenerica({"T.A", "T.B"}, "x")),
              "SELECT * FROM T WHERE K=1\nAND(\n(T.A CONTAINING 'X')\nOR(T.B CONTAINING 'X')\n)");
}

struct FiltroCase
{
    const char *v;
    const char *t;
    bool upper;
    int tipo;
    bool accettato;
};

class Filtro : public ::testing::TestWithParam<FiltroCase> {};

TEST_P(Filtro, acceptsAsTheSearchTypeSays)
{
    const FiltroCase &c = GetParam();
    EXPECT_EQ(accettaValore(c.v, c.t, c.upper, c.tipo), c.accettato) << c.v << " / " << c.t;
}

INSTANTIATE_TEST_SUITE_P(Cases, Filtro,
                         ::testing::Values(FiltroCase{"Rossi", "ro", true, MaggioreUguale, true},
                                           FiltroCase{"Bianchi", "ro", true, MaggioreUguale, false},
                                           FiltroCase{"Rossi", "ro", false, MaggioreUguale, false},
                                           FiltroCase{"Rossi", "OS", true, Contiene, true},
                                           FiltroCase{"Rossi", "OS", false, Contiene, false},
                                           FiltroCase{"Rossi", "", true, Contiene, false},
                                           FiltroCase{"Rossi", "ros", true, IniziaCon, true},
                                           FiltroCase{"Rossi", "oss", true, IniziaCon, false},
                                           FiltroCase{"", "", true, IniziaCon, true}));

TEST(NomeTabella, betweenTheFirstTwoQuotesAfterFrom)
{
    EXPECT_EQ(nomeTabellaDaSql({"SELECT *", "FROM \"STOQUER\"", "WHERE 1=1"}), "STOQUER");
    EXPECT_EQ(nomeTabellaDaSql({"SELECT * FROM STOQUER"}), "");
    EXPECT_EQ(nomeTabellaDaSql({"select * from \"STOQUER\""}), "");
    EXPECT_EQ(nomeTabellaDaSql({"SELECT * FROM \"STOQUER"}), "");
    EXPECT_EQ(nomeTabellaDaSql({}), "");
}

struct LetturaDataCase
{
    const char *testo;
    QDate data;
};

class LetturaData : public ::testing::TestWithParam<LetturaDataCase> {};

TEST_P(LetturaData, dayFirst)
{
    const std::optional<QDate> d = leggiData(GetParam().testo);
    EXPECT_EQ(d.value_or(QDate()), GetParam().data) << GetParam().testo;
}

INSTANTIATE_TEST_SUITE_P(Cases, LetturaData,
                         ::testing::Values(LetturaDataCase{"01/02/2023", QDate(2023, 2, 1)},
                                           LetturaDataCase{"1/2/2023", QDate(2023, 2, 1)},
                                           LetturaDataCase{"01/02/23", QDate(2023, 2, 1)},
                                           LetturaDataCase{"31/02/2023", QDate()},
                                           LetturaDataCase{"01/02/202", QDate()},
                                           LetturaDataCase{"01/02", QDate()},
                                           LetturaDataCase{"aa/bb/cccc", QDate()},
                                           LetturaDataCase{"", QDate()}));

TEST(ClasseCampo, byColumnType)
{
    vardof::db::Column c;
    c.typeCode = vardof::db::TypeVarchar;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Stringa);
    c.typeCode = vardof::db::TypeInteger;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Numerico);
    c.typeCode = vardof::db::TypeDouble;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Numerico);
    c.typeCode = vardof::db::TypeDate;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Data);
    c.typeCode = vardof::db::TypeTimestamp;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Timestamp);
    c.typeCode = vardof::db::TypeTime;
    EXPECT_EQ(classeCampo(c), ClasseCampo::Stringa);
    c.typeCode = vardof::db::TypeBlob;
    c.subType = 1;
    EXPECT_EQ(classeCampo(c), ClasseCampo::BlobTesto);
}
