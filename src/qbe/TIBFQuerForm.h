#pragma once

// The query engine of one query window: composes the interrogation into a
// SELECT (or a UNION of blocks), runs it into the window's answer, creates
// the answer tables that chained queries read, and prepares the statement
// text for the clipboard. No widgets: the window keeps one engine for its
// lifetime and shows what the engine reports.
//
// Failures: a statement the server rejects makes Interroga and
// EseguiInterrogazione return false; EseguiInterrogazione also tells the
// user through its run feedback ("Si prega di verificare la sintassi delle condizioni o
// dei collegamenti") and keeps the server's text in ultimoErrore().
// Answer-table work throws db::Error.

#include "platform/RunFeedback.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "qbe/Composizione.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"
#include "qbe/TabRispTmp.h"
#include "storedqueries/StoredQueryTables.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardof::qbe {

inline const QString kMsgSintassi =
    QStringLiteral("Si prega di verificare la sintassi delle condizioni o dei collegamenti");

class TIBFQuerForm
{
public:
    // The caption of the support window that shows the SQL for the clipboard.
    static inline const QString kCaption = QStringLiteral("Form di appoggio per funzioni query");
    static inline const QString kCaptionOk = QStringLiteral("Ok");
    // Codes of the answer's columns (ordering and grouping), by 0-based column.
    static constexpr int kMaxColonne = CodiciColonne::kMaxColonne;

    // `lavoro` runs the answer and the answer tables; `storico` holds STOINT
    // and STOASP (the same database in every caller). `tabInt` is the
    // window's interrogation, `tabellaSorgente` the table of level 0.
    // `sessione` is the window's current session: read and written in
    // place, never copied.
    TIBFQuerForm(int numeroUtente, db::Attachment &lavoro, db::Transaction &traLavoro,
                 db::Attachment &storico, db::Transaction &traStorico, TabIntTmp &tabInt,
                 const QString &tabellaSorgente, SessioneQuery &sessione,
                 const QString &directoryLavoro, const QString &ditta);
    ~TIBFQuerForm();
    TIBFQuerForm(const TIBFQuerForm &) = delete;
    TIBFQuerForm &operator=(const TIBFQuerForm &) = delete;

    // How a failed execution is told; nullptr: boxes through the platform messages.
    void setAvvisi(platform::RunFeedback *avvisi);

    int numeroUtente() const { return m_utente; }
    // The session the engine works on; a chain move lends it the session
    // of the level it moves to.
    SessioneQuery &sessione() { return *m_sessione; }
    const SessioneQuery &sessione() const { return *m_sessione; }
    void setSessione(SessioneQuery &sessione);
    int livello() const { return m_sessione->livello(); }
    const QString &tabellaSorgente() const { return m_tabellaSorgente; }
    const QString &archivio() const { return m_sessione->archivio(); }
    const QString &directoryLavoro() const { return m_dirLavoro; }
    const QString &ditta() const { return m_ditta; }
    db::Attachment &lavoro() { return m_lavoro; }
    db::Transaction &traLavoro() { return m_traLavoro; }

    // ---- interrogation ----------------------------------------------------

    // Appends one shown row (Mostra 1, empty condition) per column of the
    // table, Numero = catalogue position, then sorts.
    static void RiempiTabIntTmp(TabIntTmp &tab, const TabellaSorgente &sorgente);
    // The same, reading the table's columns on the work connection.
    void RiempiTabIntTmp(TabIntTmp &tab, const QString &tabella);

    // Composes the rows whose Numero lies in [primo, ultimo] over the table
    // `tabella`, replaces the answer's text, opens it and fetches its first
    // row, so that values the server cannot convert fail here too (in
    // clipboard mode: only composes and fills MemoPerClipboard). False when
    // the server rejects the statement; no message here.
    bool Interroga(int primo, int ultimo, const QString &archivio, TabIntTmp &tab,
                   TabRispTmp &risposta, const QString &tabella);

    // The whole interrogation at the session's level: one block, or with
    // the union flag the blocks ended by code 7 rows joined by UNION.
    // Reports a failure with kMsgSintassi. In stored mode, on success, hands
    // a compatible saved appearance of the session's key (the chained
    // query's above level 0) to the ApplicaAspetto hook.
    bool EseguiInterrogazione(TabIntTmp &tab, const QString &tabellaFinestra, TabRispTmp &risposta);

    // The server's message of the last failed block, empty after a success.
    const QString &ultimoErrore() const { return m_ultimoErrore; }

    // Type class of a row's column: an added table's column (A.DESCR) through
    // its header row; at level 0 the source table; above it the previous
    // level's answer table. Altro when the column cannot be found.
    TipoCampo DeterminaTipoCampo(const QString &nome, const QString &archivio);

