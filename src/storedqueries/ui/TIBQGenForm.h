#pragma once

// The query registry: where the user picks a table to question (the
// table-selection layout) and, in the history layout, manages the stored
// queries. Prepares the stored-query tables each time it is created.
//
// Who owns what: the work context (connection, transaction, directories)
// is lent by the entry for the window's lifetime. A table in another
// database file is questioned on a connection the window opens for the
// purpose and closes when the query window returns. Every message goes
// through the platform messages.

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace vardof::db { class Attachment; class Transaction; }
namespace vardof::context { class TTabForm; }

namespace vardof::storedqueries {

class TIBQGenForm : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { QueryGenerica, Storico };

    TIBQGenForm(context::TTabForm *context, int userNumber, Mode mode, QWidget *parent = nullptr);
    ~TIBQGenForm() override;

    Mode mode() const { return m_mode; }
    int numeroUtente() const { return m_utente; }

    // Values taken from the work context at creation.
    QString DirectoryTemp;
    QString DirectoryLavoro;
    QString DirectoryBin;
    QString NomeProgetto;

    // The table picker, replaceable by tests: the chosen table, nullopt on
    // Cancel. The default shows TListTabForm.
    using SceltaTabella =
        std::function<std::optional<QString>(db::Attachment &, db::Transaction &, QWidget *parent)>;
    static SceltaTabella setSceltaTabella(SceltaTabella picker);

    // ---- controls (table-selection layout) -------------------------------
    QWidget *PanelAlto;
    QPushButton *ButtonTabella;   // "&Tabella da interr."
    QPushButton *ButtonDatabase;  // "Data&base"
    QLineEdit *EditTabella;
    QLineEdit *EditPercorso;
    QPushButton *ButtonNote;
    QPushButton *ButtonGeneraQuery;
    QPushButton *ButtonStorico;
    QPlainTextEdit *NOTE;         // the notes of the current stored query

    // ---- handlers ----------------------------------------------------------
    void ButtonGeneraQueryClick();
    // Opens the query window over the stored query `codice` of STOQUER, in
    // stored mode: its interrogation and appearance are loaded, and saved
    // when the user agrees. The history layout's query button calls it.
    void ApriQueryStorico(int codice);
    void ButtonTabellaClick();
    void ButtonDatabaseClick();
    void ButtonNoteClick();
    // Whether the database button and the path field accept input.
    void AggiornaCampoDatabase();

    // "L'archivio "<path>" non è stato trovato"
    static QString messaggioArchivioNonTrovato(const QString &percorso);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Creazione();
    void LayoutSceltaTabella();
    struct ChiaveStorico
    {
        int codice1;
        double codice2;
        QString nomeExport;
    };
    // The query window over `tabella` (of the work database, or of the
    // database file `percorso`), in stored mode when a key is given.
    void ApriQuery(const QString &tabella, const QString &percorso, const std::optional<ChiaveStorico> &storico);

    context::TTabForm *m_context;
    int m_utente;
    Mode m_mode;
};

} // namespace vardof::storedqueries
