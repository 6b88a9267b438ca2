// Layout files written by the system: whole files against expected files
// for typical answers, and the rules that decide single lines as tables of
// cases.

#include "output/report/LayoutLst.h"

#include "core/Cp1252.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>

#include <gtest/gtest.h>

using namespace vardof::output::report;

namespace {

QStringList righe(const QByteArray &file)
{
    EXPECT_TRUE(file.endsWith("\r\n"));
    QStringList out = vardof::core::fromCp1252(file).split(QStringLiteral("\r\n"));
    out.removeLast();
    for (const QString &r : out)
        EXPECT_FALSE(r.contains(QLatin1Char('\n')) || r.contains(QLatin1Char('\r'))) << r.toStdString();
    return out;
}

// The lines of the block that follows " [nome]" (between "  {" and "  }").
QStringList blocco(const QStringList &file, const QString &nome)
{
    const int i = file.indexOf(QStringLiteral(" [") + nome + QLatin1Char(']'));
    if (i < 0 || file.value(i + 1) != QLatin1String("  {"))
        return {};
    QStringList out;
    for (int k = i + 2; k < file.size() && file[k] != QLatin1String("  }"); ++k)
        out << file[k].mid(2);
    return out;
}

QStringList colonne(const QStringList &bloccoRighe)
{
    QStringList out;
    for (const QString &r : bloccoRighe)
        if (r.startsWith(QLatin1Char(',')))
            out << r;
    return out;
}

QByteArray atteso(const char *nome)
{
    QFile f(QStringLiteral(VARDOF_REPORT_ATTESI "/") + QLatin1String(nome));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nome;
    return f.readAll();
}

CampoLayout campo(const char *nome, TipoCampo tipo, int larghezza, int codice = 0, int scala = 0)
{
    return CampoLayout{QLatin1String(nome), tipo, scala, larghezza, codice};
}

const QString Q(QChar(0xA8));

// A customer list: code, name, a date, a memo, an amount totalled with two
// decimals and a quantity totalled with grouping 2.
std::vector<CampoLayout> clienti()
{
    return {campo("CODICE", TipoCampo::Intero, 6), campo("RAGIONE_SOCIALE", TipoCampo::Testo, 30),
            campo("DATA_INIZIO", TipoCampo::Data, 10), campo("NOTE", TipoCampo::Memo, 10),
            campo("FATTURATO", TipoCampo::Decimale, 12, 11, 2), campo("PEZZI", TipoCampo::Intero, 8, 12)};
}

} // namespace

// ---- whole files ----------------------------------------------------------

struct FileCase
{
    const char *nome;
    QByteArray (*scrivi)();
};

class LayoutInteri : public ::testing::TestWithParam<FileCase> {};

TEST_P(LayoutInteri, writesTheExpectedFileByteForByte)
{
    const QByteArray scritto = GetParam().scrivi();
    const QByteArray previsto = atteso(GetParam().nome);
    if (scritto != previsto) { // kept for a look with a diff tool
        QFile f(QStringLiteral("%1.scritto").arg(QLatin1String(GetParam().nome)));
        if (f.open(QIODevice::WriteOnly))
            f.write(scritto);
    }
    ASSERT_FALSE(previsto.isEmpty());
    // Line by line first so a difference is readable, then the bytes.
    const QStringList a = righe(scritto), b = righe(previsto);
    for (int i = 0; i < std::min(a.size(), b.size()); ++i)
        ASSERT_EQ(a[i].toStdString(), b[i].toStdString()) << "riga " << i + 1;
    EXPECT_EQ(a.size(), b.size());
    EXPECT_EQ(scritto, previsto);
}

