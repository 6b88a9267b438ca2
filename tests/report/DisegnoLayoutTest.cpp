// Layouts edited as our designer edits them, saved, read back and printed:
// what comes out on the pages is the edit (columns moved, retitled,
// narrowed, aligned, hidden, totalled; texts changed or hidden; fonts;
// orientation), and the saved file reads back to the same model.

#include "ReportProva.h"

#include "output/report/DisegnoLayout.h"
#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vardof::output::report;

using vardof::test::MisuraFissa;
using vardof::test::testi;

namespace {

// Three customers: NOME, IMPORTO (1, 2, 3), NOTE.
class Clienti : public SorgenteStampa
{
public:
    explicit Clienti(QStringList totali) : m_totali(std::move(totali)) {}
    bool apri(QString *) override
    {
        m_i = 0;
        return true;
    }
    bool prossimo() override { return ++m_i <= 3; }
    std::optional<ValoreReport> campo(const QString &nome) const override
    {
        if (nome == QLatin1String("NOME"))
            return ValoreReport::diTesto(QStringLiteral("Cliente %1").arg(m_i));
        if (nome == QLatin1String("IMPORTO"))
            return ValoreReport::diNumero(m_i, QString::number(m_i));
        if (nome == QLatin1String("NOTE"))
            return ValoreReport::diTesto(QStringLiteral("n%1").arg(m_i));
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return m_totali; }

private:
    QStringList m_totali;
    int m_i = 0;
};

// NOME 40 mm, IMPORTO 20 mm (totalled by the answer, two decimals), NOTE 20 mm.
ModelloReport avanzato()
{
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = {CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 20, 0},
                                  CampoLayout{QStringLiteral("IMPORTO"), TipoCampo::Virgola, 0, 10, 11},
                                  CampoLayout{QStringLiteral("NOTE"), TipoCampo::Memo, 0, 10, 0}};
    auto m = LeggiLayout(CreaFileLSTAvanzato(o));
    EXPECT_TRUE(m);
    return m.value_or(ModelloReport{});
}

std::vector<PaginaReport> stampa(const ModelloReport &m, const QStringList &totali)
{
    std::vector<PaginaReport> pagine;
    Clienti s(totali);
    MisuraFissa misura;
    QString e;
    EXPECT_TRUE(StampaAvanzata(m, s, DatiStampa{QStringLiteral("Clienti"), QStringLiteral("Tutti"), true}, misura,
                               [&](PaginaReport &&p) { pagine.push_back(std::move(p)); }, nullptr, &e))
        << e.toStdString();
    return pagine;
}

// The first line of each cell of the first printed line of `tipo`.
QStringList riga(const std::vector<PaginaReport> &pagine, RigaStampata::Tipo tipo)
{
    for (const PaginaReport &p : pagine)
        for (const RigaStampata &r : p.righe)
            if (r.tipo == tipo) {
                QStringList out;
                for (const QStringList &c : r.celle)
                    out << c.value(0);
                return out;
            }
    return {};
}

const ElementoPagina *elemento(const PaginaReport &p, const QString &testo)
{
    for (const ElementoPagina &e : p.elementi)
        if (e.tipo == ElementoPagina::Testo && e.testo == testo)
            return &e;
    return nullptr;
}

int indiceTesto(const ModelloReport &m, const QString &espressione)
{
    for (size_t i = 0; i < m.testi.size(); ++i)
        if (m.testi[i].righe.contains(espressione))
            return int(i);
    return -1;
}

struct ModificaCase
{
    const char *nome;
    std::function<void(DisegnoLayout &)> modifica;
    QStringList totaliRisposta; // the fields the answer totals
    QStringList testata, dettaglio, totali;
    std::function<void(const ModelloReport &, const std::vector<PaginaReport> &)> verifica;
};

const QStringList kTotaleImporto{QStringLiteral("IMPORTO")};

class ModificheDisegno : public ::testing::TestWithParam<ModificaCase> {};

