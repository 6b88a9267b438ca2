#include "platform/FileDialogs.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/Services.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

struct FilterCase
{
    const char *delphi;
    const char *qt;
};

void PrintTo(const FilterCase &c, std::ostream *os)
{
    *os << '"' << c.delphi << '"';
}

class FilterConversionTest : public testing::TestWithParam<FilterCase>
{};

TEST_P(FilterConversionTest, Converts)
{
    EXPECT_EQ(qtFilterFromDelphi(QString::fromUtf8(GetParam().delphi)),
              QString::fromUtf8(GetParam().qt));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterConversionTest,
    testing::Values(
        FilterCase{"Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb|Tutti i file (*.*)|*.*",
                   "Archivi Interbase (*.gdb *.fdb);;Tutti i file (*)"},
        FilterCase{"File CSV|*.csv", "File CSV (*.csv)"},
        // A description in brackets that is not a pattern list stays.
        FilterCase{"Testo (separato da tab)|*.txt", "Testo (separato da tab) (*.txt)"},
        // The displayed list may disagree with the real one: the real one wins.
        FilterCase{"Fogli (*.xls)|*.xls;*.xlsx", "Fogli (*.xls *.xlsx)"},
        FilterCase{"A| *.a ; *.b ;|", "A (*.a *.b)"},
        FilterCase{"A|*.a|B", "A (*.a)"},
        FilterCase{"A||B|*.b", "B (*.b)"},
        FilterCase{"|*.x", "*.x"},
        FilterCase{"Solo descrizione", ""},
        FilterCase{"", ""},
        FilterCase{"Dati|DATI??.TXT", "Dati (DATI??.TXT)"}));

TEST(ColorRef, ConvertsBothWaysSwappingRedAndBlue)
{
    EXPECT_EQ(rgbFromColorRef(0x000000FFu), 0xFFFF0000u); // clRed
    EXPECT_EQ(rgbFromColorRef(0x00FF0000u), 0xFF0000FFu); // clBlue
    EXPECT_EQ(rgbFromColorRef(0x00123456u), 0xFF563412u);
    EXPECT_EQ(colorRefFromRgb(0xFF563412u), 0x00123456u);
    EXPECT_EQ(colorRefFromRgb(0x80563412u), 0x00123456u); // alpha is not stored
}

TEST(ScriptedFileDialogs, ReturnsQueuedChoicesInOrderThenCancels)
{
    ScopedServices services;
    services.fileDialogs().queueFile(QStringLiteral("C:\\dati\\a.fdb"));
    services.fileDialogs().queueFile(std::nullopt);
    services.fileDialogs().queueFile(QStringLiteral("/tmp/out.csv"));

    IFileDialogs &dialogs = fileDialogs();
    EXPECT_EQ(dialogs.openFile(QStringLiteral("Apri"), QStringLiteral("C:\\dati"),
                               QStringLiteral("Archivi|*.fdb")),
              QStringLiteral("C:\\dati\\a.fdb"));
    EXPECT_EQ(dialogs.openFile(QStringLiteral("Apri"), {}, {}), std::nullopt);
    EXPECT_EQ(dialogs.saveFile(QStringLiteral("Salva"), {}, QStringLiteral("CSV|*.csv"),
                               QStringLiteral("csv")),
              QStringLiteral("/tmp/out.csv"));
    EXPECT_EQ(dialogs.saveFile(QStringLiteral("Salva"), {}, {}), std::nullopt);

    const auto requests = services.fileDialogs().requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].kind, FileDialogRequest::OpenFile);
    EXPECT_EQ(requests[0].caption, QStringLiteral("Apri"));
    EXPECT_EQ(requests[0].dir, QStringLiteral("C:\\dati"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("Archivi|*.fdb"));
    EXPECT_EQ(requests[2].kind, FileDialogRequest::SaveFile);
    EXPECT_EQ(requests[2].defaultSuffix, QStringLiteral("csv"));
}

TEST(ScriptedFileDialogs, EachKindHasItsOwnQueue)
{
    ScriptedFileDialogs dialogs;
    const FontChoice font{QStringLiteral("Arial"), 10, true, false, false, false};
    dialogs.queueFont(font);
    dialogs.queueColor(0xFF00FF00u);
    dialogs.queueFiles(QStringList{QStringLiteral("a"), QStringLiteral("b")});

    EXPECT_EQ(dialogs.openFile({}, {}, {}), std::nullopt);
    EXPECT_EQ(dialogs.chooseColor(0xFF000000u), Rgb(0xFF00FF00u));
    EXPECT_EQ(dialogs.chooseFont(FontChoice{QStringLiteral("Courier"), 9}), font);
    EXPECT_EQ(dialogs.openFiles({}, {}, {}), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(dialogs.chooseColor(0), std::nullopt);

    const auto requests = dialogs.requests();
    ASSERT_EQ(requests.size(), 5);
    EXPECT_EQ(requests[1].initialColor, 0xFF000000u);
    EXPECT_EQ(requests[2].initialFont.family, QStringLiteral("Courier"));
}

TEST(DefaultFileDialogs, CancelWithoutAUserInterface)
{
    const auto previous = setFileDialogs(nullptr);
    EXPECT_EQ(fileDialogs().openFile(QStringLiteral("Apri"), {}, {}), std::nullopt);
    EXPECT_EQ(fileDialogs().chooseColor(0), std::nullopt);
    setFileDialogs(previous);
}

} // namespace
