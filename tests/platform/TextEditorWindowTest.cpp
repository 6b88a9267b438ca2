#include "support/ModalDialogs.h"
#include "platform/widgets/TextEditorWindow.h"

#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace vardof::platform;

namespace {

using vardof::test::whenShown;

QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

struct BytesCase
{
    const char *name;
    QByteArray bytes;
    QByteArray saved; // what an unchanged text is written back as
};
void PrintTo(const BytesCase &c, std::ostream *os) { *os << c.name; }

const BytesCase kBytesCases[] = {
    {"crLfWithFinalLineEnd", "[CSV]\r\n1;A;1;A;\r\n", "[CSV]\r\n1;A;1;A;\r\n"},
    {"crLfWithoutFinalLineEnd", "[CSV]\r\n1;A;1;A;", "[CSV]\r\n1;A;1;A;"},
    {"empty", "", ""},
    {"onlyALineEnd", "\r\n", "\r\n"},
    {"emptyLinesKept", "a\r\n\r\n\r\nb\r\n\r\n", "a\r\n\r\n\r\nb\r\n\r\n"},
    {"accentsInTheCodePage", "Caff\xe8;Perch\xe9 \x80 \xa0" "fine", "Caff\xe8;Perch\xe9 \x80 \xa0" "fine"},
    {"lineFeedsOnlyStayLineFeeds", "a\nb\n", "a\nb\n"},
    {"loneCarriageReturnStaysInItsLine", "a\rb\r\nc", "a\rb\r\nc"},
    {"tabsAndPositions", "1;F;\t3;4;A;\r\n", "1;F;\t3;4;A;\r\n"},
    {"mixedLineEndsBecomeCrLf", "a\r\nb\nc", "a\r\nb\r\nc"},
    {"everyByte", everyByte(), everyByte().replace("\r\n", "\r\n")},
};

class EditableBytes : public testing::TestWithParam<BytesCase> {};
TEST_P(EditableBytes, comeBackAsTheyWere)
{
    const EditableText editable = decodeEditableText(GetParam().bytes);
    bool lossy = true;
    EXPECT_EQ(encodeEditableText(editable.text, editable.lineEnd, &lossy), GetParam().saved);
    EXPECT_FALSE(lossy);
}
INSTANTIATE_TEST_SUITE_P(Cases, EditableBytes, testing::ValuesIn(kBytesCases));

TEST(EditableText, charactersOutsideTheCodePageAreFlagged)
{
    bool lossy = false;
    EXPECT_EQ(encodeEditableText(QStringLiteral("a\nΩ"), "\r\n", &lossy), "a\r\n?");
    EXPECT_TRUE(lossy);
}

class EditorTest : public testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("listino.conf")); }
    void put(const QByteArray &bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<assente>");
    }
    static void typeAtEnd(TextEditorWindow &editor, const QString &text)
    {
        QTextCursor cursor = editor.MemoTesto->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor.MemoTesto->setTextCursor(cursor);
        editor.MemoTesto->insertPlainText(text);
    }

    QTemporaryDir m_dir;
    ScopedServices m_services;
};

// Through the text widget as well: saving an untouched file writes it back
// byte for byte.
class EditorBytes : public EditorTest, public testing::WithParamInterface<BytesCase> {};
TEST_P(EditorBytes, untouchedTextIsSavedAsItWasRead)
{
    put(GetParam().bytes);
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    EXPECT_FALSE(editor.isModified());
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(bytes(), GetParam().saved);
    EXPECT_TRUE(m_services.messages().messages().isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Cases, EditorBytes, testing::ValuesIn(kBytesCases));

TEST_F(EditorTest, showsTheFileInAFixedFontWithoutWrapping)
{
    put("[LUNGHEZZAFISSA]\r\n");
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Modifica file - listino.conf"));
    EXPECT_EQ(editor.LabelFile->text(), QStringLiteral("File: ") + QDir::toNativeSeparators(path()));
    EXPECT_EQ(editor.MemoTesto->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(editor.MemoTesto->font()).fixedPitch());
    EXPECT_EQ(editor.ButtonSalva->text(), QStringLiteral("&Salva"));
    EXPECT_EQ(editor.ButtonChiudi->text(), QStringLiteral("Ch&iudi"));
    EXPECT_EQ(editor.LabelPosizione->text(), QStringLiteral("Riga 1, Colonna 1"));
    QTextCursor cursor = editor.MemoTesto->textCursor();
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::Up);
    cursor.movePosition(QTextCursor::EndOfLine);
    editor.MemoTesto->setTextCursor(cursor);
    EXPECT_EQ(editor.LabelPosizione->text(), QStringLiteral("Riga 1, Colonna 17"));
}

TEST_F(EditorTest, savedEditsKeepCrLfAndTheCodePage)
{
    put("[LUNGHEZZAFISSA]\r\n1;CODICE;1;14;A;");
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    typeAtEnd(editor, QStringLiteral("\n2;DESCRIZIONE;15;30;A;\n3;NOTE;Costante;'Caffè';A;"));
    EXPECT_TRUE(editor.isModified());
    editor.ButtonSalva->click();
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(bytes(), "[LUNGHEZZAFISSA]\r\n1;CODICE;1;14;A;\r\n2;DESCRIZIONE;15;30;A;\r\n3;NOTE;Costante;'Caff\xe8';A;");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("listino.conf")});
}