TEST_P(ModificheDisegno, printAsEditedOnceSavedAndReadBack)
{
    const ModificaCase &c = GetParam();
    DisegnoLayout d(avanzato());
    c.modifica(d);
    QString errore;
    const QByteArray file = ScriviLayoutModello(d.modello(), &errore);
    ASSERT_FALSE(file.isEmpty()) << errore.toStdString();
    const auto letto = LeggiLayout(file, &errore);
    ASSERT_TRUE(letto) << errore.toStdString();
    // Saved again, the file is the same: nothing drifts between saves.
    EXPECT_EQ(ScriviLayoutModello(*letto), file);

    const auto pagine = stampa(*letto, c.totaliRisposta);
    ASSERT_FALSE(pagine.empty());
    EXPECT_EQ(riga(pagine, RigaStampata::Testata), c.testata);
    EXPECT_EQ(riga(pagine, RigaStampata::Dettaglio), c.dettaglio);
    EXPECT_EQ(riga(pagine, RigaStampata::Totali), c.totali);
    if (c.verifica)
        c.verifica(*letto, pagine);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModificheDisegno, ::testing::Values(
    ModificaCase{"invariato", [](DisegnoLayout &) {}, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "}, {}},
    ModificaCase{"spostata_in_testa", [](DisegnoLayout &d) { d.sposta(2, 0); }, kTotaleImporto,
                 {"NOTE", "NOME", "IMPORTO"}, {"n1", "Cliente 1", "1,00"}, {" ", " ", "6,00"}, {}},
    ModificaCase{"spostata_in_fondo", [](DisegnoLayout &d) { d.sposta(0, 2); }, kTotaleImporto,
                 {"IMPORTO", "NOTE", "NOME"}, {"1,00", "n1", "Cliente 1"}, {"6,00", " ", " "}, {}},
    ModificaCase{"titolo", [](DisegnoLayout &d) { d.setTitolo(0, QStringLiteral("Ragione sociale")); }, kTotaleImporto,
                 {"Ragione sociale", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "}, {}},
    ModificaCase{"titolo_con_virgolette", [](DisegnoLayout &d) { d.setTitolo(2, QStringLiteral("Nota \"A\"")); },
                 kTotaleImporto, {"NOME", "IMPORTO", "Nota \"A\""}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "}, {}},
    ModificaCase{"campo", [](DisegnoLayout &d) { d.setCampo(2, QStringLiteral("NOME")); }, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "Cliente 1"}, {" ", "6,00", " "}, {}},
    // 10 mm less 1 mm each side: three characters and the mark.
    ModificaCase{"stretta", [](DisegnoLayout &d) { d.setLarghezza(0, 10000); }, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cli…", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &m, const std::vector<PaginaReport> &) {
                     EXPECT_EQ(m.testata.colonne[0].larghezza, 10000);
                     EXPECT_EQ(m.totali.colonne[0].larghezza, 10000);
                 }},
    ModificaCase{"allineata", [](DisegnoLayout &d) { d.setAllinea(0, 2); }, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &, const std::vector<PaginaReport> &p) {
                     const ElementoPagina *e = elemento(p[0], QStringLiteral("Cliente 2"));
                     ASSERT_TRUE(e);
                     EXPECT_EQ(e->allinea, 2);
                 }},
    ModificaCase{"nascosta", [](DisegnoLayout &d) { d.setVisibile(1, false); }, kTotaleImporto,
                 {"NOME", "NOTE"}, {"Cliente 1", "n1"}, {" ", " "},
                 [](const ModelloReport &m, const std::vector<PaginaReport> &) {
                     // Kept in the file, to be shown again.
                     ASSERT_EQ(m.dettaglio.colonne.size(), 3u);
                     EXPECT_FALSE(m.dettaglio.colonne[1].visibile);
                     EXPECT_TRUE(m.dettaglio.colonne[2].visibile);
                 }},
    ModificaCase{"totale_tolto", [](DisegnoLayout &d) { d.setTotale(1, false); }, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", " ", " "}, {}},
    // The answer totals nothing: the total asked for in the designer is kept anyway.
    ModificaCase{"totale_aggiunto", [](DisegnoLayout &d) { d.setTotale(1, false); d.setTotale(1, true); }, {},
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &m, const std::vector<PaginaReport> &) {
                     ASSERT_TRUE(m.totali.colonne[1].font);
                     EXPECT_TRUE(m.totali.colonne[1].font->grassetto);
                 }},
    ModificaCase{"totale_segue_il_campo",
                 [](DisegnoLayout &d) { d.setCampo(1, QStringLiteral("Fstr$(IMPORTO,\"---,---,---,---\",1)")); },
                 kTotaleImporto, {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1", "n1"}, {" ", "6", " "}, {}},
    ModificaCase{"orizzontale", [](DisegnoLayout &d) { d.setOrizzontale(true); }, kTotaleImporto,
                 {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &m, const std::vector<PaginaReport> &p) {
                     EXPECT_TRUE(m.orizzontale);
                     EXPECT_GT(m.larghezzaPagina, m.altezzaPagina);
                     const QRect pagina(0, 0, m.larghezzaPagina, m.altezzaPagina);
                     EXPECT_TRUE(pagina.contains(m.elenco)) << m.elenco.right() << "," << m.elenco.bottom();
                     for (const ElementoPagina &e : p[0].elementi)
                         EXPECT_TRUE(pagina.contains(e.rect)) << e.testo.toStdString();
                     EXPECT_TRUE(testi(p[0]).contains(QStringLiteral("Clienti")));
                 }},
    ModificaCase{"font_elenco",
                 [](DisegnoLayout &d) {
                     FontModello f;
                     f.nome = QStringLiteral("Courier New");
                     f.punti = 10;
                     f.corsivo = true;
                     d.setFont(f);
                 },
                 kTotaleImporto, {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &m, const std::vector<PaginaReport> &p) {
                     EXPECT_EQ(m.font.nome, QStringLiteral("Courier New"));
                     const ElementoPagina *e = elemento(p[0], QStringLiteral("Cliente 1"));
                     ASSERT_TRUE(e);
                     EXPECT_EQ(e->font.nome, QStringLiteral("Courier New"));
                     EXPECT_EQ(e->font.punti, 10);
                     EXPECT_TRUE(e->font.corsivo);
                     // The totals keep their weight.
                     const ElementoPagina *t = elemento(p.back(), QStringLiteral("6,00"));
                     ASSERT_TRUE(t);
                     EXPECT_EQ(t->font.nome, QStringLiteral("Courier New"));
                     EXPECT_TRUE(t->font.grassetto);
                 }},
    ModificaCase{"titolo_della_pagina",
                 [](DisegnoLayout &d) {
                     TestoModello &t = d.testi()[size_t(indiceTesto(d.modello(), QStringLiteral("Titolo")))];
                     t.righe = QStringList{QStringLiteral("\"Elenco \" + Titolo")};
                     t.allinea = 1;
                     t.font.grassetto = true;
                 },
                 kTotaleImporto, {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &, const std::vector<PaginaReport> &p) {
                     const ElementoPagina *e = elemento(p[0], QStringLiteral("Elenco Clienti"));
                     ASSERT_TRUE(e);
                     EXPECT_EQ(e->allinea, 1);
                     EXPECT_TRUE(e->font.grassetto);
                 }},
    ModificaCase{"note_nascoste",
                 [](DisegnoLayout &d) { d.testi()[size_t(indiceTesto(d.modello(), QStringLiteral("Note")))].visibile = false; },
                 kTotaleImporto, {"NOME", "IMPORTO", "NOTE"}, {"Cliente 1", "1,00", "n1"}, {" ", "6,00", " "},
                 [](const ModelloReport &, const std::vector<PaginaReport> &p) {
                     EXPECT_FALSE(testi(p[0]).contains(QStringLiteral("Tutti")));
                     EXPECT_TRUE(testi(p[0]).contains(QStringLiteral("Clienti")));
                 }}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(DisegnoLayout, totalsAreOfferedForNumbersOnly)
{
    DisegnoLayout d(avanzato());
    EXPECT_FALSE(d.puoTotale(0)); // NOME, a text
    EXPECT_TRUE(d.puoTotale(1));  // IMPORTO, formatted
    EXPECT_FALSE(d.puoTotale(2)); // NOTE, a memo
    d.setAllinea(2, 2);
    EXPECT_TRUE(d.puoTotale(2)); // right-aligned as the layouts write numbers
    d.setCampo(1, QStringLiteral("\"Totale\""));
    EXPECT_FALSE(d.puoTotale(1));
    EXPECT_FALSE(d.totale(1)); // the total went with its field
}

TEST(DisegnoLayout, aSimpleLayoutGetsAHeaderLineAtItsFirstTitle)
{
    auto m = LeggiLayout(CreaFileLSTStandard(FontStampa{}));
    ASSERT_TRUE(m);
    DisegnoLayout d(*m);
    ASSERT_EQ(d.colonne(), 1);
    EXPECT_FALSE(d.puoTotale(0)); // no totals line in this layout
    d.setTitolo(0, QStringLiteral("Righe"));
    const auto letto = LeggiLayout(ScriviLayoutModello(d.modello()));
    ASSERT_TRUE(letto);
    ASSERT_EQ(letto->testata.colonne.size(), 1u);
    EXPECT_EQ(letto->testata.colonne[0].espressione, QStringLiteral("\"Righe\""));
    EXPECT_EQ(letto->testata.colonne[0].larghezza, letto->dettaglio.colonne[0].larghezza);
}

TEST(DisegnoLayout, aGridLayoutIsEditedAndReadBackWithItsHeaderLines)
{
    OpzioniLayoutGriglia o;
    o.intestazione1 = QStringLiteral("Prima");
    o.intestazione2 = QStringLiteral("Seconda");
    o.allineamentoIntestazione = 1;
    o.numeraPagine = true;
    auto m = LeggiLayout(CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 100},
                                            {QStringLiteral("NOME"), QStringLiteral("Nome"), 200}},
                                           o));
    ASSERT_TRUE(m);
    DisegnoLayout d(*m);
    d.sposta(1, 0);
    d.setTitolo(0, QStringLiteral("Ragione sociale"));
    const auto letto = LeggiLayout(ScriviLayoutModello(d.modello()));
    ASSERT_TRUE(letto);
    ASSERT_EQ(letto->dettaglio.colonne.size(), 2u);
    EXPECT_EQ(letto->dettaglio.colonne[0].espressione, QStringLiteral("NOME"));
    EXPECT_EQ(letto->dettaglio.colonne[0].larghezza, m->dettaglio.colonne[1].larghezza);
    EXPECT_EQ(letto->testata.colonne[0].espressione, QStringLiteral("\"Ragione sociale\""));
    EXPECT_EQ(letto->testata.colonne[1].espressione, QStringLiteral("\"Codice\""));
    ASSERT_EQ(letto->testi.size(), m->testi.size());
    for (size_t i = 0; i < m->testi.size(); ++i) {
        EXPECT_EQ(letto->testi[i].righe, m->testi[i].righe);
        EXPECT_EQ(letto->testi[i].allinea, m->testi[i].allinea);
        EXPECT_EQ(letto->testi[i].visibile, m->testi[i].visibile);
        EXPECT_EQ(letto->testi[i].rect, m->testi[i].rect);
        EXPECT_EQ(letto->testi[i].font.punti, m->testi[i].font.punti);
    }
    EXPECT_EQ(letto->elenco, m->elenco);
}

struct RifiutoCase
{
    const char *nome;
    const char *espressione; // UTF-8
    const char *motivo;
};

class TestiRifiutati : public ::testing::TestWithParam<RifiutoCase> {};

// Nothing is written rather than a file whose texts differ from those shown.
TEST_P(TestiRifiutati, writeNothingAndSayWhy)
{
    DisegnoLayout d(avanzato());
    d.setCampo(0, QString::fromUtf8(GetParam().espressione));
    QString errore;
    EXPECT_TRUE(ScriviLayoutModello(d.modello(), &errore).isEmpty());
    EXPECT_TRUE(errore.contains(QString::fromUtf8(GetParam().motivo))) << errore.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, TestiRifiutati, ::testing::Values(
    RifiutoCase{"fuori_codifica", "\"Σ\" + NOME", "codifica"},
    RifiutoCase{"a_capo", "NOME\r\n+ NOTE", "una sola riga"}),
    [](const auto &info) { return std::string(info.param.nome); });

struct CampoCase
{
    const char *espressione;
    const char *campo;
};

class CampiDelleEspressioni : public ::testing::TestWithParam<CampoCase> {};

TEST_P(CampiDelleEspressioni, nameTheFieldATotalFollows)
{
    EXPECT_EQ(campoDellEspressione(QLatin1String(GetParam().espressione)), QLatin1String(GetParam().campo));
}

INSTANTIATE_TEST_SUITE_P(Cases, CampiDelleEspressioni, ::testing::Values(
    CampoCase{"IMPORTO", "IMPORTO"},
    CampoCase{" NOME ", "NOME"},
    CampoCase{"Fstr$(IMPORTO,\"---,---,---,--&.##\",1)", "IMPORTO"},
    CampoCase{"Totale.IMPORTO", ""},
    CampoCase{"Fstr$(Totale.IMPORTO,\"---\",1)", ""},
    CampoCase{"\"Riga di prova\"", ""},
    CampoCase{"NOME + NOTE", ""}));

struct TestoCase
{
    const char *testo;
};

class TestiComeEspressioni : public ::testing::TestWithParam<TestoCase> {};

TEST_P(TestiComeEspressioni, readBackAsTheSameText)
{
    const QString t = QString::fromUtf8(GetParam().testo);
    AmbienteEspressioni a;
    a.nome = [](const QString &) { return std::nullopt; };
    EXPECT_EQ(valuta(testoComeEspressione(t), a).value_or(QStringLiteral("<errore>")), t);
}

// The designer shows a title as the text it was typed as.
TEST_P(TestiComeEspressioni, comeBackAsTheSameTitle)
{
    const QString t = QString::fromUtf8(GetParam().testo);
    DisegnoLayout d(avanzato());
    d.setTitolo(0, t);
    EXPECT_EQ(d.titolo(0), t);
}

INSTANTIATE_TEST_SUITE_P(Cases, TestiComeEspressioni, ::testing::Values(
    TestoCase{""}, TestoCase{"Ragione sociale"}, TestoCase{"Nota \"A\""}, TestoCase{"L'importo"}, TestoCase{"Città €"},
    TestoCase{"Rag. \"sociale\" d'uso"}, TestoCase{"'\"'"}, TestoCase{"\"Il 'tot'\""}));

} // namespace