INSTANTIATE_TEST_SUITE_P(Cases, LayoutInteri, ::testing::Values(
    FileCase{"avanzato_verticale.lst", [] {
        OpzioniLayoutAvanzato o;
        o.campi = o.colonneGriglia = clienti();
        return CreaFileLSTAvanzato(o);
    }},
    FileCase{"avanzato_orizzontale_senza_numeri.lst", [] {
        OpzioniLayoutAvanzato o;
        o.campi = o.colonneGriglia = clienti();
        o.orizzontale = true;
        o.numeraPagine = false;
        o.memoEstesi = true;
        o.font = FontStampa{QStringLiteral("Times New Roman"), 10, 128, 0, 0, true, true, false, false};
        return CreaFileLSTAvanzato(o);
    }},
    FileCase{"semplice.lst", [] {
        FontStampa f;
        f.nome = QStringLiteral("Courier New");
        f.punti = 8;
        return CreaFileLSTStandard(f, QStringLiteral("VARDOF.DLL"), QStringLiteral("PC01"));
    }},
    FileCase{"griglia_verticale.lst", [] {
        OpzioniLayoutGriglia o;
        o.intestazione1 = QStringLiteral("Clienti attivi");
        o.intestazione2 = QStringLiteral("Zona nord");
        o.forzaUltimaColonna = true;
        o.numeraPagine = true;
        return CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 76},
                                  {QStringLiteral("RAGSOC"), QStringLiteral("Ragione sociale"), 378}},
                                 o);
    }}),
    [](const auto &info) {
        std::string s = info.param.nome;
        for (char &c : s)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    });

// ---- field expressions ----------------------------------------------------

struct EspressioneCase
{
    TipoCampo tipo;
    int scala;
    int codice;
    const char *tipoRiga;
    const char *attesa;
};

class Espressioni : public ::testing::TestWithParam<EspressioneCase> {};

TEST_P(Espressioni, followTheGroupingCodeAndTheFieldKind)
{
    const EspressioneCase &c = GetParam();
    EXPECT_EQ(FormattazioneCampoReportLSTAvanzato(campo("NAME", c.tipo, 10, c.codice, c.scala),
                                                  QLatin1String(c.tipoRiga))
                  .toStdString(),
              c.attesa);
}

