#include "core/Cp1252.h"

#include <QSet>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof;

namespace {

TEST(Cp1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = core::fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    bool lossy = false;
    EXPECT_EQ(core::toCp1252(text, &lossy), all);
    EXPECT_FALSE(lossy);
    EXPECT_TRUE(core::isCp1252(text));
}

TEST(Cp1252, EveryByteDecodesToADistinctCharacter)
{
    QSet<QChar> seen;
    for (int b = 0; b < 256; ++b)
        seen.insert(core::fromCp1252(QByteArray(1, char(b))).at(0));
    EXPECT_EQ(seen.size(), 256);
}

struct CharCase
{
    const char16_t *text;
    QByteArray bytes;
};

void PrintTo(const CharCase &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.text).toStdString();
}

class Cp1252CharTest : public testing::TestWithParam<CharCase>
{};

TEST_P(Cp1252CharTest, EncodesAndDecodes)
{
    const QString text = QString::fromUtf16(GetParam().text);
    bool lossy = false;
    EXPECT_EQ(core::toCp1252(text, &lossy), GetParam().bytes);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(core::fromCp1252(GetParam().bytes), text);
}

INSTANTIATE_TEST_SUITE_P(
    Italian, Cp1252CharTest,
    testing::Values(CharCase{u"àèéìòù€‘’", QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9\x80\x91\x92")},
                    CharCase{u"ÀÈÉÌÒÙ", QByteArray("\xC0\xC8\xC9\xCC\xD2\xD9")},
                    CharCase{u"«“perché”»", QByteArray("\xAB\x93perch\xE9\x94\xBB")},
                    CharCase{u"…–—•™", QByteArray("\x85\x96\x97\x95\x99")},
                    CharCase{u"", QByteArray()}));

TEST(Cp1252, UnencodableBecomesQuestionMarkAndIsReported)
{
    bool lossy = false;
    EXPECT_EQ(core::toCp1252(QString::fromUtf16(u"a\u03A9b\u4E2D"), &lossy), QByteArray("a?b?"));
    EXPECT_TRUE(lossy);
    EXPECT_FALSE(core::isCp1252(QString::fromUtf16(u"\u03A9")));
}

TEST(Cp1252, AppendKeepsWhatIsThereAndLeavesFlagAloneWhenClean)
{
    QByteArray out("x");
    bool lossy = false;
    core::appendCp1252(QString::fromUtf16(u"è"), out, &lossy);
    EXPECT_EQ(out, QByteArray("x\xE8"));
    EXPECT_FALSE(lossy);
}

} // namespace
