// Pagination checked on the page model: rows per page, the totals line at
// the end, running totals, texts cut or wrapped, the text objects; layouts
// read back from the files the writers produce.

#include "ReportProva.h"

#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <gtest/gtest.h>

using namespace vardof::output::report;

using vardof::test::MisuraFissa;
using vardof::test::testi;

namespace {

struct Record
{
    QString nome;
    double importo;
    QString note;
};

class SorgenteFinta : public SorgenteStampa
{
public:
    explicit SorgenteFinta(std::vector<Record> r, QStringList totali = {QStringLiteral("IMPORTO")})
        : m_righe(std::move(r)), m_totali(std::move(totali))
    {
    }
    bool apri(QString *) override
    {
        m_i = -1;
        return true;
    }
    bool prossimo() override { return ++m_i < int(m_righe.size()); }
    std::optional<ValoreReport> campo(const QString &nome) const override
    {
        const Record &r = m_righe.at(size_t(m_i));
        if (nome == QLatin1String("NOME"))
            return ValoreReport::diTesto(r.nome);
        if (nome == QLatin1String("IMPORTO"))
            return ValoreReport::diNumero(r.importo, QString::number(r.importo));
        if (nome == QLatin1String("NOTE"))
            return ValoreReport::diTesto(r.note);
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return m_totali; }

private:
    std::vector<Record> m_righe;
    QStringList m_totali;
    int m_i = -1;
};

std::vector<Record> records(int n, const QString &note = {})
{
    std::vector<Record> out;
    for (int i = 1; i <= n; ++i)
        out.push_back({QStringLiteral("Cliente %1").arg(i), double(i), note});
    return out;
}

// NOME (width 20), IMPORTO (width 10, totalled, two decimals), NOTE (memo, width 10).
OpzioniLayoutAvanzato opzioni(bool memoEstesi = false)
{
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = {CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0},
                                  CampoLayout{QStringLiteral("IMPORTO"), TipoCampo::Virgola, 0, 10, 11},
                                  CampoLayout{QStringLiteral("NOTE"), TipoCampo::Memo, 0, 10, 0}};
    o.memoEstesi = memoEstesi;
    return o;
}

ModelloReport modello(const QByteArray &file)
{
    QString errore;
    auto m = LeggiLayout(file, &errore);
    EXPECT_TRUE(m.has_value()) << errore.toStdString();
    return m.value_or(ModelloReport{});
}

std::vector<PaginaReport> stampa(const ModelloReport &m, std::vector<Record> righe, QString *errore = nullptr,
                                 QStringList totali = {QStringLiteral("IMPORTO")})
{
    std::vector<PaginaReport> pagine;
    SorgenteFinta s(std::move(righe), std::move(totali));
    MisuraFissa misura;
    QString e;
    const bool ok = StampaAvanzata(m, s, DatiStampa{QStringLiteral("Clienti"), QStringLiteral("Tutti"), true}, misura,
                                   [&](PaginaReport &&p) { pagine.push_back(std::move(p)); }, nullptr, &e);
    if (errore)
        *errore = ok ? QString() : e;
    else
        EXPECT_TRUE(ok) << e.toStdString();
    return pagine;
}

int conta(const PaginaReport &p, RigaStampata::Tipo tipo)
{
    return int(std::count_if(p.righe.begin(), p.righe.end(), [&](const RigaStampata &r) { return r.tipo == tipo; }));
}

} // namespace

// The list object is 242 mm high: a header line and 47 lines of 5 mm.
struct PagineCase
{
    const char *nome;
    int record;
    std::vector<int> dettagliPerPagina;
    int paginaTotali; // 1-based page of the totals line
};

class RighePerPagina : public ::testing::TestWithParam<PagineCase> {};