    static QString EstraiCalc(const QString &c) { return qbe::EstraiCalc(c); }
    static QString EstraiExtract(const QString &c) { return qbe::EstraiExtract(c); }
    static bool TestGroupBy(const QString &t) { return qbe::TestGroupBy(t); }
    static QString ConvertiDateCondizione(const QString &c) { return qbe::ConvertiDateCondizione(c); }
    static QString IncrementaIdentificatore(const QString &p) { return qbe::IncrementaIdentificatore(p); }

    // ---- answer tables -----------------------------------------------------

    // "TMP_RSUCC" + user (at least 4 digits) + "_" + level (at least 4 digits).
    static QString NomeTabellaRisposta(int utente, int livello);
    QString nomeTabellaRisposta(int livello) const { return NomeTabellaRisposta(m_utente, livello); }
    // The column type an answer column gets in an answer table.
    static QString tipoColonnaRisposta(const db::Column &column);
    // Creates the answer table of the current level from the open (or
    // openable) answer: drops the old one (errors ignored), creates it,
    // strips ORDER BY from the answer's text and copies the rows with
    // INSERT INTO ... SELECT. Throws db::Error.
    void CreaTabellaRisposta(TabRispTmp &risposta);
    // The CREATE TABLE text for the answer's columns.
    static QString sqlCreaTabellaRisposta(const QString &nome, const std::vector<db::Column> &colonne);
    // Drops TMP_RSUCC<user>_0000 .. _0030 where they exist (a new chain
    // starts); every error ignored.
    void EliminaTabelleRisposta();

    // ---- clipboard mode ----------------------------------------------------

    void setModoClipboard(bool on) { m_modoClipboard = on; }
    bool modoClipboard() const { return m_modoClipboard; }
    // The composed text with every single quote doubled (the memo of the
    // support window).
    const QString &MemoPerClipboard() const { return m_memo; }
    // The support window's "Ok": copies the memo to the platform clipboard.
    void ButtonOkClick();

    // ---- ordering and grouping codes of the answer's columns ---------------

    CodiciColonne &codiciRaggruppamento() { return m_sessione->codici(); }
    const CodiciColonne &codiciRaggruppamento() const { return m_sessione->codici(); }
    bool ordinata() const { return m_sessione->ordinata(); }
    void setOrdinata(bool on) { m_sessione->setOrdinata(on); }
    // Puts the ORDER BY of the session's codes on the answer and reopens it:
    // an ORDER BY already there is replaced; no column in the key removes
    // it. The ordered mark follows. When the server refuses the order the
    // answer goes back to its former text, reopened, and db::Error is thrown.
    void ApplicaOrdinamento(TabRispTmp &risposta);

    // ---- seams for the parts built later -----------------------------------

    // Run after a successful block whose computed columns asked for a
    // procedural function (SOMMAPROG, INTEROQMT). None installed: nothing.
    using PostElaborazione = std::function<void(TabRispTmp &risposta, bool sommaProg, bool interoQmt)>;
    void setPostElaborazione(PostElaborazione hook) { m_post = std::move(hook); }
    // Stored mode: given the saved appearance (already found compatible with
    // the answer). The engine has copied each row's Raggruppa into
    // codiciRaggruppamento() and put their ORDER BY on the answer first.
    // None installed: nothing more.
    using ApplicaAspetto =
        std::function<void(TabRispTmp &risposta, const std::vector<storedqueries::RigaStoAsp> &aspetto)>;
    void setApplicaAspetto(ApplicaAspetto hook) { m_applicaAspetto = std::move(hook); }

    // Whether a saved appearance fits the answer: every saved name is an
    // answer column and every answer column has a saved row.
    static bool aspettoCompatibile(const std::vector<storedqueries::RigaStoAsp> &aspetto,
                                   const TabRispTmp &risposta);

private:
    TipoCampo tipoInTabella(const QString &tabella, const QString &colonna);
    TipoCampo tipoCampo(const TabIntTmp &tab, const QString &nome);
    void segnalaErrore();
    void tellErroreOrdinamento(const QString &messaggio);
    void ripristinaSenzaOrdinamento(TabRispTmp &risposta);

    int m_utente;
    db::Attachment &m_lavoro;
    db::Transaction &m_traLavoro;
    db::Attachment &m_storico;
    db::Transaction &m_traStorico;
    TabIntTmp &m_tabInt;
    QString m_tabellaSorgente;
    SessioneQuery *m_sessione;
    QString m_dirLavoro;
    QString m_ditta;
    platform::RunFeedback *m_avvisi = nullptr;
    QString m_ultimoErrore;
    bool m_modoClipboard = false;
    QString m_memo;
    PostElaborazione m_post;
    ApplicaAspetto m_applicaAspetto;
    QHash<QString, TabellaSorgente> m_colonneCache; // catalogue columns met during one execution
};

} // namespace vardof::qbe
