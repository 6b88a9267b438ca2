#pragma once

// Editing a text file the user must write by hand (a conversion definition,
// an import script) on any desktop.
//
// openForEditing() is the one call for windows: it hands the file to the
// program the desktop associates with it (IShell, Services.h) and, when the
// desktop has none, opens it in TextEditorWindow, our own plain editor. The
// editor keeps the file as the office programs and our readers expect it:
// CP1252 bytes, CR LF line ends (LF where the whole file uses LF), the last
// line with or without its line end as it was, in a fixed-width font without
// wrapping, because definitions count character positions. Saving replaces
// the file only once the new content is completely written (OutputFile).
//
// Errors (a file that cannot be read or saved) are shown to the user through
// the installed IMessages with the system's reason.

#include <QByteArray>
#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vardof::platform {

// The file's bytes as the editor shows them, and back. Every CP1252 byte
// survives the round trip: line ends become '\n' and come back as
// `lineEnd`, and a carriage return that ends no line is shown as U+240D
// ("␍") so that the editor does not take it for one.
struct EditableText
{
    QString text;
    QByteArray lineEnd = "\r\n";
};
EditableText decodeEditableText(const QByteArray &bytes);
// `lossy` (optional) is set when some character had no CP1252 byte and was
// written as '?'.
QByteArray encodeEditableText(const QString &text, const QByteArray &lineEnd, bool *lossy = nullptr);

class TextEditorWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TextEditorWindow(const QString &path, QWidget *parent = nullptr);

    // Reads the file; false (with *errorString) when it cannot be read or is
    // too large to be edited here.
    bool load(QString *errorString = nullptr);
    // Writes the text back; on failure the error is shown, the file keeps
    // its previous content and the text stays modified.
    bool save();
    bool isModified() const;
    QString path() const { return m_path; }

    QLabel *LabelFile;
    QPlainTextEdit *MemoTesto;
    QLabel *LabelPosizione;
    QPushButton *ButtonSalva;
    QPushButton *ButtonChiudi;

    // Files larger than this are refused: the editor is for definitions and
    // scripts, not for data.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

public slots:
    // Every way of closing (Chiudi, Esc, the window's close button) comes
    // here and asks about unsaved changes: Yes saves, No drops, Cancel stays.
    void reject() override;

private:
    bool mayClose();
    void showPosition();

    QString m_path;
    QByteArray m_lineEnd = "\r\n";
};

enum class EditOpening {
    Desktop,   // the desktop's program took the file
    OwnEditor, // our editor was shown (and has been closed)
    Failed,    // neither: the reason has been shown to the user
};

// Opens `path` for the user to edit; see the top of this header. Our editor
// is modal over `parent` and returns when the user closes it.
EditOpening openForEditing(const QString &path, QWidget *parent = nullptr);

} // namespace vardof::platform