INSTANTIATE_TEST_SUITE_P(Cases, Espressioni, ::testing::Values(
    EspressioneCase{TipoCampo::Virgola, 0, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.######\",1)"},
    EspressioneCase{TipoCampo::Virgola, 0, 2, "DETTAGLI", "Fstr$(NAME,\"---,---,---,---\",1)"},
    EspressioneCase{TipoCampo::Virgola, 0, 1, "TOTALI", "Fstr$(Totale.NAME,\"---,---,---,--&.##\",1)"},
    // the grouping code is the last digit of the whole code
    EspressioneCase{TipoCampo::Intero, 0, 10212, "DETTAGLI", "Fstr$(NAME,\"---,---,---,---\",1)"},
    EspressioneCase{TipoCampo::Intero, 0, 10, "TOTALI", "Totale.NAME"},
    EspressioneCase{TipoCampo::InteroPiccolo, 0, 0, "DETTAGLI", "NAME"},
    EspressioneCase{TipoCampo::Valuta, 0, 0, "DETTAGLI", "NAME"},
    EspressioneCase{TipoCampo::Decimale, 1, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.#\",1)"},
    EspressioneCase{TipoCampo::Decimale, 2, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.##\",1)"},
    EspressioneCase{TipoCampo::Decimale, 3, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.###\",1)"},
    EspressioneCase{TipoCampo::Decimale, 6, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.######\",1)"},
    EspressioneCase{TipoCampo::Decimale, 8, 0, "DETTAGLI", "Fstr$(NAME,\"---,---,---,--&.##\",1)"},
    EspressioneCase{TipoCampo::Testo, 0, 1, "DETTAGLI", "NAME"},
    EspressioneCase{TipoCampo::Data, 0, 2, "TOTALI", "Totale.NAME"},
    EspressioneCase{TipoCampo::Memo, 0, 0, "DETTAGLI", "NAME"}));

// ---- columns that fit the list object ------------------------------------

struct LarghezzeCase
{
    const char *nome;
    bool orizzontale;
    std::vector<int> larghezze;
    std::vector<int> scritte; // Width= of the detail lines
};

class ColonneAvanzate : public ::testing::TestWithParam<LarghezzeCase> {};

TEST_P(ColonneAvanzate, keepTheColumnsWhoseRunningWidthStaysInside)
{
    const LarghezzeCase &c = GetParam();
    OpzioniLayoutAvanzato o;
    o.orizzontale = c.orizzontale;
    int i = 0;
    for (int w : c.larghezze)
        o.campi.push_back(campo(qPrintable(QStringLiteral("F%1").arg(++i)), TipoCampo::Testo, w));
    o.colonneGriglia = o.campi;
    const QStringList file = righe(CreaFileLSTAvanzato(o));
    for (const char *b : {"Columns", "Columns1", "HeaderColumns"}) {
        const QStringList col = colonne(blocco(file, QLatin1String(b)));
        ASSERT_EQ(col.size(), int(c.scritte.size())) << b;
        for (size_t k = 0; k < c.scritte.size(); ++k)
            EXPECT_TRUE(col[int(k)].startsWith(QStringLiteral(",Width=%1,").arg(c.scritte[k])))
                << b << ": " << col[int(k)].toStdString();
        // One frame line per grid column, whatever fits.
        EXPECT_EQ(blocco(file, QLatin1String(b)).filter(QRegularExpression(QStringLiteral("^Frame\\d+="))).size(),
                  int(c.larghezze.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ColonneAvanzate, ::testing::Values(
    LarghezzeCase{"verticale_40_40_30_10", false, {40, 40, 30, 10}, {80000, 80000}},
    LarghezzeCase{"larghezza_2_vale_20000", false, {2, 0, 3}, {20000, 20000, 6000}},
    // a running sum equal to the usable width is not below it
    LarghezzeCase{"verticale_somma_uguale", false, {45, 46}, {90000}},
    LarghezzeCase{"verticale_appena_sotto", false, {45, 45}, {90000, 90000}},
    LarghezzeCase{"orizzontale_40_40_30_10", true, {40, 40, 30, 10}, {80000, 80000, 60000, 20000}},
    LarghezzeCase{"orizzontale_60_60", true, {60, 60}, {120000, 120000}},
    LarghezzeCase{"orizzontale_oltre", true, {60, 60, 9}, {120000, 120000}},
    LarghezzeCase{"prima_troppo_larga", false, {100}, {}}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- single lines that options decide ------------------------------------

struct OpzioneCase
{
    const char *nome;
    void (*imposta)(OpzioniLayoutAvanzato &);
    const char *presente; // a whole line the file must hold ("" none)
    const char *assente;  // a whole line it must not hold ("" none)
};

class OpzioniAvanzate : public ::testing::TestWithParam<OpzioneCase> {};

TEST_P(OpzioniAvanzate, decideTheirLines)
{
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = clienti();
    GetParam().imposta(o);
    const QStringList file = righe(CreaFileLSTAvanzato(o));
    const QString presente = vardof::core::fromCp1252(QByteArray(GetParam().presente));
    const QString assente = vardof::core::fromCp1252(QByteArray(GetParam().assente));
    if (!presente.isEmpty()) {
        EXPECT_TRUE(file.contains(presente)) << GetParam().presente;
    }
    if (!assente.isEmpty()) {
        EXPECT_FALSE(file.contains(assente)) << GetParam().assente;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OpzioniAvanzate, ::testing::Values(
    OpzioneCase{"un_record_senza_totali", [](OpzioniLayoutAvanzato &o) { o.unRecord = true; }, "", " [Columns1]"},
    OpzioneCase{"numerazione_spenta", [](OpzioniLayoutAvanzato &o) { o.numeraPagine = false; },
                " Rect=(12200,7900,194400,13400)", " Rect=(161600,276700,188500,284100)"},
    OpzioneCase{"numerazione_accesa", [](OpzioniLayoutAvanzato &) {}, " Rect=(161600,276700,188500,284100)", ""},
    OpzioneCase{"numero_pagina_orizzontale", [](OpzioniLayoutAvanzato &o) { o.orizzontale = true; },
                " Rect=(242500,196700,269400,204100)", " Rect=(161600,276700,188500,284100)"},
    OpzioneCase{"titolo_in_ogni_orientamento", [](OpzioniLayoutAvanzato &o) { o.orizzontale = true; },
                " Rect=(12200,17000,194400,25400)", ""},
    OpzioneCase{"elenco_orizzontale", [](OpzioniLayoutAvanzato &o) { o.orizzontale = true; },
                " Rect=(11600,27400,269400,193600)", " Orientation=1"},
    OpzioneCase{"pagina_orizzontale", [](OpzioniLayoutAvanzato &o) { o.orizzontale = true; },
                " P2.xSize=296300", " xSize=210000"},
    OpzioneCase{"font_grassetto", [](OpzioniLayoutAvanzato &o) {
                    o.font = FontStampa{QStringLiteral("Verdana"), 9, 1, 2, 3, true, false, true, true};
                }, " Font={(1,2,3),9,-16,0,0,0,700,0,1,1,0,0,0,0,0,Verdana}", ""},
    OpzioneCase{"memo_intero", [](OpzioniLayoutAvanzato &o) { o.memoEstesi = true; },
                "  ,Width=20000,Separator=TRUE,Fit=1,SepWidth=0,Expression=TRUE,Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8NOTE\xA8",
                ""},
    OpzioneCase{"memo_tagliato", [](OpzioniLayoutAvanzato &) {},
                "  ,Width=20000,Separator=TRUE,SepWidth=0,Expression=TRUE,Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8NOTE\xA8",
                ""},
    OpzioneCase{"totale_del_campo_totalizzato", [](OpzioniLayoutAvanzato &) {},
                "  ,Width=16000,Align=2,Separator=TRUE,SepWidth=0,Expression=TRUE, Font={(0,0,0),8,-11,0,0,0,700,0,0,0,0,3,2,1,34,Arial},Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8" "Fstr$(Totale.PEZZI,\"---,---,---,---\",1)\xA8",
                ""},
    OpzioneCase{"campo_senza_totale_in_bianco", [](OpzioniLayoutAvanzato &) {},
                "  ,Width=12000,Align=2,Separator=TRUE,SepWidth=0,Expression=TRUE, Font={(0,0,0),8,-11,0,0,0,700,0,0,0,0,3,2,1,34,Arial},Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8\" \"\xA8",
                ""},
    // without any totalled field no total is written, not even a blank sum
    OpzioneCase{"risposta_senza_totali", [](OpzioniLayoutAvanzato &o) {
                    for (auto *l : {&o.campi, &o.colonneGriglia})
                        for (CampoLayout &c : *l)
                            c.codice = c.codice % 10;
                }, "", "  ,Width=24000,Align=2,Separator=TRUE,SepWidth=0,Expression=TRUE, Font={(0,0,0),8,-11,0,0,0,700,0,0,0,0,3,2,1,34,Arial},Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8" "Fstr$(Totale.FATTURATO,\"---,---,---,--&.##\",1)\xA8"},
    OpzioneCase{"testata_quotata", [](OpzioniLayoutAvanzato &) {},
                "  ,Width=60000,Separator=TRUE,SepWidth=0,Expression=TRUE,Space=(1000,500,1000,500),bRTF=FALSE,Text=\xA8\"RAGIONE_SOCIALE\"\xA8",
                ""},
    OpzioneCase{"numero_pagina", [](OpzioniLayoutAvanzato &) {},
                "  ,OptimSpaces=TRUE,Text=\xA8\"Pagina n\xB0 \"+str$(Page(),2,0)\xA8", ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(LayoutSemplice, numbersItsSumAndUserVariables)
{
    const QStringList file = righe(CreaFileLSTStandard(FontStampa{}));
    for (const char *r : {" Sum1=@Sum01;F;", " Sum25=@Sum25;F;", " Sum26=@Summe26;F;", " Sum50=@Summe50;F;",
                          " User1=@User01", " User50=@User50", " User51=@Utente01", " User100=@Utente50"})
        EXPECT_TRUE(file.contains(QLatin1String(r))) << r;
    EXPECT_FALSE(file.contains(QStringLiteral(" Sum51=@Summe51;F;")));
    EXPECT_EQ(file.filter(QRegularExpression(QStringLiteral("^ Sum\\d+="))).size(), 50);
    EXPECT_EQ(file.filter(QRegularExpression(QStringLiteral("^ User\\d+="))).size(), 100);
}

// ---- grid layout ----------------------------------------------------------

struct GrigliaCase
{
    const char *nome;
    bool orizzontale;
    bool forza;
    std::vector<int> millimetri; // stored widths, given in mm (times 3.7795 pixels)
    std::vector<int> attese;     // widths written, in mm
};

class LarghezzeGriglia : public ::testing::TestWithParam<GrigliaCase> {};

TEST_P(LarghezzeGriglia, fitTheUsableWidth)
{
    const GrigliaCase &c = GetParam();
    std::vector<ColonnaGriglia> col;
    for (int mm : c.millimetri)
        col.push_back({QStringLiteral("C%1").arg(col.size()), QStringLiteral("T%1").arg(col.size()),
                       int(std::lround(mm * 3.7795))});
    OpzioniLayoutGriglia o;
    o.orizzontale = c.orizzontale;
    o.forzaUltimaColonna = c.forza;
    EXPECT_EQ(larghezzeStampate(col, o), c.attese);
    // Both lines of the table (data and titles) carry the same widths.
    const QStringList file = righe(CreaLayoutGriglia(col, o));
    QStringList larghe = file.filter(QRegularExpression(QStringLiteral("^\\t\\t Width=\\d+$")));
    ASSERT_EQ(larghe.size(), int(2 * c.attese.size()));
    for (size_t k = 0; k < c.attese.size(); ++k) {
        EXPECT_EQ(larghe[int(k)].trimmed(), QStringLiteral("Width=%1").arg(c.attese[k] * 1000));
        EXPECT_EQ(larghe[int(k + c.attese.size())].trimmed(), QStringLiteral("Width=%1").arg(c.attese[k] * 1000));
    }
    EXPECT_TRUE(file.contains(QStringLiteral("\t\tColumns=%1").arg(c.attese.size())));
}

INSTANTIATE_TEST_SUITE_P(Cases, LarghezzeGriglia, ::testing::Values(
    GrigliaCase{"verticale_forzata", false, true, {100, 60, 80}, {100, 60, 35}},
    GrigliaCase{"verticale_non_forzata", false, false, {100, 60, 80}, {100, 60}},
    GrigliaCase{"tutte_entrano_forzata", false, true, {50, 60}, {50, 145}},
    GrigliaCase{"tutte_entrano", false, false, {50, 60}, {50, 60}},
    GrigliaCase{"orizzontale_forzata", true, true, {150, 100, 50}, {150, 100, 32}},
    GrigliaCase{"esattamente_piena", false, false, {95, 100, 10}, {95, 100}},
    GrigliaCase{"vuota", false, true, {}, {}},
    GrigliaCase{"larghezza_zero", false, false, {0, 195}, {0, 195}}),
    [](const auto &info) { return std::string(info.param.nome); });

struct PixelCase
{
    int pixel;
    int mm;
};

class PixelInMillimetri : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelInMillimetri, roundToTheNearestHalvesToEven)
{
    EXPECT_EQ(millimetriStampa(GetParam().pixel), GetParam().mm);
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelInMillimetri, ::testing::Values(
    PixelCase{378, 100}, PixelCase{0, 0}, PixelCase{1, 0}, PixelCase{2, 1}, PixelCase{64, 17}, PixelCase{737, 195}));

struct GrigliaOpzioneCase
{
    const char *nome;
    void (*imposta)(OpzioniLayoutGriglia &);
    int lineWrap0, lineWrap1; // how many LineWrap= lines of each value
    const char *presente;
};

class OpzioniGriglia : public ::testing::TestWithParam<GrigliaOpzioneCase> {};

TEST_P(OpzioniGriglia, decideWrappingAndConditions)
{
    OpzioniLayoutGriglia o;
    GetParam().imposta(o);
    const std::vector<ColonnaGriglia> col{{QStringLiteral("A"), QStringLiteral("Uno"), 189},
                                          {QStringLiteral("B"), QStringLiteral("Due"), 189}};
    const QStringList file = righe(CreaLayoutGriglia(col, o));
    const QStringList wrap = file.filter(QStringLiteral("LineWrap="));
    EXPECT_EQ(wrap.filter(QStringLiteral("LineWrap=0")).size(), GetParam().lineWrap0);
    EXPECT_EQ(wrap.filter(QStringLiteral("LineWrap=1")).size(), GetParam().lineWrap1);
    EXPECT_TRUE(file.contains(QLatin1String(GetParam().presente))) << GetParam().presente;
}

// 4 columns lines (2 data, 2 titles), 2 header lines, 1 page number line.
INSTANTIATE_TEST_SUITE_P(Cases, OpzioniGriglia, ::testing::Values(
    GrigliaOpzioneCase{"predefinite", [](OpzioniLayoutGriglia &) {}, 0, 7, " Condition=False"},
    GrigliaOpzioneCase{"tronca_testi", [](OpzioniLayoutGriglia &o) { o.troncaTesti = true; }, 6, 1,
                       " Condition=False"},
    GrigliaOpzioneCase{"forza_ultima", [](OpzioniLayoutGriglia &o) { o.forzaUltimaColonna = true; }, 2, 5,
                       "\t\t Width=145000"},
    GrigliaOpzioneCase{"numerata", [](OpzioniLayoutGriglia &o) { o.numeraPagine = true; }, 0, 7,
                       " Position/Left=125300"},
    GrigliaOpzioneCase{"orizzontale", [](OpzioniLayoutGriglia &o) { o.orizzontale = true; }, 0, 7,
                       " LinkTest=-17025"},
    GrigliaOpzioneCase{"titoli_a_sinistra_in_orizzontale", [](OpzioniLayoutGriglia &o) { o.orizzontale = true; },
                       0, 7, "\t\t Text=\"Due\""},
    GrigliaOpzioneCase{"font_piccolo", [](OpzioniLayoutGriglia &o) { o.dimensioneFont = 6; }, 0, 7,
                       "\t\t  Size=6"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(LayoutGriglia, indentsDeepLinesWithTabsThenBlanks)
{
    const QStringList file = righe(CreaLayoutGriglia({{QStringLiteral("A"), QStringLiteral("Uno"), 100}}, {}));
    // depth 1 key; depth 4 in [Table]; depth 6 in a side of the default frame, 11 in a column's
    EXPECT_TRUE(file.contains(QStringLiteral(" ObjectName=Table")));
    EXPECT_TRUE(file.contains(QStringLiteral("\t[GroupHeaderLines]")));
    EXPECT_TRUE(file.contains(QStringLiteral("\t bConcatDataLines=True")));
    EXPECT_TRUE(file.contains(QStringLiteral("\t  Spacing=1000")));
    EXPECT_TRUE(file.contains(QStringLiteral("\t\t   Spacing=1000")));
    for (const QString &r : file)
        EXPECT_FALSE(r.contains(QStringLiteral(" \t"))) << r.toStdString();
}