TEST_P(RighePerPagina, fillPagesThenPrintTheTotalsAtTheEnd)
{
    const PagineCase &c = GetParam();
    const auto pagine = stampa(modello(CreaFileLSTAvanzato(opzioni())), records(c.record));
    ASSERT_EQ(pagine.size(), std::max(c.dettagliPerPagina.size(), size_t(c.paginaTotali)));
    for (size_t i = 0; i < pagine.size(); ++i) {
        EXPECT_EQ(pagine[i].numero, int(i) + 1);
        EXPECT_EQ(conta(pagine[i], RigaStampata::Testata), 1) << "pagina " << i + 1;
        EXPECT_EQ(conta(pagine[i], RigaStampata::Dettaglio), i < c.dettagliPerPagina.size() ? c.dettagliPerPagina[i] : 0)
            << "pagina " << i + 1;
        EXPECT_EQ(conta(pagine[i], RigaStampata::Totali), int(i) + 1 == c.paginaTotali ? 1 : 0) << "pagina " << i + 1;
        EXPECT_TRUE(testi(pagine[i]).contains(QStringLiteral("Pagina n%1 %2").arg(QChar(0xB0)).arg(i + 1)));
        for (const RigaStampata &r : pagine[i].righe)
            EXPECT_LE(r.alto + r.altezza, 27400 + 242000);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RighePerPagina, ::testing::Values(
    PagineCase{"una_riga", 1, {1}, 1},
    PagineCase{"pagina_quasi_piena", 46, {46}, 1},
    // the totals line does not fit under 47 lines: it opens page 2
    PagineCase{"pagina_piena", 47, {47}, 2},
    PagineCase{"tre_pagine", 120, {47, 47, 26}, 3},
    PagineCase{"nessuna_riga", 0, {0}, 1}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Totali, sumEveryRecordAndFormatThemAsTheLayoutSays)
{
    const auto pagine = stampa(modello(CreaFileLSTAvanzato(opzioni())), records(120));
    const RigaStampata &t = pagine.back().righe.back();
    ASSERT_EQ(t.tipo, RigaStampata::Totali);
    EXPECT_EQ(t.celle[1], QStringList{QStringLiteral("7.260,00")}); // 1 + ... + 120
    EXPECT_EQ(t.celle[0], QStringList{QStringLiteral(" ")});
}

TEST(Totali, withoutTotalledFieldsNoTotalsLineIsPrinted)
{
    OpzioniLayoutAvanzato o = opzioni();
    o.campi[1].codice = o.colonneGriglia[1].codice = 1;
    const auto pagine = stampa(modello(CreaFileLSTAvanzato(o)), records(3), nullptr, {});
    ASSERT_EQ(pagine.size(), 1u);
    EXPECT_EQ(conta(pagine[0], RigaStampata::Totali), 0);
}

TEST(Totali, aDetailColumnOnTheTotalShowsTheRunningTotal)
{
    ModelloReport m = modello(CreaFileLSTAvanzato(opzioni()));
    m.dettaglio.colonne[2].espressione = QStringLiteral("Fstr$(Totale.IMPORTO,\"---,---,---,---\",1)");
    const auto pagine = stampa(m, records(4));
    QStringList progressivi;
    for (const RigaStampata &r : pagine[0].righe)
        if (r.tipo == RigaStampata::Dettaglio)
            progressivi << r.celle[2].join(QLatin1Char('/'));
    EXPECT_EQ(progressivi, (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("6"), QStringLiteral("10")}));
}

struct TestoLargoCase
{
    const char *nome;
    bool memoEstesi;
    const char *nota;
    QStringList attese; // the NOTE cell's lines (9 characters fit)
};

class TestiLarghi : public ::testing::TestWithParam<TestoLargoCase> {};

TEST_P(TestiLarghi, areCutOrWrappedAsTheLayoutSays)
{
    const auto pagine = stampa(modello(CreaFileLSTAvanzato(opzioni(GetParam().memoEstesi))),
                               records(1, QString::fromUtf8(GetParam().nota)));
    const RigaStampata &r = pagine[0].righe[1];
    ASSERT_EQ(r.tipo, RigaStampata::Dettaglio);
    EXPECT_EQ(r.celle[2], GetParam().attese);
    EXPECT_EQ(r.altezza, int(GetParam().attese.size()) * 4000 + 1000);
}

INSTANTIATE_TEST_SUITE_P(Cases, TestiLarghi, ::testing::Values(
    TestoLargoCase{"entra", false, "breve", {"breve"}},
    TestoLargoCase{"tagliato_con_segno", false, "uno due tre quattro", {QStringLiteral("uno due %1").arg(QChar(0x2026))}},
    TestoLargoCase{"a_capo_come_spazio", false, "uno\r\ndue", {"uno due"}},
    TestoLargoCase{"intero_a_parole", true, "uno due tre quattro cinque", {"uno due", "tre", "quattro", "cinque"}},
    TestoLargoCase{"intero_ritorni", true, "uno\r\n\r\ndue", {"uno", "", "due"}},
    TestoLargoCase{"parola_lunga_spezzata", true, "abcdefghijklmnopqrstu", {"abcdefghi", "jklmnopqr", "stu"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(TestiLarghi, aMemoTallerThanAPageGoesOnOverTheNextPages)
{
    QStringList parole;
    for (int i = 0; i < 200; ++i)
        parole << QStringLiteral("p%1").arg(i, 3, 10, QLatin1Char('0'));
    const auto pagine = stampa(modello(CreaFileLSTAvanzato(opzioni(true))), records(2, parole.join(QLatin1Char(' '))));
    // Two words a line: 100 lines a record, 59 on a page under the header.
    // The first record goes over pages 1 and 2; the second does not fit
    // what is left of page 2 and starts page 3.
    ASSERT_EQ(pagine.size(), 4u);
    EXPECT_EQ(pagine[0].righe[1].celle[2].size(), 59);
    EXPECT_EQ(pagine[1].righe[1].celle[2].size(), 41);
    EXPECT_EQ(pagine[1].righe.size(), 2u);
    EXPECT_EQ(pagine[2].righe[1].celle[0].value(0), QStringLiteral("Cliente 2"));
    // Every word printed once, in order, none lost at the page breaks.
    int prossima = 0;
    for (const auto &p : pagine)
        for (const RigaStampata &r : p.righe)
            for (const QString &t : r.tipo == RigaStampata::Dettaglio && r.celle.size() > 2 ? r.celle[2] : QStringList())
                if (t.startsWith(QLatin1Char('p'))) {
                    EXPECT_EQ(t, parole[prossima % 200] + QLatin1Char(' ') + parole[prossima % 200 + 1]);
                    prossima += 2;
                }
    EXPECT_EQ(prossima, 400);
}

struct ErroreCase
{
    const char *nome;
    const char *espressione;
    const char *errore;
};

class LayoutNonAdatto : public ::testing::TestWithParam<ErroreCase> {};

TEST_P(LayoutNonAdatto, stopsThePrintWithTheReason)
{
    ModelloReport m = modello(CreaFileLSTAvanzato(opzioni()));
    m.dettaglio.colonne[0].espressione = QLatin1String(GetParam().espressione);
    QString errore;
    const auto pagine = stampa(m, records(3), &errore);
    EXPECT_EQ(errore.toStdString(), GetParam().errore);
}

INSTANTIATE_TEST_SUITE_P(Cases, LayoutNonAdatto, ::testing::Values(
    ErroreCase{"campo_sconosciuto", "CITTA", "campo o variabile CITTA sconosciuto"},
    ErroreCase{"funzione_sconosciuta", "Upper$(NOME)", "funzione Upper$ non disponibile"},
    ErroreCase{"testo_aperto", "\"Nome", "testo senza virgolette di chiusura"},
    ErroreCase{"resto", "NOME NOME", "testo in più dopo l'espressione"}),
    [](const auto &info) { return std::string(info.param.nome); });

struct MascheraCase
{
    double valore;
    const char *maschera;
    const char *atteso;
};

class Maschere : public ::testing::TestWithParam<MascheraCase> {};

TEST_P(Maschere, formatWithItalianSeparators)
{
    EXPECT_EQ(formattaMaschera(GetParam().valore, QLatin1String(GetParam().maschera)).toStdString(), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(Cases, Maschere, ::testing::Values(
    MascheraCase{1234.5, "---,---,---,--&.##", "1.234,50"},
    MascheraCase{1234567.891, "---,---,---,---", "1.234.568"},
    MascheraCase{-1234.5, "---,---,---,--&.##", "-1.234,50"},
    MascheraCase{0.25, "---,---,---,--&.#", "0,3"},
    MascheraCase{-0.001, "---,---,---,--&.##", "0,00"},
    MascheraCase{0, "---,---,---,---", "0"},
    MascheraCase{3.1415926, "---,---,---,--&.######", "3,141593"},
    MascheraCase{999.9996, "---,---,---,--&.###", "1.000,000"}));

// ---- layouts read back --------------------------------------------------------

TEST(LetturaLayout, readsTheGridLayoutColumnsAndTexts)
{
    OpzioniLayoutGriglia o;
    o.intestazione1 = QStringLiteral("Riga uno");
    o.forzaUltimaColonna = true;
    o.dimensioneFont = 8;
    const ModelloReport m = modello(CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 76},
                                                       {QStringLiteral("DESCR"), QStringLiteral("Descrizione"), 900}},
                                                      o));
    EXPECT_EQ(m.formato, 6);
    EXPECT_EQ(m.elenco, QRect(7300, 21200, 195000, 257600));
    ASSERT_EQ(m.dettaglio.colonne.size(), 2u);
    EXPECT_EQ(m.dettaglio.colonne[1].larghezza, 175000);
    EXPECT_FALSE(m.dettaglio.colonne[1].adatta);
    EXPECT_TRUE(m.dettaglio.colonne[0].adatta);
    EXPECT_EQ(m.dettaglio.colonne[0].espressione, QStringLiteral("CODICE"));
    EXPECT_EQ(m.testata.colonne[1].espressione, QStringLiteral("\"Descrizione\""));
    EXPECT_EQ(m.dettaglio.colonne[0].font->punti, 8);
    ASSERT_EQ(m.testi.size(), 2u);
    EXPECT_EQ(m.testi[0].righe, (QStringList{QStringLiteral("\"Riga uno\""), QStringLiteral("\"\"")}));
    EXPECT_FALSE(m.testi[1].visibile); // page numbers off
}

TEST(LetturaLayout, gridPrintNumbersPagesOutOfTheTotal)
{
    OpzioniLayoutGriglia o;
    o.numeraPagine = true;
    const ModelloReport m = modello(CreaLayoutGriglia({{QStringLiteral("NOME"), QStringLiteral("Nome"), 200}}, o));
    ASSERT_TRUE(contaPagine(m));
    std::vector<PaginaReport> pagine;
    MisuraFissa misura;
    for (int giro = 0; giro < 2; ++giro) {
        pagine.clear();
        SorgenteFinta s(records(120), {});
        DatiStampa d;
        d.pagineTotali = giro == 0 ? 0 : 3;
        QString e;
        ASSERT_TRUE(StampaRighe(m, s, d, misura, [&](PaginaReport &&p) { pagine.push_back(std::move(p)); }, &e));
    }
    // 257.6 mm: header and 50 lines of 5 mm a page.
    ASSERT_EQ(pagine.size(), 3u);
    EXPECT_TRUE(testi(pagine[1]).contains(QStringLiteral("Pag. 2 di 3")));
}

struct LayoutRottoCase
{
    const char *nome;
    const char *testo;
    const char *errore;
};

class LayoutRotti : public ::testing::TestWithParam<LayoutRottoCase> {};

TEST_P(LayoutRotti, areRefusedWithTheReason)
{
    QString errore;
    EXPECT_FALSE(LeggiLayout(QByteArray(GetParam().testo), &errore).has_value());
    EXPECT_EQ(errore.toStdString(), GetParam().errore);
}

INSTANTIATE_TEST_SUITE_P(Cases, LayoutRotti, ::testing::Values(
    LayoutRottoCase{"vuoto", "", "manca l'elenco delle colonne"},
    LayoutRottoCase{"non_un_layout", "ciao\r\nmondo\r\n", "manca l'elenco delle colonne"},
    LayoutRottoCase{"pagina_illeggibile", "[Layout]\r\n xSize=abc\r\n ySize=1\r\n", "dimensioni della pagina non leggibili"},
    LayoutRottoCase{"rettangolo_rotto", "[Object]\r\n ObjectID=6\r\n Rect=(1,2,3)\r\n", "posizione dell'elenco non leggibile"},
    LayoutRottoCase{"senza_colonne", "[Object]\r\n ObjectID=6\r\n Rect=(1,2,300,400)\r\n", "l'elenco non ha colonne"},
    LayoutRottoCase{"larghezza_rotta", "[Object]\r\n ObjectID=6\r\n Rect=(1,2,300,400)\r\n [Columns]\r\n  {\r\n  ,Width=x1,Text=\xA8NOME\xA8\r\n  }\r\n",
                    "colonna dell'elenco non leggibile"},
    LayoutRottoCase{"tabella_senza_righe", "[Object]\r\n ObjectID=6\r\n Position/Left=1\r\n Position/Top=1\r\n Position/Width=1\r\n Position/Height=1\r\n",
                    "colonna della tabella non leggibile"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(StampaSemplice, startsAReportPageForEachTextPage)
{
    FontStampa f;
    f.nome = QStringLiteral("Courier New");
    const ModelloReport m = modello(CreaFileLSTStandard(f));
    std::vector<std::pair<int, QString>> righe;
    for (int p = 1; p <= 3; ++p)
        for (int r = 1; r <= 10; ++r)
            righe.push_back({p, QStringLiteral("|p%1 r%2|").arg(p).arg(r)});
    std::vector<PaginaReport> pagine;
    MisuraFissa misura;
    QString e;
    ASSERT_TRUE(StampaSemplice(m, righe, misura, [&](PaginaReport &&p) { pagine.push_back(std::move(p)); }, &e));
    ASSERT_EQ(pagine.size(), 3u);
    for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(conta(pagine[size_t(p)], RigaStampata::Dettaglio), 10);
        EXPECT_EQ(pagine[size_t(p)].righe.front().celle[0].value(0), QStringLiteral("|p%1 r1|").arg(p + 1));
    }
}
