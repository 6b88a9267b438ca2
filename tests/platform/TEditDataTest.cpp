// The date box on screen: what typing leaves in it, the keys that never
// complete, and the date it shows when it is left.

#include "platform/widgets/TEditData.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using vardof::platform::TEditData;

namespace {

struct Finestra
{
    QWidget finestra;
    TEditData *data = new TEditData;
    QLineEdit *altro = new QLineEdit;

    Finestra()
    {
        auto *l = new QVBoxLayout(&finestra);
        l->addWidget(data);
        l->addWidget(altro);
        finestra.show();
        finestra.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&finestra));
        data->setFocus();
    }
};

struct CasoDigitato
{
    const char *digitato;
    const char *testo;
};

class Digitata : public ::testing::TestWithParam<CasoDigitato>
{
};

TEST_P(Digitata, isCompletedAsTyped)
{
    Finestra f;
    QTest::keyClicks(f.data, QString::fromUtf8(GetParam().digitato));
    EXPECT_EQ(f.data->text(), QString::fromUtf8(GetParam().testo));
}

INSTANTIATE_TEST_SUITE_P(Casi, Digitata,
                         ::testing::Values(CasoDigitato{"7/3/99", "07/03/1999"}, CasoDigitato{"070399", "07/03/1999"},
                                           CasoDigitato{"30//6//2024", "30/06/2024"},
                                           CasoDigitato{"1/2/2024", "01/02/2024"},
                                           // Ten characters at most: a date.
                                           CasoDigitato{"01/02/20245", "01/02/2024"},
                                           // A day that is not one is selected and typed over.
                                           CasoDigitato{"45", "45"}, CasoDigitato{"453/", "03/"}));

TEST(TEditData, deletingOrMovingNeverCompletes)
{
    Finestra f;
    QTest::keyClicks(f.data, "12");
    ASSERT_EQ(f.data->text(), "12/");
    QTest::keyClick(f.data, Qt::Key_Backspace);
    EXPECT_EQ(f.data->text(), "12");
    QTest::keyClick(f.data, Qt::Key_Left);
    EXPECT_EQ(f.data->text(), "12");
    EXPECT_FALSE(f.data->hasSelectedText());
}

TEST(TEditData, keysThatTypeNothingLeaveTheTextAlone)
{
    Finestra f;
    f.data->setText(QStringLiteral("45"));
    f.data->deselect();
    QTest::keyClick(f.data, Qt::Key_Shift);
    // The release of the Tab that brought the focus here.
    QTest::keyRelease(f.data, Qt::Key_Tab);
    EXPECT_EQ(f.data->text(), "45");
    EXPECT_FALSE(f.data->hasSelectedText());
}

struct CasoLasciata
{
    const char *scritto;
    const char *mostrato;
};

class Lasciata : public ::testing::TestWithParam<CasoLasciata>
{
};

TEST_P(Lasciata, showsAValidDateInFull)
{
    Finestra f;
    f.data->setText(QString::fromUtf8(GetParam().scritto));
    f.altro->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(f.altro->hasFocus());
    EXPECT_EQ(f.data->text(), QString::fromUtf8(GetParam().mostrato));
}

INSTANTIATE_TEST_SUITE_P(Casi, Lasciata,
                         ::testing::Values(CasoLasciata{"1/2/24", "01/02/2024"}, CasoLasciata{"31/12/1999", "31/12/1999"},
                                           CasoLasciata{"31/4/2024", "31/4/2024"}, CasoLasciata{"abc", "abc"},
                                           CasoLasciata{"", ""}));

} // namespace
