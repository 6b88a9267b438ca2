#include "platform/Clipboard.h"
#include "platform/Messages.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

TEST(ScriptedMessages, RecordsWhatEachConvenienceCallShows)
{
    ScopedServices services;
    showMessage(QStringLiteral("ciao"));
    information(QStringLiteral("fatto"));
    warning(QStringLiteral("attento"));
    error(QStringLiteral("rotto"));
    confirm(QStringLiteral("procedo?"));
    confirmOkCancel(QStringLiteral("ok?"));
    confirmYesNoCancel(QStringLiteral("salvo?"));

    const QList<RecordedMessage> expected{
        {Plain, QStringLiteral("VardoF"), QStringLiteral("ciao"), Buttons::Ok},
        {Information, QString(), QStringLiteral("fatto"), Buttons::Ok},
        {Warning, QString(), QStringLiteral("attento"), Buttons::Ok},
        {Error, QString(), QStringLiteral("rotto"), Buttons::Ok},
        {Confirmation, QString(), QStringLiteral("procedo?"), Buttons::YesNo},
        {Confirmation, QString(), QStringLiteral("ok?"), Buttons::OkCancel},
        {Confirmation, QString(), QStringLiteral("salvo?"), Buttons::YesNoCancel},
    };
    EXPECT_EQ(services.messages().messages(), expected);
    EXPECT_EQ(services.messages().texts(),
              (QStringList{"ciao", "fatto", "attento", "rotto", "procedo?", "ok?", "salvo?"}));
}

TEST(ScriptedMessages, QuestionsTakeQueuedAnswersInOrder)
{
    ScopedServices services;
    services.messages().queueAnswer(Answer::No);
    services.messages().queueAnswer(Answer::Yes);
    services.messages().queueAnswer(Answer::Cancel);
    EXPECT_FALSE(confirm(QStringLiteral("1")));
    EXPECT_TRUE(confirm(QStringLiteral("2")));
    EXPECT_EQ(confirmYesNoCancel(QStringLiteral("3")), Answer::Cancel);
    EXPECT_EQ(services.messages().pendingAnswers(), 0);
}

TEST(ScriptedMessages, PlainMessagesLeaveTheQueueToTheNextQuestion)
{
    ScopedServices services;
    services.messages().queueAnswer(Answer::No);
    information(QStringLiteral("prima"));
    error(QStringLiteral("poi"));
    EXPECT_EQ(services.messages().pendingAnswers(), 1);
    EXPECT_FALSE(confirm(QStringLiteral("e ora?")));
}

TEST(ScriptedMessages, EmptyQueueAnswersTheDefault)
{
    ScopedServices services;
    EXPECT_TRUE(confirm(QStringLiteral("a")));
    EXPECT_TRUE(confirmOkCancel(QStringLiteral("b")));
    EXPECT_EQ(confirmYesNoCancel(QStringLiteral("c")), Answer::Yes);
    services.messages().setDefaultAnswer(Answer::No);
    EXPECT_FALSE(confirm(QStringLiteral("d")));
    EXPECT_FALSE(confirmOkCancel(QStringLiteral("e")));
    EXPECT_EQ(confirmYesNoCancel(QStringLiteral("f")), Answer::No);
}

TEST(ScriptedMessages, InputsComeFromTheQueueThenAcceptTheDefault)
{
    ScopedServices services;
    services.messages().queueInput(QStringLiteral("Rossi"));
    services.messages().queueInput(std::nullopt);
    EXPECT_EQ(inputBox(QStringLiteral("Cliente"), QStringLiteral("Nome:"), QStringLiteral("x")),
              QStringLiteral("Rossi"));
    EXPECT_EQ(inputBox(QStringLiteral("Cliente"), QStringLiteral("Nome:")), std::nullopt);
    EXPECT_EQ(inputBox(QStringLiteral("Cliente"), QStringLiteral("Anno:"), QStringLiteral("2024")),
              QStringLiteral("2024"));
    const QList<RecordedInput> expected{
        {QStringLiteral("Cliente"), QStringLiteral("Nome:"), QStringLiteral("x")},
        {QStringLiteral("Cliente"), QStringLiteral("Nome:"), QString()},
        {QStringLiteral("Cliente"), QStringLiteral("Anno:"), QStringLiteral("2024")},
    };
    EXPECT_EQ(services.messages().inputs(), expected);
    // Inputs and answers are separate queues.
    EXPECT_TRUE(services.messages().messages().isEmpty());
}

