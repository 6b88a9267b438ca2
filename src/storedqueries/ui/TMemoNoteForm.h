#pragma once

// The notes of a stored query in a window of their own: "&Chiudi" keeps
// what was typed (when the notes may be edited), "&Annulla" drops it.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::storedqueries {

class TMemoNoteForm : public QDialog
{
    Q_OBJECT
public:
    TMemoNoteForm(const QString &testo, bool readOnly, const QPalette &colori, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonAnnulla;

    QString testo() const;
};

} // namespace vardof::storedqueries
