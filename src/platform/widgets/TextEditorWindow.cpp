#include "platform/widgets/TextEditorWindow.h"

#include "core/Cp1252.h"
#include "platform/HostPaths.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"
#include "platform/Services.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace vardof::platform {

namespace {

// A carriage return that ends no line: the text widget would break the line
// there, so it is shown as the control picture of CR.
constexpr char16_t kLoneCr = 0x240D;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(toNativeLocal(path)).absoluteFilePath());
}

} // namespace

EditableText decodeEditableText(const QByteArray &bytes)
{
    EditableText result;
    // LF alone only when the whole file uses it; otherwise the office format.
    if (bytes.contains('\n') && !bytes.contains("\r\n"))
        result.lineEnd = "\n";
    const QString decoded = core::fromCp1252(bytes);
    result.text.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded.at(i);
        if (c != QLatin1Char('\r')) {
            result.text += c;
        } else if (i + 1 < decoded.size() && decoded.at(i + 1) == QLatin1Char('\n')) {
            result.text += QLatin1Char('\n');
            ++i;
        } else {
            result.text += QChar(kLoneCr);
        }
    }
    return result;
}

QByteArray encodeEditableText(const QString &text, const QByteArray &lineEnd, bool *lossy)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    bool anyLossy = false;
    qsizetype from = 0;
    auto flushRun = [&](qsizetype to) {
        bool l = false;
        core::appendCp1252(text.mid(from, to - from), out, &l);
        anyLossy = anyLossy || l;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        // The text widget separates its lines with U+2029 (or U+2028).
        if (c == u'\n' || c == 0x2029 || c == 0x2028) {
            flushRun(i);
            out += lineEnd;
            from = i + 1;
        } else if (c == kLoneCr) {
            flushRun(i);
            out += '\r';
            from = i + 1;
        }
    }
    flushRun(text.size());
    if (lossy)
        *lossy = anyLossy;
    return out;
}

TextEditorWindow::TextEditorWindow(const QString &path, QWidget *parent)
    : QDialog(parent), m_path(path)
{
    setWindowTitle(QStringLiteral("Modifica file - ") + QFileInfo(toNativeLocal(path)).fileName());
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    LabelFile = new QLabel(QStringLiteral("File: ") + nativePath(path), this);
    LabelFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    MemoTesto = new QPlainTextEdit(this);
    MemoTesto->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoTesto->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MemoTesto->setTabChangesFocus(false);
    LabelPosizione = new QLabel(this);
    ButtonSalva = new QPushButton(QStringLiteral("&Salva"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("Ch&iudi"), this);
    // Enter belongs to the text, not to a button.
    ButtonSalva->setAutoDefault(false);
    ButtonChiudi->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(LabelPosizione);
    buttons->addStretch();
    buttons->addWidget(ButtonSalva);
    buttons->addWidget(ButtonChiudi);
    auto *main = new QVBoxLayout(this);
    main->addWidget(LabelFile);
    main->addWidget(MemoTesto, 1);
    main->addLayout(buttons);
    resize(760, 520);

    connect(ButtonSalva, &QPushButton::clicked, this, &TextEditorWindow::save);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TextEditorWindow::reject);
    connect(MemoTesto, &QPlainTextEdit::cursorPositionChanged, this, &TextEditorWindow::showPosition);
    showPosition();
}

bool TextEditorWindow::load(QString *errorString)
{
    QFile file(toNativeLocal(m_path));
    QString reason;
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    } else if (file.size() > kMaxBytes) {
        reason = QStringLiteral("il file è troppo grande per essere modificato qui (%1 byte)").arg(file.size());
    } else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            reason = file.errorString();
    }
    if (!reason.isEmpty()) {
        if (errorString)
            *errorString = reason;
        return false;
    }
    const EditableText editable = decodeEditableText(bytes);
    m_lineEnd = editable.lineEnd;
    MemoTesto->setPlainText(editable.text);
    MemoTesto->document()->setModified(false);
    return true;
}

bool TextEditorWindow::isModified() const
{
    return MemoTesto->document()->isModified();
}

bool TextEditorWindow::save()
{
    bool lossy = false;
    // toRawText keeps what toPlainText would change (a no-break space).
    const QByteArray bytes = encodeEditableText(MemoTesto->document()->toRawText(), m_lineEnd, &lossy);
    QString reason;
    if (!OutputFile::writeAll(m_path, bytes, &reason)) {
        error(outputFileError(nativePath(m_path), reason));
        return false;
    }
    MemoTesto->document()->setModified(false);
    if (lossy) {
        // Show what the file now holds.
        const int position = MemoTesto->textCursor().position();
        MemoTesto->setPlainText(decodeEditableText(bytes).text);
        QTextCursor cursor = MemoTesto->textCursor();
        cursor.setPosition(std::min(position, MemoTesto->document()->characterCount() - 1));
        MemoTesto->setTextCursor(cursor);
        MemoTesto->document()->setModified(false);
        warning(QStringLiteral("Alcuni caratteri non esistono nella codifica dei file di Windows "
                               "e sono stati salvati come \"?\""));
    }
    return true;
}

bool TextEditorWindow::mayClose()
{
    if (!isModified())
        return true;
    switch (confirmYesNoCancel(QStringLiteral("Il file \"%1\" è stato modificato.\nSalvare le modifiche?")
                                   .arg(QFileInfo(toNativeLocal(m_path)).fileName()))) {
    case Answer::Yes:
    case Answer::Ok:
        return save();
    case Answer::No:
        return true;
    case Answer::Cancel:
        return false;
    }
    return false;
}

void TextEditorWindow::reject()
{
    if (mayClose())
        QDialog::reject();
}

void TextEditorWindow::showPosition()
{
    const QTextCursor cursor = MemoTesto->textCursor();
    LabelPosizione->setText(QStringLiteral("Riga %1, Colonna %2")
                                .arg(cursor.blockNumber() + 1)
                                .arg(cursor.positionInBlock() + 1));
}

EditOpening openForEditing(const QString &path, QWidget *parent)
{
    if (shell().openFile(path))
        return EditOpening::Desktop;
    // No program on this desktop takes the file: our own editor does.
    TextEditorWindow editor(path, parent);
    QString reason;
    if (!editor.load(&reason)) {
        error(QStringLiteral("Impossibile aprire il file \"%1\": %2").arg(nativePath(path), reason));
        return EditOpening::Failed;
    }
    editor.exec();
    return EditOpening::OwnEditor;
}

} // namespace vardof::platform
