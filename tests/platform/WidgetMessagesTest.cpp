#include "platform/Clipboard.h"
#include "platform/Services.h"
#include "platform/widgets/WidgetFileDialogs.h"
#include "platform/widgets/WidgetMessages.h"
#include "platform/widgets/WidgetPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vardof::platform;

namespace {

QStringList buttonTexts(const QMessageBox &box)
{
    QStringList texts;
    // Sorted: the order on screen is the style's business.
    for (QAbstractButton *b : box.buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

struct BoxCase
{
    Buttons buttons;
    QStringList texts;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

class MessageBoxButtonsTest : public testing::TestWithParam<BoxCase>
{};

TEST_P(MessageBoxButtonsTest, ItalianTextsDefaultAndEscape)
{
    const BoxCase &c = GetParam();
    const auto box = buildMessageBox(Confirmation, {}, QStringLiteral("Procedo?"), c.buttons);
    QStringList expected = c.texts;
    expected.sort();
    EXPECT_EQ(buttonTexts(*box), expected);
    EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
    EXPECT_EQ(box->escapeButton(), box->button(c.escapeButton));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxButtonsTest,
    testing::Values(
        BoxCase{Buttons::Ok, {QStringLiteral("OK")}, QMessageBox::Ok, QMessageBox::Ok},
        BoxCase{Buttons::YesNo, {QStringLiteral("Sì"), QStringLiteral("No")}, QMessageBox::Yes,
                QMessageBox::No},
        BoxCase{Buttons::OkCancel, {QStringLiteral("OK"), QStringLiteral("Annulla")},
                QMessageBox::Ok, QMessageBox::Cancel},
        BoxCase{Buttons::YesNoCancel,
                {QStringLiteral("Sì"), QStringLiteral("No"), QStringLiteral("Annulla")},
                QMessageBox::Yes, QMessageBox::Cancel}));

struct CaptionCase
{
    MessageKind kind;
    QString caption;
    QString expectedTitle;
    QMessageBox::Icon icon;
};

class MessageBoxCaptionTest : public testing::TestWithParam<CaptionCase>
{};

TEST_P(MessageBoxCaptionTest, TitleAndIcon)
{
    const CaptionCase &c = GetParam();
    const auto box = buildMessageBox(c.kind, c.caption, QStringLiteral("testo"), Buttons::Ok);
    EXPECT_EQ(box->windowTitle(), c.expectedTitle);
    EXPECT_EQ(box->icon(), c.icon);
    EXPECT_EQ(box->text(), QStringLiteral("testo"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxCaptionTest,
    testing::Values(
        CaptionCase{Plain, {}, QStringLiteral("VardoF"), QMessageBox::NoIcon},
        CaptionCase{Information, {}, QStringLiteral("Informazione"), QMessageBox::Information},
        CaptionCase{Warning, {}, QStringLiteral("Attenzione"), QMessageBox::Warning},
        CaptionCase{Error, {}, QStringLiteral("Errore"), QMessageBox::Critical},
        CaptionCase{Confirmation, {}, QStringLiteral("Conferma"), QMessageBox::Question},
        CaptionCase{Error, QStringLiteral("Importazione"), QStringLiteral("Importazione"),
                    QMessageBox::Critical}));

// Runs `act` on the first modal dialog once it is showing.
void whenModalShows(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

void clickButtonWithText(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
        if (b->text() == text) {
            b->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    dialog->close();
}

struct ClickCase
{
    Buttons buttons;
    QString click;
    Answer expected;
};

class WidgetMessagesClickTest : public testing::TestWithParam<ClickCase>
{};

TEST_P(WidgetMessagesClickTest, AnswerIsTheButtonPressed)
{
    const ClickCase &c = GetParam();
    whenModalShows([&](QWidget *w) { clickButtonWithText(w, c.click); });
    WidgetMessages messages;
    EXPECT_EQ(messages.show(Confirmation, {}, QStringLiteral("Procedo?"), c.buttons), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidgetMessagesClickTest,
    testing::Values(ClickCase{Buttons::YesNo, QStringLiteral("Sì"), Answer::Yes},
                    ClickCase{Buttons::YesNo, QStringLiteral("No"), Answer::No},
                    ClickCase{Buttons::OkCancel, QStringLiteral("Annulla"), Answer::Cancel},
                    ClickCase{Buttons::YesNoCancel, QStringLiteral("Annulla"), Answer::Cancel},
                    ClickCase{Buttons::Ok, QStringLiteral("OK"), Answer::Ok}));

TEST(WidgetMessages, ClosingTheWindowAnswersTheEscapeButton)
{
    whenModalShows([](QWidget *w) { w->close(); });
    WidgetMessages messages;
    EXPECT_EQ(messages.show(Confirmation, {}, QStringLiteral("Procedo?"), Buttons::YesNo),
              Answer::No);
}

TEST(WidgetMessages, InputBoxHasItalianButtonsAndReturnsTheText)
{
    QStringList seenButtons;
    whenModalShows([&](QWidget *w) {
        for (QAbstractButton *b : w->findChildren<QPushButton *>())
            seenButtons << b->text();
        auto *dialog = qobject_cast<QInputDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue(QStringLiteral("Bianchi"));
        dialog->accept();
    });
    WidgetMessages messages;
    EXPECT_EQ(messages.input(QStringLiteral("Cliente"), QStringLiteral("Nome:"), QStringLiteral("x")),
              QStringLiteral("Bianchi"));
    seenButtons.sort();
    EXPECT_EQ(seenButtons, (QStringList{QStringLiteral("Annulla"), QStringLiteral("OK")}));
}

TEST(WidgetMessages, CancelledInputBoxIsNullopt)
{
    whenModalShows([](QWidget *w) { clickButtonWithText(w, QStringLiteral("Annulla")); });
    WidgetMessages messages;
    EXPECT_EQ(messages.input(QStringLiteral("Cliente"), QStringLiteral("Nome:"), QStringLiteral("x")),
              std::nullopt);
}

TEST(WidgetFileDialogs, FontChoiceSurvivesQFont)
{
    const FontChoice choice{QStringLiteral("Courier New"), 11, true, true, false, true};
    EXPECT_EQ(fromQFont(toQFont(choice)), choice);
}

TEST(WidgetPlatform, InstallsTheDesktopServices)
{
    const auto previousMessages = setMessages(nullptr);
    const auto previousClipboard = setClipboard(nullptr);
    const auto previousDialogs = setFileDialogs(nullptr);
    const auto previousShell = setShell(nullptr);

    installWidgetPlatform();
    installWidgetPlatform();
    EXPECT_NE(dynamic_cast<WidgetMessages *>(&messages()), nullptr);
    EXPECT_NE(dynamic_cast<WidgetFileDialogs *>(&fileDialogs()), nullptr);
    EXPECT_NE(dynamic_cast<SystemClipboard *>(&clipboard()), nullptr);
    EXPECT_NE(dynamic_cast<DesktopShell *>(&shell()), nullptr);

    clipboard().setText(QStringLiteral("dal programma"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("dal programma"));

    setMessages(previousMessages);
    setClipboard(previousClipboard);
    setFileDialogs(previousDialogs);
    setShell(previousShell);
}

} // namespace