TEST_F(EditorTest, charactersOutsideTheCodePageAreSavedAsQuestionMarksAndSaid)
{
    put("a");
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    typeAtEnd(editor, QStringLiteral("Ω"));
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(bytes(), "a?");
    EXPECT_EQ(editor.MemoTesto->toPlainText(), QStringLiteral("a?"));
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].kind, Warning);
}

TEST_F(EditorTest, failedSaveKeepsTheTextModifiedAndSaysWhy)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("sotto"));
    const QString inner = m_dir.filePath(QStringLiteral("sotto/def.conf"));
    {
        QFile f(inner);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    TextEditorWindow editor(inner);
    ASSERT_TRUE(editor.load());
    typeAtEnd(editor, QStringLiteral("y"));
    ASSERT_TRUE(QDir(m_dir.filePath(QStringLiteral("sotto"))).removeRecursively());
    EXPECT_FALSE(editor.save());
    EXPECT_TRUE(editor.isModified());
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].kind, Error);
    EXPECT_TRUE(messages[0].text.startsWith(
        QStringLiteral("Impossibile scrivere il file \"%1\": ").arg(QDir::toNativeSeparators(inner))))
        << messages[0].text.toStdString();
    EXPECT_GT(messages[0].text.size(), QStringLiteral("Impossibile scrivere il file \"%1\": ").arg(inner).size());
}

struct CloseCase
{
    const char *name;
    Answer answer;
    bool closes;
    QByteArray file;
};
void PrintTo(const CloseCase &c, std::ostream *os) { *os << c.name; }

class EditorClose : public EditorTest, public testing::WithParamInterface<CloseCase> {};
TEST_P(EditorClose, asksAboutUnsavedChanges)
{
    put("a");
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    editor.show();
    typeAtEnd(editor, QStringLiteral("b"));
    m_services.messages().queueAnswer(GetParam().answer);
    editor.ButtonChiudi->click();
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{QStringLiteral("Il file \"listino.conf\" è stato modificato.\nSalvare le modifiche?")});
    EXPECT_EQ(editor.isVisible(), !GetParam().closes);
    EXPECT_EQ(bytes(), GetParam().file);
}
INSTANTIATE_TEST_SUITE_P(Cases, EditorClose, testing::Values(
    CloseCase{"yesSavesAndCloses", Answer::Yes, true, "ab"},
    CloseCase{"noClosesWithoutSaving", Answer::No, true, "a"},
    CloseCase{"cancelStays", Answer::Cancel, false, "a"}));

TEST_F(EditorTest, untouchedTextClosesWithoutAsking)
{
    put("a");
    TextEditorWindow editor(path());
    ASSERT_TRUE(editor.load());
    editor.show();
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(m_services.messages().messages().isEmpty());
}

TEST_F(EditorTest, fileTooLargeForTheEditorIsRefused)
{
    put(QByteArray(TextEditorWindow::kMaxBytes + 1, 'x'));
    TextEditorWindow editor(path());
    QString reason;
    EXPECT_FALSE(editor.load(&reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("troppo grande"))) << reason.toStdString();
}

// ---- the desktop's program first, our editor when there is none ----------------

TEST_F(EditorTest, desktopProgramTakesTheFileWhenThereIsOne)
{
    put("a");
    m_services.shell().setResult(true);
    EXPECT_EQ(openForEditing(path()), EditOpening::Desktop);
    EXPECT_EQ(m_services.shell().openedFiles(), QStringList{path()});
}

TEST_F(EditorTest, withoutADesktopProgramOurEditorOpensTheFile)
{
    put("[CSV]\r\n");
    m_services.shell().setResult(false);
    QString shownText;
    QString shownCaption;
    whenShown<TextEditorWindow>([&](TextEditorWindow *editor) {
        shownCaption = editor->windowTitle();
        shownText = editor->MemoTesto->toPlainText();
        QTextCursor cursor = editor->MemoTesto->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor->MemoTesto->setTextCursor(cursor);
        editor->MemoTesto->insertPlainText(QStringLiteral("1;CODICE;1;A;"));
        editor->ButtonSalva->click();
        editor->ButtonChiudi->click();
    });
    EXPECT_EQ(openForEditing(path()), EditOpening::OwnEditor);
    EXPECT_EQ(m_services.shell().openedFiles(), QStringList{path()});
    EXPECT_EQ(shownCaption, QStringLiteral("Modifica file - listino.conf"));
    EXPECT_EQ(shownText, QStringLiteral("[CSV]\n"));
    EXPECT_EQ(bytes(), "[CSV]\r\n1;CODICE;1;A;");
    EXPECT_TRUE(m_services.messages().messages().isEmpty());
}

TEST_F(EditorTest, unreadableFileIsReportedWhenNothingCanOpenIt)
{
    m_services.shell().setResult(false);
    EXPECT_EQ(openForEditing(path()), EditOpening::Failed);
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].kind, Error);
    EXPECT_TRUE(messages[0].text.startsWith(
        QStringLiteral("Impossibile aprire il file \"%1\": ").arg(QDir::toNativeSeparators(path()))));
}

} // namespace