TEST(ScriptedMessages, ClearForgetsRecordsAndQueues)
{
    ScriptedMessages m;
    m.queueAnswer(Answer::No);
    m.queueInput(QStringLiteral("v"));
    m.show(Warning, {}, QStringLiteral("t"), Buttons::Ok);
    m.clear();
    EXPECT_TRUE(m.messages().isEmpty());
    EXPECT_EQ(m.pendingAnswers(), 0);
    EXPECT_EQ(m.pendingInputs(), 0);
}

struct FitCase
{
    Buttons buttons;
    Answer given;
    Answer expected;
};

class FitAnswerTest : public testing::TestWithParam<FitCase>
{};

TEST_P(FitAnswerTest, MapsOntoTheButtonsShown)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(fitAnswer(c.buttons, c.given), c.expected);
    EXPECT_TRUE(buttonsAllow(c.buttons, fitAnswer(c.buttons, c.given)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitAnswerTest,
    testing::Values(FitCase{Buttons::Ok, Answer::Yes, Answer::Ok},
                    FitCase{Buttons::Ok, Answer::Cancel, Answer::Ok},
                    FitCase{Buttons::YesNo, Answer::Ok, Answer::Yes},
                    FitCase{Buttons::YesNo, Answer::Cancel, Answer::No},
                    FitCase{Buttons::YesNo, Answer::No, Answer::No},
                    FitCase{Buttons::OkCancel, Answer::Yes, Answer::Ok},
                    FitCase{Buttons::OkCancel, Answer::No, Answer::Cancel},
                    FitCase{Buttons::OkCancel, Answer::Cancel, Answer::Cancel},
                    FitCase{Buttons::YesNoCancel, Answer::Ok, Answer::Yes},
                    FitCase{Buttons::YesNoCancel, Answer::Cancel, Answer::Cancel},
                    FitCase{Buttons::YesNoCancel, Answer::No, Answer::No}));

TEST(DefaultCaption, ItalianPerKind)
{
    EXPECT_EQ(defaultCaption(Plain), QStringLiteral("VardoF"));
    EXPECT_EQ(defaultCaption(Information), QStringLiteral("Informazione"));
    EXPECT_EQ(defaultCaption(Warning), QStringLiteral("Attenzione"));
    EXPECT_EQ(defaultCaption(Error), QStringLiteral("Errore"));
    EXPECT_EQ(defaultCaption(Confirmation), QStringLiteral("Conferma"));
}

TEST(Services, ScopedServicesPutsBackWhatWasInstalled)
{
    auto mine = std::make_shared<ScriptedMessages>();
    auto clip = std::make_shared<MemoryClipboard>();
    const auto before = setMessages(mine);
    const auto beforeClip = setClipboard(clip);
    {
        ScopedServices outer;
        EXPECT_EQ(&messages(), static_cast<IMessages *>(&outer.messages()));
        {
            ScopedServices inner;
            EXPECT_EQ(&messages(), static_cast<IMessages *>(&inner.messages()));
            clipboard().setText(QStringLiteral("interno"));
            EXPECT_EQ(inner.clipboard().text(), QStringLiteral("interno"));
        }
        EXPECT_EQ(&messages(), static_cast<IMessages *>(&outer.messages()));
        EXPECT_EQ(outer.clipboard().text(), QString());
    }
    EXPECT_EQ(&messages(), static_cast<IMessages *>(mine.get()));
    EXPECT_EQ(&clipboard(), static_cast<IClipboard *>(clip.get()));
    setMessages(before);
    setClipboard(beforeClip);
}

TEST(Services, DefaultMessagesAnswerWithoutWaiting)
{
    const auto previous = setMessages(nullptr);
    ASSERT_NE(dynamic_cast<StderrMessages *>(&messages()), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(confirm(QStringLiteral("Cancellare la tabella?")));
    EXPECT_TRUE(confirmOkCancel(QStringLiteral("Continuare?")));
    EXPECT_EQ(inputBox(QStringLiteral("Anno"), QStringLiteral("Anno:"), QStringLiteral("2024")),
              QStringLiteral("2024"));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("Cancellare la tabella?"), std::string::npos);
    EXPECT_NE(printed.find("Conferma"), std::string::npos);
    setMessages(previous);
}

TEST(Services, DefaultClipboardKeepsTextInMemory)
{
    const auto previous = setClipboard(nullptr);
    clipboard().setText(QStringLiteral("copiato"));
    EXPECT_EQ(clipboard().text(), QStringLiteral("copiato"));
    setClipboard(previous);
}

} // namespace
