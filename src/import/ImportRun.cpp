#include "import/ImportRun.h"

#include "import/DataFileReader.h"
#include "import/ImportValues.h"
#include "import/RigheScartate.h"
#include "import/ScriptLoader.h"

#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "db/ExecuteBlock.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/BoundedQueue.h"

#include <QFileInfo>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vardof::importcsv {

QString prefissoOra()
{
    return QStringLiteral("- ") + QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(": ");
}

namespace {

// The server's text after an Italian word on what happened, for the
// failures a user meets most: someone else holding or changing the row,
// or a key already there.
QString motivoServer(const db::Error &e)
{
    // A wait that ran out and a row changed meanwhile look the same to the
    // server (an update conflict): both mean someone else had the row.
    if (db::lockWaitExpired(e) || e.isLockConflict()) {
        const int attesa = db::Transaction::defaultLockTimeout();
        const QString quanto = attesa > 0 ? QStringLiteral(", attesa massima %1 secondi").arg(attesa) : QString();
        return QStringLiteral("record in uso da un altro utente (bloccato o modificato durante l'elaborazione%1): ")
                   .arg(quanto)
               + e.message();
    }
    if (e.isDuplicateKey())
        return QStringLiteral("chiave già presente nella tabella: ") + e.message();
    return e.message();
}

// The fields of one line, as views into it. Fields past the end read empty.
class Campi
{
public:
    void dividi(const QString &riga)
    {
        m_campi.clear();
        const QStringView v(riga);
        qsizetype inizio = 0;
        for (;;) {
            const qsizetype pv = v.indexOf(u';', inizio);
            if (pv < 0) {
                m_campi.push_back(v.mid(inizio));
                break;
            }
            m_campi.push_back(v.mid(inizio, pv - inizio));
            inizio = pv + 1;
        }
    }
    QStringView operator[](int indice) const
    {
        return indice >= 0 && size_t(indice) < m_campi.size() ? m_campi[size_t(indice)] : QStringView();
    }

private:
    std::vector<QStringView> m_campi;
};

// Where each value goes in a prepared statement: parameters are bound by
// position so that the per-line work does no name lookups.
int indiceParametro(db::Statement &st, const QString &nome)
{
    const QStringList nomi = st.paramNames();
    return int(nomi.indexOf(nome.toUpper()));
}

QString q(const QString &nome)
{
    return db::quotedName(nome);
}

QStringList elencoConSeparatore(const QStringList &voci, const QString &separatore)
{
    QStringList righe;
    for (qsizetype i = 0; i < voci.size(); ++i) {
        if (i > 0)
            righe << separatore;
        righe << voci[i];
    }
    return righe;
}

} // namespace

class ImportRun::Impl
{
public:
    Impl(ImportRun &run, platform::RunFeedback &feedback, FasiImport *fasi, const QString &file, bool salta,
         const OpzioniImport &opzioni)
        : r(run), m_sink(feedback), m_fasi(fasi ? *fasi : m_nessunaFase), m_file(file), m_salta(salta),
          m_opzioni(opzioni), p(run.m_parametri)
    {
    }

    EsitoImport esegui();

private:
    struct Uscita
    {
        EsitoImport esito;
    };

    void log(const QString &testo)
    {
        m_ultimaRiga = testo;
        m_sink.line(testo);
    }
    void logOra(const QString &testo) { log(prefissoOra() + testo); }
    QString riga(qint64 n) const { return formatoNumero(n); }

    void preparaStatement();
    bool eliminazione();
    std::optional<EsitoImport> passoDuplicati();
    void creaTabellaDuplicati();
    void eliminaTabellaDuplicati();
    EsitoImport passoImport();
    // The lines of the import pass, read here one after the other (and the
    // duplicate check's lookups made per line) or prepared by a second
    // thread while this one runs the blocks; nullopt when every line is
    // done, else how the run ended.
    std::optional<EsitoImport> righeInOrdine(qint64 &letti);
    std::optional<EsitoImport> righeInParallelo(qint64 &letti);
    // What both ways do with a line that is not stored, after the lines
    // waiting for their block are sent: a line with characters no text
    // holds counts as failed (and may end the run); a line whose key does
    // not convert is skipped. nullopt when the run goes on.
    std::optional<EsitoImport> rigaNonValida(qint64 numero, QByteArrayView grezza);
    std::optional<EsitoImport> chiaveNonValida(qint64 numero, QByteArrayView grezza, const QString &motivo);
    // The rejects could not be written: the run ends, keeping nothing.
    std::optional<EsitoImport> scartiFalliti();
    void interrompi();
    void pulizia();
    void rollbackSeAttiva();
    // The current line was not stored: into the rejects, with its reason.
    void scarta(qint64 numero, const QString &motivo) { scarta(numero, m_reader.rawLine(), motivo); }
    void scarta(qint64 numero, QByteArrayView grezza, const QString &motivo);
    // A failed line has just been counted: true when that is one too many.
    bool oltreIlLimite() const;
    EsitoImport fermaPerErrori();
    EsitoImport connessionePersa();
    // The rejects take their place; false (and the run failed) when they
    // cannot be written.
    bool chiudiScarti();
    // A write of the rejects failed during the pass: the run stops and
    // keeps nothing, as the user would not learn which lines were left out.
    EsitoImport scartiNonScritti();

    enum class Lettura { Riga, Fine, Interrotta };
    // The next data line of a pass: a confirmed stop and the skipped header
    // line are handled here, the same way in every pass.
    // `primaDiFermarsi` runs before a confirmed stop is carried out; false
    // when it has ended the run itself.
    Lettura prossimaRiga(QString &testo, bool &nonValida, qint64 &numero,
                         const std::function<bool()> &primaDiFermarsi = {});

    // The key values of a line; false (with the message to write in
    // `motivo`) when one does not convert or holds control characters.
    // With `soloVerifica` the values are not kept (the insert converts the
    // fields itself), which spares a copy of every text key.
    bool chiaviDellaRiga(const Campi &campi, qint64 numero, std::vector<db::FieldValue> &valori, QString &motivo,
                         bool soloVerifica = false);
    // A column's value from the line; `messaggio` gets the text that tells
    // a value that does not convert (written only if the value is sent).
    void valoreColonna(const TCampo &c, const Campi &campi, qint64 numero, db::FieldValue &valore, QString &messaggio);

    // One line ready for the statements: every column's value converted
    // once (with its message, if any) and the key values.
    struct RigaPronta
    {
        qint64 numero = 0;
        QByteArray grezza; // as in the file, only when rejects are kept
        std::vector<db::FieldValue> valori;
        std::vector<QString> messaggi;
        std::vector<db::FieldValue> chiavi;
    };
    // `grezza`: the line as in the file, kept when rejects are written.
    void preparaRiga(const Campi &campi, qint64 numero, RigaPronta &pronta, QByteArrayView grezza);
    // The messages of the columns a statement sends (parameter >= 0).
    void scriviMessaggi(const RigaPronta &pronta, const std::vector<int> &parametri);
    // The line through the statements of one line: lookup, update, insert.
    std::optional<EsitoImport> eseguiRiga(const RigaPronta &pronta);
    // The lines waiting for a block: sent as one block, or one by one when
    // there are fewer than a block or the block fails.
    std::optional<EsitoImport> svuotaBlocco();
    void preparaBlocco();
    // The prepared block for `quante` waiting lines, run once: true with
    // m_esitiBlocco filled, false when the server refused it (undone whole;
    // `duplicato` tells whether a key already there was the reason).
    bool eseguiBlocco(db::Statement &blocco, bool conEsiti, size_t quante, bool &duplicato);
    void avanza(qint64 letti, bool forza = false);

    ImportRun &r;
    // The destination as the catalogue holds it, asked again at the start
    // of the run: every statement names it quoted.
    QString m_tabella;
    platform::RunFeedback &m_sink;
    FasiImport m_nessunaFase;
    FasiImport &m_fasi;
    QString m_file;
    bool m_salta;
    const OpzioniImport m_opzioni;
    const TParametriScript &p;
    RigheScartate m_scarti;
    QString m_ultimaRiga;

    std::unique_ptr<db::Statement> m_insert, m_lookup, m_update;
    std::unique_ptr<db::Statement> m_dupLookup, m_dupInsert, m_dupMarca;
    std::vector<int> m_insertParam, m_updateParam, m_updateChiavi, m_lookupChiavi;
    std::vector<int> m_dupLookupChiavi, m_dupInsertChiavi, m_dupMarcaChiavi;
    std::vector<db::FieldValue> m_costanti;
    bool m_insertVerifica = false;

    // Lines sent to the server in blocks (see preparaBlocco).
    std::unique_ptr<db::Statement> m_blocco;
    // Adding only with the insert as the lookup: m_blocco is the plain
    // inserts, m_bloccoGestore the same with the refusal of a key that is
    // there handled per line, used from the first such refusal on.
    std::unique_ptr<db::Statement> m_bloccoGestore;
    bool m_conGestore = false;
    bool m_bloccoConEsiti = true;
    int m_righeBlocco = 0;
    // Per line of the block, in marker order: a key (true) or a column
    // (false) and its index.
    std::vector<std::pair<bool, int>> m_marcatoriRiga;
    std::vector<RigaPronta> m_inAttesa;
    size_t m_quanteInAttesa = 0;
    std::vector<qint64> m_esitiBlocco;
    qint64 m_totali = 0;
    DataFileReader m_reader;
};

ImportRun::ImportRun(db::Attachment &attachment, db::Transaction &transaction, const TParametriScript &parametri,
                     const QList<TCampo> &colonne, const QList<TCampo> &chiavi)
    : m_att(attachment), m_tra(transaction), m_parametri(parametri), m_colonne(colonne), m_chiavi(chiavi)
{
}

ImportRun::~ImportRun() = default;

EsitoImport ImportRun::esegui(const QString &fileDati, bool saltaPrimaRiga, platform::RunFeedback &sink,
                               const OpzioniImport &opzioni, FasiImport *fasi)
{
    m_contatori = ContatoriImport();
    if (!QFileInfo(fileDati).isFile()) {
        sink.tell(platform::Warning, QStringLiteral("Attenzione: il file \"%1\" non esiste").arg(fileDati));
        return EsitoImport::NonAvviato;
    }
    // A picture or an archive picked by mistake would otherwise go in as a
    // few rows of binary keys and end as a completed run.
    QString motivo;
    switch (esaminaFileDati(fileDati, &motivo)) {
    case FileDati::Testo:
        break;
    case FileDati::NonTesto:
        sink.tell(platform::Error, QStringLiteral("Il file \"%1\" non è un file di testo: importazione annullata").arg(fileDati));
        return EsitoImport::NonAvviato;
    case FileDati::Illeggibile:
        sink.tell(platform::Error, QStringLiteral("Impossibile leggere il file \"%1\":\n%2").arg(fileDati, motivo));
        return EsitoImport::NonAvviato;
    }
    if (!sink.confirm(QStringLiteral("Avviare l'elaborazione?")))
        return EsitoImport::NonAvviato;
    Impl impl(*this, sink, fasi, fileDati, saltaPrimaRiga, opzioni);
    return impl.esegui();
}

void ImportRun::Impl::avanza(qint64 letti, bool forza)
{
    if (forza)
        m_sink.report(letti, m_totali);
    else
        m_sink.step(letti, m_totali);
}

void ImportRun::Impl::preparaStatement()
{
    m_tabella = tabellaCatalogo(r.m_tra, p.tabellaDestinazione);
    if (m_tabella.isEmpty())
        throw db::Error(QStringLiteral("Tabella di destinazione inesistente"));
    const QString tabella = q(m_tabella);
    const QList<TCampo> &colonne = r.m_colonne;
    const QList<TCampo> &chiavi = r.m_chiavi;

    QStringList condizioni;
    for (const TCampo &k : chiavi)
        condizioni << QStringLiteral("%1=:%2").arg(q(k.nome), nomeParametro(k));
    condizioni = elencoConSeparatore(condizioni, QStringLiteral("AND"));
    QStringList nomiChiave;
    for (const TCampo &k : chiavi)
        nomiChiave << k.nome;

    m_costanti.assign(size_t(colonne.size()), std::nullopt);
    for (qsizetype i = 0; i < colonne.size(); ++i) {
        const TCampo &c = colonne[i];
        if (c.ruolo != RuoloCostante)
            continue;
        // A constant travels converted, as the file's values do: sent as text
        // a date would be read month first by the server, a decimal comma
        // would not be read at all.
        if (c.tipo == TipoTesto)
            m_costanti[size_t(i)] = db::Value(c.costante);
        else if (auto v = convertiValore(c.costante, c))
            m_costanti[size_t(i)] = *v;
        else
            m_costanti[size_t(i)] = db::Value(c.costante);
    }

    if (p.aggiungi) {
        QStringList nomi, valori;
        for (const TCampo &c : colonne) {
            nomi << q(c.nome);
            valori << (c.ruolo == RuoloGenerato ? QStringLiteral("GEN_ID(%1,1)").arg(q(c.generatore))
                                                : QStringLiteral(":%1").arg(nomeParametro(c)));
        }
        QStringList sql{QStringLiteral("INSERT INTO %1 (").arg(tabella)};
        sql << elencoConSeparatore(nomi, QStringLiteral(",")) << QStringLiteral(")") << QStringLiteral("VALUES(")
            << elencoConSeparatore(valori, QStringLiteral(",")) << QStringLiteral(")");
        m_insert = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_insert->setSql(sql);
        m_insert->prepare();
        m_insertParam.clear();
        for (const TCampo &c : colonne)
            m_insertParam.push_back(c.ruolo == RuoloGenerato ? -1 : indiceParametro(*m_insert, nomeParametro(c)));
    }

    const bool soloGenerato = chiavi.size() == 1
                              && std::any_of(colonne.begin(), colonne.end(), [&](const TCampo &c) {
                                     return c.ruolo == RuoloGenerato && c.nome == chiavi.first().nome;
                                 });
    // Adding only, on the table's one unique index: the insert itself says
    // whether the row is there (a duplicate-key refusal), which spares a
    // lookup per line and ends in the same rows and counters.
    m_insertVerifica = false;
    if (p.aggiungi && !p.aggiorna && p.aggiornaPersonalizzato.isEmpty() && !chiavi.isEmpty() && !soloGenerato) {
        const std::vector<QStringList> indici = db::catalog::relationUniqueIndexes(r.m_tra, m_tabella);
        if (indici.size() == 1) {
            QStringList a = indici.front(), b = nomiChiave;
            a.sort();
            b.sort();
            m_insertVerifica = a == b;
        }
    }
    // With updating on, the update itself finds the rows (rows affected
    // > 0): a lookup first would double the statements per line.
    if (!chiavi.isEmpty() && !soloGenerato && !m_insertVerifica && !p.aggiorna) {
        QStringList colonneChiave;
        for (const TCampo &k : chiavi)
            colonneChiave << q(k.nome);
        QStringList sql{QStringLiteral("SELECT")};
        sql << elencoConSeparatore(colonneChiave, QStringLiteral(",")) << QStringLiteral("FROM %1").arg(tabella)
            << QStringLiteral("WHERE") << condizioni;
        m_lookup = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_lookup->setSql(sql);
        m_lookup->prepare();
        m_lookupChiavi.clear();
        for (const TCampo &k : chiavi)
            m_lookupChiavi.push_back(indiceParametro(*m_lookup, nomeParametro(k)));
    }

    if (p.aggiorna) {
        QStringList assegna;
        for (const TCampo &c : colonne) {
            if (c.ruolo == RuoloGenerato || c.ruolo == RuoloEsclusoAggiornamento)
                assegna << QStringLiteral("%1=%1").arg(q(c.nome));
            else
                assegna << QStringLiteral("%1=:%2").arg(q(c.nome), nomeParametro(c));
        }
        QStringList sql{QStringLiteral("UPDATE %1 SET").arg(tabella)};
        sql << elencoConSeparatore(assegna, QStringLiteral(",")) << QStringLiteral("WHERE") << condizioni;
        m_update = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_update->setSql(sql);
        m_update->prepare();
        m_updateParam.clear();
        for (const TCampo &c : colonne) {
            const bool scritto = c.ruolo != RuoloGenerato && c.ruolo != RuoloEsclusoAggiornamento;
            m_updateParam.push_back(scritto ? indiceParametro(*m_update, nomeParametro(c)) : -1);
        }
        m_updateChiavi.clear();
        for (const TCampo &k : chiavi)
            m_updateChiavi.push_back(indiceParametro(*m_update, nomeParametro(k)));
    }
    if (m_insertParam.empty())
        m_insertParam.assign(size_t(colonne.size()), -1);
    if (m_updateParam.empty())
        m_updateParam.assign(size_t(colonne.size()), -1);
    preparaBlocco();
}

EsitoImport ImportRun::Impl::esegui()
{
    m_fasi.inizio();
    (void)m_sink.interruptRequested();
    if (!m_opzioni.fileScarti.isEmpty()) {
        if (!m_scarti.apri(m_opzioni.fileScarti)) {
            log(m_scarti.errore());
            m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
            m_fasi.fine();
            return EsitoImport::NonAvviato;
        }
    }
    EsitoImport esito = EsitoImport::Completato;
    // Commit points of a run, all on the work context's transaction, which
    // starts here afresh (whatever was open is rolled back):
    // - with the duplicate check, the drop of an old TMP_DUPLICATI and the
    //   creation of the new one each commit (retaining), which also makes the
    //   deletion by reference value permanent (eliminaTabellaDuplicati,
    //   creaTabellaDuplicati);
    // - the import pass commits once, retaining, after its last line and the
    //   summary (passoImport); blocks of lines add no commit of their own;
    // - the final drop of TMP_DUPLICATI commits again (pulizia).
    // Every other end (interruption, lost connection, too many failures,
    // rejects not written) rolls back what the passes did.
    try {
        if (r.m_tra.isActive())
            r.m_tra.rollback();
        r.m_tra.start();
        preparaStatement();

        m_fasi.mostraAvanzamento(true);
        logOra(QStringLiteral("Scansione preliminare file"));
        m_totali = contaRigheDati(m_file, m_salta);
        if (m_totali < 0)
            m_totali = 0;
        r.m_contatori.totali = m_totali;
        log(QStringLiteral("Individuati %1 record nel file").arg(m_totali));

        if (m_totali == 0) {
            esito = EsitoImport::NessunDato;
        } else if (p.eliminaRecordCampoRiferimento && !eliminazione()) {
            m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
            esito = EsitoImport::EliminazioneFallita;
        } else {
            std::optional<EsitoImport> fermo;
            if (p.controlloDuplicati)
                fermo = passoDuplicati();
            esito = fermo ? *fermo : passoImport();
        }
    } catch (const db::Error &e) {
        // A statement the server refuses to prepare: nothing was written.
        log(QStringLiteral("Istruzione rifiutata dal database, elaborazione non avviata: ") + e.message());
        m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
        esito = EsitoImport::NonAvviato;
        m_scarti.annulla();
    }
    if (m_scarti.aperto()) {
        // A run that did not complete says in its log how it ended: the
        // lines before the stop were undone with the rest.
        m_scarti.nota(m_ultimaRiga);
        if (!chiudiScarti())
            esito = EsitoImport::Fallito;
    }
    pulizia();
    if (esito == EsitoImport::Completato)
        m_sink.tell(platform::Information, QStringLiteral("Elaborazione terminata"));
    return esito;
}

void ImportRun::Impl::rollbackSeAttiva()
{
    try {
        if (r.m_tra.isActive())
            r.m_tra.rollbackRetaining();
    } catch (const db::Error &) {
        // The connection is gone: the server undoes the work by itself.
    }
}

void ImportRun::Impl::scarta(qint64 numero, QByteArrayView grezza, const QString &motivo)
{
    if (m_scarti.aperto())
        m_scarti.aggiungi(numero, grezza, motivo);
}

bool ImportRun::Impl::oltreIlLimite() const
{
    return m_opzioni.maxErrori >= 0 && r.m_contatori.falliti > m_opzioni.maxErrori;
}

EsitoImport ImportRun::Impl::fermaPerErrori()
{
    m_reader.close();
    rollbackSeAttiva();
    logOra(QStringLiteral("acquisizione interrotta: più di %1 record falliti, le modifiche dell'elaborazione sono state annullate")
               .arg(formatoNumero(m_opzioni.maxErrori)));
    m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
    return EsitoImport::Fallito;
}

EsitoImport ImportRun::Impl::connessionePersa()
{
    m_reader.close();
    rollbackSeAttiva();
    logOra(QStringLiteral("acquisizione interrotta: la connessione al database è stata persa, le modifiche dell'elaborazione non sono state salvate"));
    m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
    return EsitoImport::Fallito;
}

bool ImportRun::Impl::chiudiScarti()
{
    if (m_scarti.chiudi())
        return true;
    log(m_scarti.errore());
    m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
    return false;
}

EsitoImport ImportRun::Impl::scartiNonScritti()
{
    m_reader.close();
    rollbackSeAttiva();
    (void)chiudiScarti();
    logOra(QStringLiteral("acquisizione interrotta"));
    return EsitoImport::Fallito;
}

bool ImportRun::Impl::eliminazione()
{
    logOra(QStringLiteral("Inizio eliminazione dati campo di riferimento"));
    const QString &campo = p.campoRiferimento;
    const QString &valore = p.valoreCampoRiferimento;
    const TCampo *colonna = nullptr;
    try {
        // The field comes from the script unchecked: only a real column of
        // the table may stand in the WHERE clause, named as the catalogue
        // holds it.
        const QString nome = campoCatalogo(r.m_tra, m_tabella, campo);
        for (const TCampo &c : r.m_colonne) {
            if (!nome.isEmpty() && c.nome == nome)
                colonna = &c;
        }
        if (!colonna)
            throw db::Error(QStringLiteral("Campo di riferimento inesistente"));
        db::Statement del(r.m_att, r.m_tra);
        del.setSql(QStringList{QStringLiteral("DELETE FROM %1").arg(q(m_tabella)),
                               QStringLiteral("WHERE %1=:VALORE").arg(q(colonna->nome))});
        std::optional<db::Value> v = colonna->tipo == TipoTesto ? std::nullopt : convertiValore(valore, *colonna);
        del.setParam(QStringLiteral("VALORE"), v ? *v : db::Value(valore));
        del.execute();
        logOra(QStringLiteral("Eliminazione dati campo di riferimento terminata (%1 record)").arg(del.rowsAffected()));
        return true;
    } catch (const db::Error &) {
        log(QStringLiteral("Errore interno di DELETE: impossibile eliminare i record con %1 pari a \"%2\"").arg(campo, valore));
        return false;
    }
}

ImportRun::Impl::Lettura ImportRun::Impl::prossimaRiga(QString &testo, bool &nonValida, qint64 &numero,
                                                       const std::function<bool()> &primaDiFermarsi)
{
    for (;;) {
        if (m_sink.interruptRequested()) {
            if (primaDiFermarsi && !primaDiFermarsi())
                return Lettura::Interrotta;
            interrompi();
            m_reader.close();
            return Lettura::Interrotta;
        }
        if (!m_reader.readLine(testo, nonValida))
            return Lettura::Fine;
        numero = m_reader.lineNumber();
        if (!(m_salta && numero == 1))
            return Lettura::Riga;
    }
}

void ImportRun::Impl::interrompi()
{
    rollbackSeAttiva();
    logOra(QStringLiteral("acquisizione interrotta"));
}

bool ImportRun::Impl::chiaviDellaRiga(const Campi &campi, qint64 numero, std::vector<db::FieldValue> &valori,
                                      QString &motivo, bool soloVerifica)
{
    const QList<TCampo> &chiavi = r.m_chiavi;
    valori.resize(size_t(chiavi.size()));
    for (qsizetype i = 0; i < chiavi.size(); ++i) {
        const TCampo &k = chiavi[i];
        const QStringView testo = campi[k.posizione];
        if (testo.isEmpty()) {
            valori[size_t(i)].reset();
            continue;
        }
        // A key with a control character (a CR, a stray byte, the line-break
        // tag) would become a row nobody can type or find again.
        const bool controlli = haCaratteriControllo(testo);
        if (soloVerifica && k.tipo == TipoTesto && !controlli)
            continue;
        std::optional<db::Value> v;
        if (!controlli)
            v = convertiValore(testo, k);
        if (!v) {
            motivo = QStringLiteral("Riga %1: valore \"%2\" non valido per il campo n° %3 (%4)")
                         .arg(riga(numero), testoVisibile(testo.toString()), QString::number(k.posizione + 1), k.nome);
            return false;
        }
        valori[size_t(i)] = std::move(*v);
    }
    return true;
}

void ImportRun::Impl::valoreColonna(const TCampo &c, const Campi &campi, qint64 numero, db::FieldValue &valore,
                                    QString &messaggio)
{
    const QStringView testo = campi[c.posizione];
    valore.reset();
    messaggio.clear();
    if (testo.isEmpty())
        return;
    if (c.ruolo == RuoloAumentoPercentuale) {
        if (auto d = decimaleDaTesto(testo)) {
            valore = db::Value(*d * (1.0 + c.percentuale / 100.0));
        } else {
            messaggio = QStringLiteral("Riga %1: valore \"%2\" non valido per il campo n° %3 (%4)")
                            .arg(riga(numero), testo.toString(), QString::number(c.posizione + 1), c.nome);
        }
        return;
    }
    if (auto v = convertiValore(testo, c))
        valore = std::move(*v);
    else
        messaggio = QStringLiteral("Riga %1, campo \"%2\": valore \"%3\" non valido").arg(riga(numero), c.nome, testo.toString());
}

void ImportRun::Impl::preparaRiga(const Campi &campi, qint64 numero, RigaPronta &pronta, QByteArrayView grezza)
{
    const QList<TCampo> &colonne = r.m_colonne;
    pronta.numero = numero;
    pronta.grezza = grezza.toByteArray();
    pronta.valori.resize(size_t(colonne.size()));
    pronta.messaggi.resize(size_t(colonne.size()));
    for (qsizetype i = 0; i < colonne.size(); ++i) {
        const TCampo &c = colonne[i];
        if (c.ruolo == RuoloCostante) {
            pronta.valori[size_t(i)] = m_costanti[size_t(i)];
            pronta.messaggi[size_t(i)].clear();
        } else if (c.ruolo == RuoloGenerato) {
            pronta.valori[size_t(i)].reset();
            pronta.messaggi[size_t(i)].clear();
        } else {
            valoreColonna(c, campi, numero, pronta.valori[size_t(i)], pronta.messaggi[size_t(i)]);
        }
    }
}

void ImportRun::Impl::scriviMessaggi(const RigaPronta &pronta, const std::vector<int> &parametri)
{
    for (size_t i = 0; i < pronta.messaggi.size(); ++i)
        if (parametri[i] >= 0 && !pronta.messaggi[i].isEmpty())
            log(pronta.messaggi[i]);
}

std::optional<EsitoImport> ImportRun::Impl::passoDuplicati()
{
    const QList<TCampo> &chiavi = r.m_chiavi;
    QStringList nomi;
    for (const TCampo &k : chiavi)
        nomi << k.nome;
    logOra(QStringLiteral("Inizio controllo duplicati (%1)").arg(nomi.join(u',')));
    m_sink.progress(0);

    auto fallito = [&](const QString &messaggio) -> std::optional<EsitoImport> {
        log(messaggio);
        m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
        return EsitoImport::DuplicatiFalliti;
    };

    try {
        eliminaTabellaDuplicati();
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Impossibile azzerare la tabella di appoggio per il controllo duplicati: %1").arg(e.message()));
    }
    try {
        creaTabellaDuplicati();
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Errore interno durante il controllo duplicati: %1").arg(e.message()));
    }

    QStringList condizioni;
    for (const TCampo &k : chiavi)
        condizioni << QStringLiteral("(%1=:%2)").arg(q(k.nome), nomeParametro(k));
    condizioni = elencoConSeparatore(condizioni, QStringLiteral("AND"));
    QStringList insert{QStringLiteral("INSERT INTO TMP_DUPLICATI (")};
    QStringList valori{QStringLiteral("VALUES(")};
    for (const TCampo &k : chiavi) {
        insert << q(k.nome) + u',';
        valori << u':' + nomeParametro(k) + u',';
    }
    insert << QStringLiteral("INSERITO") << QStringLiteral(")") << valori << QStringLiteral("0") << QStringLiteral(")");
    try {
        m_dupLookup = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_dupLookup->setSql(QStringList{QStringLiteral("SELECT INSERITO"), QStringLiteral("FROM TMP_DUPLICATI"),
                                        QStringLiteral("WHERE")}
                            + condizioni);
        m_dupInsert = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_dupInsert->setSql(insert);
        m_dupLookupChiavi.clear();
        m_dupInsertChiavi.clear();
        for (const TCampo &k : chiavi) {
            m_dupLookupChiavi.push_back(indiceParametro(*m_dupLookup, nomeParametro(k)));
            m_dupInsertChiavi.push_back(indiceParametro(*m_dupInsert, nomeParametro(k)));
        }
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Errore interno durante il controllo duplicati: %1").arg(e.message()));
    }

    if (!m_reader.open(m_file))
        return fallito(QStringLiteral("Errore interno durante il controllo duplicati: %1").arg(m_file));
    QString testo;
    bool nonValida = false;
    Campi campi;
    std::vector<db::FieldValue> valoriChiave(size_t(chiavi.size()));
    qint64 letti = 0;
    for (;;) {
        qint64 numero = 0;
        const Lettura lettura = prossimaRiga(testo, nonValida, numero);
        if (lettura == Lettura::Interrotta)
            return EsitoImport::Interrotto;
        if (lettura == Lettura::Fine)
            break;
        avanza(++letti);
        if (nonValida)
            continue; // reported once, by the import pass
        campi.dividi(testo);
        bool controlli = false;
        for (const TCampo &k : chiavi)
            controlli = controlli || haCaratteriControllo(campi[k.posizione]);
        if (controlli)
            continue; // refused, and reported once, by the import pass
        for (qsizetype i = 0; i < chiavi.size(); ++i) {
            const TCampo &k = chiavi[i];
            const QStringView t = campi[k.posizione];
            valoriChiave[size_t(i)].reset();
            if (t.isEmpty())
                continue;
            std::optional<db::Value> v = convertiValore(t, k);
            if (!v) {
                m_reader.close();
                return fallito(QStringLiteral("Errore interno durante il controllo dei duplicati, riga %1, campo \"%2\": valore \"%3\" non valido")
                                   .arg(riga(numero), k.nome, t.toString()));
            }
            valoriChiave[size_t(i)] = std::move(*v);
        }
        try {
            for (size_t i = 0; i < valoriChiave.size(); ++i)
                m_dupLookup->setParam(m_dupLookupChiavi[i], valoriChiave[i]);
            db::ResultSet rs = m_dupLookup->open();
            if (!rs.next()) {
                rs.close();
                for (size_t i = 0; i < valoriChiave.size(); ++i)
                    m_dupInsert->setParam(m_dupInsertChiavi[i], valoriChiave[i]);
                m_dupInsert->execute();
            } else {
                rs.close();
                QStringList coppie;
                for (qsizetype i = 0; i < chiavi.size(); ++i)
                    coppie << QStringLiteral("\"%1\" = \"%2\"").arg(chiavi[i].nome, campi[chiavi[i].posizione].toString());
                log(QStringLiteral("Trovata una combinazione di valori campi univoci presente più di una volta:"));
                log(coppie.join(u','));
            }
        } catch (const db::Error &e) {
            if (r.m_tra.isActive())
                r.m_tra.rollbackRetaining();
            m_reader.close();
            return fallito(QStringLiteral("Errore interno durante il controllo dei duplicati, riga %1: %2").arg(riga(numero), e.message()));
        }
    }
    m_reader.close();
    avanza(letti, true);
    logOra(QStringLiteral("Controllo duplicati terminato"));

    try {
        m_dupMarca = std::make_unique<db::Statement>(r.m_att, r.m_tra);
        m_dupMarca->setSql(QStringList{QStringLiteral("UPDATE TMP_DUPLICATI SET"), QStringLiteral("INSERITO=1"),
                                       QStringLiteral("WHERE")}
                           + condizioni);
        m_dupMarcaChiavi.clear();
        for (const TCampo &k : chiavi)
            m_dupMarcaChiavi.push_back(indiceParametro(*m_dupMarca, nomeParametro(k)));
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Errore interno durante il controllo duplicati: %1").arg(e.message()));
    }
    return std::nullopt;
}

void ImportRun::Impl::eliminaTabellaDuplicati()
{
    const bool esiste = db::catalog::relationExists(r.m_tra, QStringLiteral("TMP_DUPLICATI"));
    if (esiste) {
        db::executeSql(r.m_att, r.m_tra, QStringLiteral("DROP TABLE TMP_DUPLICATI"));
        r.m_tra.commitRetaining();
    }
}

void ImportRun::Impl::creaTabellaDuplicati()
{
    QStringList nomi, letterali;
    for (const TCampo &k : r.m_chiavi) {
        nomi << q(k.nome);
        letterali << QStringLiteral("'%1'").arg(letteraleSql(k.nome));
    }
    // Built on the server from the catalogue so that each key column gets
    // its table's own type. Scaled SMALLINT and INTEGER columns (NUMERIC
    // with few digits) keep their scale: as plain integers 12,50 and 12,60
    // would meet as the same key. TIPO is wide enough for the longest text,
    // "BLOB SUB_TYPE TEXT". Any other type gives no text and the creation
    // fails with the server's message. Each key column is named quoted, as
    // the catalogue holds it ("cod" and COD stay two columns).
    const QString blocco = QStringList{
        QStringLiteral("EXECUTE BLOCK AS"),
        QStringLiteral("DECLARE VARIABLE CAMPO VARCHAR(31);"),
        QStringLiteral("DECLARE VARIABLE TIPO VARCHAR(31);"),
        QStringLiteral("DECLARE VARIABLE DDLTABELLA VARCHAR(1028);"),
        QStringLiteral("BEGIN"),
        QStringLiteral("  DDLTABELLA = 'CREATE TABLE TMP_DUPLICATI(';"),
        QStringLiteral("  FOR SELECT TRIM(RF.RDB$FIELD_NAME),"),
        QStringLiteral("    CASE"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE IN (7, 8, 16) AND F.RDB$FIELD_SCALE < 0 THEN"),
        QStringLiteral("        'DECIMAL(' || IIF(COALESCE(F.RDB$FIELD_PRECISION, 0) > 0, F.RDB$FIELD_PRECISION, 18) || ',' || (-F.RDB$FIELD_SCALE) || ')'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 7 THEN 'SMALLINT'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 8 THEN 'INTEGER'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 10 THEN 'FLOAT'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 12 THEN 'DATE'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 13 THEN 'TIME'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 16 THEN 'BIGINT'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 27 THEN 'DOUBLE PRECISION'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 35 THEN 'TIMESTAMP'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 37 THEN 'VARCHAR(' || F.RDB$CHARACTER_LENGTH || ')'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 261 AND F.RDB$FIELD_SUB_TYPE = 0 THEN 'BLOB'"),
        QStringLiteral("      WHEN F.RDB$FIELD_TYPE = 261 AND F.RDB$FIELD_SUB_TYPE = 1 THEN 'BLOB SUB_TYPE TEXT'"),
        QStringLiteral("    END"),
        QStringLiteral("  FROM RDB$RELATION_FIELDS RF"),
        QStringLiteral("  JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE"),
        QStringLiteral("  WHERE RF.RDB$RELATION_NAME = '%1'").arg(letteraleSql(m_tabella)),
        QStringLiteral("    AND TRIM(RF.RDB$FIELD_NAME) IN (%1)").arg(letterali.join(u',')),
        QStringLiteral("  ORDER BY RF.RDB$FIELD_POSITION"),
        QStringLiteral("  INTO :CAMPO, :TIPO"),
        QStringLiteral("  DO DDLTABELLA = DDLTABELLA || '\"' || REPLACE(CAMPO, '\"', '\"\"') || '\" ' || TIPO || ',';"),
        QStringLiteral("  DDLTABELLA = DDLTABELLA || 'INSERITO SMALLINT)';"),
        QStringLiteral("  EXECUTE STATEMENT DDLTABELLA;"),
        QStringLiteral("  EXECUTE STATEMENT 'CREATE INDEX TMP_DUPLICATI_IDX1 ON TMP_DUPLICATI (%1)';").arg(letteraleSql(nomi.join(u','))),
        QStringLiteral("END"),
    }.join(u'\n');
    db::executeSql(r.m_att, r.m_tra, blocco, db::ParamStyle::AsWritten);
    r.m_tra.commitRetaining();
}

EsitoImport ImportRun::Impl::passoImport()
{
    ContatoriImport &n = r.m_contatori;

    logOra(QStringLiteral("Inizio acquisizione file"));
    m_sink.progress(0);
    if (!m_reader.open(m_file)) {
        log(QStringLiteral("Attenzione: il file \"%1\" non esiste").arg(m_file));
        m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
        return EsitoImport::NonAvviato;
    }

    qint64 letti = 0;
    if (auto e = m_blocco && !m_dupLookup ? righeInParallelo(letti) : righeInOrdine(letti))
        return *e;
    if (auto e = svuotaBlocco())
        return *e;
    m_reader.close();
    avanza(letti, true);

    logOra(QStringLiteral("Terminata acquisizione file"));
    log(QStringLiteral("Record aggiornati: %1").arg(formatoNumero(n.aggiornati)));
    log(QStringLiteral("Record aggiunti: %1").arg(formatoNumero(n.aggiunti)));
    log(QStringLiteral("Record falliti: %1").arg(formatoNumero(n.falliti)));
    if (p.controlloDuplicati)
        log(QStringLiteral("Record esclusi perchè duplicati: %1").arg(formatoNumero(n.duplicati)));
    log(QStringLiteral("Record totali: %1").arg(formatoNumero(n.totali)));
    // The rejects go in place before the rows are committed: a run whose
    // rejects are lost is a failed run, and then it keeps nothing.
    if (!chiudiScarti()) {
        rollbackSeAttiva();
        return EsitoImport::Fallito;
    }
    try {
        // The one commit of the import pass.
        if (r.m_tra.isActive())
            r.m_tra.commitRetaining();
    } catch (const db::Error &e) {
        log(QStringLiteral("Conferma delle modifiche non riuscita: ") + e.message());
        m_sink.tell(platform::Error, QStringLiteral("Elaborazione interrotta"));
        return EsitoImport::Fallito;
    }
    return EsitoImport::Completato;
}

std::optional<EsitoImport> ImportRun::Impl::rigaNonValida(qint64 numero, QByteArrayView grezza)
{
    if (auto e = svuotaBlocco())
        return e;
    const QString motivo = QStringLiteral("Riga %1: la riga contiene caratteri non validi e non è stata acquisita").arg(riga(numero));
    log(motivo);
    ++r.m_contatori.falliti;
    scarta(numero, grezza, motivo);
    if (oltreIlLimite())
        return fermaPerErrori();
    return std::nullopt;
}

std::optional<EsitoImport> ImportRun::Impl::chiaveNonValida(qint64 numero, QByteArrayView grezza, const QString &motivo)
{
    if (auto e = svuotaBlocco())
        return e;
    log(motivo);
    ++r.m_contatori.saltati;
    scarta(numero, grezza, motivo);
    return std::nullopt;
}

std::optional<EsitoImport> ImportRun::Impl::scartiFalliti()
{
    if (auto e = svuotaBlocco())
        return e;
    return scartiNonScritti();
}

std::optional<EsitoImport> ImportRun::Impl::righeInOrdine(qint64 &letti)
{
    const QList<TCampo> &chiavi = r.m_chiavi;
    ContatoriImport &n = r.m_contatori;
    const QString a_capo = QStringLiteral("\r\n");
    QString testo;
    bool nonValida = false;
    Campi campi;
    std::vector<db::FieldValue> valoriChiave;
    RigaPronta singola;
    // A stop asked for while lines wait for their block: they are sent
    // first, so that the summary holds what a line-by-line run would show.
    std::optional<EsitoImport> fermo;
    const auto primaDiFermarsi = [&] {
        fermo = svuotaBlocco();
        return !fermo;
    };
    for (;;) {
        qint64 numero = 0;
        const Lettura lettura = prossimaRiga(testo, nonValida, numero, primaDiFermarsi);
        if (lettura == Lettura::Interrotta)
            return fermo ? *fermo : EsitoImport::Interrotto;
        if (lettura == Lettura::Fine)
            break;
        if (m_scarti.fallito())
            return scartiFalliti();
        if (!p.tagCR.isEmpty())
            testo.replace(p.tagCR, a_capo);
        avanza(++letti);

        if (nonValida) {
            if (auto e = rigaNonValida(numero, m_reader.rawLine()))
                return e;
            continue;
        }
        campi.dividi(testo);

        if (m_dupLookup) {
            bool valida = true;
            valoriChiave.assign(size_t(chiavi.size()), std::nullopt);
            for (qsizetype i = 0; i < chiavi.size(); ++i) {
                const QStringView t = campi[chiavi[i].posizione];
                if (t.isEmpty())
                    continue;
                if (haCaratteriControllo(t))
                    valida = false;
                else if (auto v = convertiValore(t, chiavi[i]))
                    valoriChiave[size_t(i)] = std::move(*v);
                else
                    valida = false; // the duplicate pass has already refused such a line
            }
            if (valida) {
                bool duplicata = false;
                try {
                    for (size_t i = 0; i < valoriChiave.size(); ++i)
                        m_dupLookup->setParam(m_dupLookupChiavi[i], valoriChiave[i]);
                    db::ResultSet rs = m_dupLookup->open();
                    if (rs.next()) {
                        const std::optional<qint64> inserito = rs.toInt64(0);
                        duplicata = inserito && *inserito > 0;
                    }
                } catch (const db::Error &e) {
                    // Unchecked, the line could go in a second time: it is
                    // left out and the user is told why, as a failed lookup
                    // of the destination is.
                    const QString motivo = QStringLiteral("Errore interno durante l'analisi della riga %1: %2").arg(riga(numero), e.message());
                    log(motivo);
                    if (e.isConnectionLost())
                        return connessionePersa();
                    ++n.saltati;
                    scarta(numero, motivo);
                    continue;
                }
                if (duplicata) {
                    ++n.duplicati;
                    if (m_scarti.aperto()) {
                        QStringList coppie;
                        for (const TCampo &k : chiavi)
                            coppie << QStringLiteral("\"%1\" = \"%2\"").arg(k.nome, campi[k.posizione].toString());
                        scarta(numero, QStringLiteral("Trovata una combinazione di valori campi univoci presente più di una volta: ")
                                           + coppie.join(u','));
                    }
                    continue;
                }
                try {
                    for (size_t i = 0; i < valoriChiave.size(); ++i)
                        m_dupMarca->setParam(m_dupMarcaChiavi[i], valoriChiave[i]);
                    m_dupMarca->execute();
                } catch (const db::Error &e) {
                    if (e.isConnectionLost()) {
                        log(QStringLiteral("Attenzione: il controllo duplicati per il record %1 è fallito:\n%2").arg(riga(numero), e.message()));
                        return connessionePersa();
                    }
                    const QString domanda = QStringLiteral("Attenzione: il controllo duplicati per il record %1 è fallito:\n%2\nContinuare lo stesso?")
                                                .arg(riga(numero), e.message());
                    if (!m_sink.confirm(domanda, platform::Warning)) {
                        interrompi();
                        m_reader.close();
                        return EsitoImport::Interrotto;
                    }
                }
            }
        }

        // Adding only with the insert as the lookup: the keys are checked
        // here all the same, so that a key that does not convert skips the
        // line as it does with a lookup, instead of going in as NULL.
        RigaPronta &pronta = m_blocco ? m_inAttesa[m_quanteInAttesa] : singola;
        if (m_lookup || m_update || m_insertVerifica) {
            QString motivo;
            if (!chiaviDellaRiga(campi, numero, pronta.chiavi, motivo, !m_lookup && !m_update)) {
                if (auto e = chiaveNonValida(numero, m_reader.rawLine(), motivo))
                    return e;
                continue;
            }
        }
        preparaRiga(campi, numero, pronta, m_scarti.aperto() ? m_reader.rawLine() : QByteArrayView());
        if (m_blocco) {
            if (++m_quanteInAttesa == m_inAttesa.size()) {
                if (auto e = svuotaBlocco())
                    return *e;
            }
        } else if (auto e = eseguiRiga(pronta)) {
            return *e;
        }
    }
    return std::nullopt;
}

// Reading, splitting and converting the lines take about as long as the
// engine's own work on them. With the lines going in blocks and nothing
// asked of the database per line before its block, a second thread reads
// and prepares the lines while this one runs the blocks. Everything the
// user reads (log, counters, rejects, their order, the stop) is done here,
// line by line in the order of the file, as righeInOrdine does it.
std::optional<EsitoImport> ImportRun::Impl::righeInParallelo(qint64 &letti)
{
    // The second thread reads with a reader of its own: m_reader is closed
    // by the ways out of the run, which may come while that thread reads.
    DataFileReader file;
    if (!file.open(m_file))
        return righeInOrdine(letti);
    m_reader.close();

    struct Linea
    {
        enum Stato { Pronta, NonValida, ChiaveNonValida } stato = Pronta;
        qint64 numero = 0;
        QByteArray grezza; // for the rejects of a line not prepared
        QString motivo;
        RigaPronta pronta;
    };
    // A batch goes back to the reading thread once its lines are taken, so
    // that the vectors and texts of its lines are filled again instead of
    // being made anew for every line.
    struct Lotto
    {
        std::vector<Linea> linee;
        size_t quante = 0;
    };
    constexpr size_t kLineeLotto = 256;
    const bool conScarti = m_scarti.aperto();
    const bool conChiavi = m_lookup || m_update || m_insertVerifica;
    const bool soloVerifica = !m_lookup && !m_update;
    const QString a_capo = QStringLiteral("\r\n");

    platform::BoundedQueue<Lotto> coda(4), vuoti(8);
    platform::Producer<Lotto> lettore(coda, [&](platform::BoundedQueue<Lotto> &uscita) {
        QString testo;
        bool nonValida = false;
        Campi campi;
        Lotto lotto;
        while (file.readLine(testo, nonValida)) {
            const qint64 numero = file.lineNumber();
            if (m_salta && numero == 1)
                continue;
            if (lotto.quante == lotto.linee.size())
                lotto.linee.emplace_back();
            Linea &l = lotto.linee[lotto.quante++];
            l.stato = Linea::Pronta;
            l.numero = numero;
            l.motivo.clear();
            const QByteArrayView grezza = conScarti ? file.rawLine() : QByteArrayView();
            if (nonValida) {
                l.stato = Linea::NonValida;
                l.grezza = grezza.toByteArray();
            } else {
                if (!p.tagCR.isEmpty())
                    testo.replace(p.tagCR, a_capo);
                campi.dividi(testo);
                if (conChiavi && !chiaviDellaRiga(campi, numero, l.pronta.chiavi, l.motivo, soloVerifica)) {
                    l.stato = Linea::ChiaveNonValida;
                    l.grezza = grezza.toByteArray();
                } else {
                    preparaRiga(campi, numero, l.pronta, grezza);
                }
            }
            if (lotto.quante == kLineeLotto) {
                if (!uscita.put(std::move(lotto)))
                    return;
                lotto = Lotto();
                if (vuoti.tryTake(lotto))
                    lotto.quante = 0;
            }
        }
        uscita.put(std::move(lotto));
    });

    // Asked before every line and once more at the end, as prossimaRiga
    // does; the lines waiting for their block are sent first.
    const auto fermata = [&]() -> std::optional<EsitoImport> {
        if (auto e = svuotaBlocco())
            return e;
        interrompi();
        return EsitoImport::Interrotto;
    };
    // However the loop ends, the reading thread is stopped when this
    // function returns (lettore goes first).
    Lotto lotto;
    while (coda.take(lotto)) {
        for (size_t k = 0; k < lotto.quante; ++k) {
            Linea &l = lotto.linee[k];
            if (m_sink.interruptRequested())
                return fermata();
            if (m_scarti.fallito())
                return scartiFalliti();
            avanza(++letti);
            if (l.stato == Linea::NonValida) {
                if (auto e = rigaNonValida(l.numero, l.grezza))
                    return e;
                continue;
            }
            if (l.stato == Linea::ChiaveNonValida) {
                if (auto e = chiaveNonValida(l.numero, l.grezza, l.motivo))
                    return e;
                continue;
            }
            std::swap(m_inAttesa[m_quanteInAttesa], l.pronta);
            if (++m_quanteInAttesa == m_inAttesa.size()) {
                if (auto e = svuotaBlocco())
                    return e;
            }
        }
        (void)vuoti.tryPut(std::move(lotto));
        lotto = Lotto();
    }
    if (m_sink.interruptRequested())
        return fermata();
    return std::nullopt;
}

std::optional<EsitoImport> ImportRun::Impl::eseguiRiga(const RigaPronta &pronta)
{
    ContatoriImport &n = r.m_contatori;
    const qint64 numero = pronta.numero;
    const QByteArrayView grezza = m_scarti.aperto() ? QByteArrayView(pronta.grezza) : QByteArrayView();
    bool trovata = false;
    if (m_lookup) {
        try {
            for (size_t i = 0; i < pronta.chiavi.size(); ++i)
                m_lookup->setParam(m_lookupChiavi[i], pronta.chiavi[i]);
            db::ResultSet rs = m_lookup->open();
            trovata = rs.next();
        } catch (const db::Error &e) {
            const QString motivo = QStringLiteral("Errore interno durante l'analisi della riga %1: %2").arg(riga(numero), e.message());
            log(motivo);
            if (e.isConnectionLost())
                return connessionePersa();
            ++n.saltati;
            scarta(numero, grezza, motivo);
            return std::nullopt;
        }
    }

    if (m_update) {
        for (size_t i = 0; i < pronta.valori.size(); ++i)
            if (m_updateParam[i] >= 0)
                m_update->setParam(m_updateParam[i], pronta.valori[i]);
        for (size_t i = 0; i < pronta.chiavi.size(); ++i)
            m_update->setParam(m_updateChiavi[i], pronta.chiavi[i]);
        try {
            m_update->execute();
            const qint64 righe = m_update->rowsAffected();
            if (righe > 0) {
                // The conversion messages belong to the update only when it
                // touched a row; otherwise the insert reports them.
                trovata = true;
                scriviMessaggi(pronta, m_updateParam);
                n.aggiornati += righe;
                if (righe >= 2)
                    log(QStringLiteral("La riga %1 ha causato l'aggiornamento di %2 record").arg(riga(numero)).arg(righe));
            }
        } catch (const db::Error &e) {
            // Only a row that is there can make an update fail.
            scriviMessaggi(pronta, m_updateParam);
            const QString motivo = QStringLiteral("Errore di UPDATE relativo alla riga %1: %2").arg(riga(numero), motivoServer(e));
            log(motivo);
            ++n.falliti;
            if (e.isConnectionLost())
                return connessionePersa();
            scarta(numero, grezza, motivo);
            if (oltreIlLimite())
                return fermaPerErrori();
            return std::nullopt;
        }
        if (trovata)
            return std::nullopt;
    }

    if (m_insert && !trovata) {
        scriviMessaggi(pronta, m_insertParam);
        for (size_t i = 0; i < pronta.valori.size(); ++i)
            if (m_insertParam[i] >= 0)
                m_insert->setParam(m_insertParam[i], pronta.valori[i]);
        try {
            m_insert->execute();
            ++n.aggiunti;
        } catch (const db::Error &e) {
            if (m_insertVerifica && e.isDuplicateKey()) {
                m_conGestore = true; // the rows are there: the blocks handle them from now on
                return std::nullopt; // the row is there: neither added nor counted
            }
            const QString motivo = QStringLiteral("Errore di INSERT relativo alla riga %1: %2").arg(riga(numero), motivoServer(e));
            log(motivo);
            ++n.falliti;
            if (e.isConnectionLost())
                return connessionePersa();
            scarta(numero, grezza, motivo);
            if (oltreIlLimite())
                return fermaPerErrori();
        }
    }
    return std::nullopt;
}

// Through a server every statement is a network round trip, and a line
// costs one to three of them (update, the count of the rows it touched,
// insert). A block carries the statements of many lines in one round trip,
// each line's statements exactly as the single statements would run them
// (same parameter types, same conditions, same order), and gives back per
// line what the counters need: the rows updated, or -1 for a row added.
// A block that has nothing to give back (every line that goes through is
// added) is only executed: one round trip, where the answer of a block
// that gives back takes a second one (the server makes a block with
// outputs a cursor, opened and then fetched).
//
// A block fails whole: the server undoes it to its savepoint, and its lines
// are then run again one by one with the single statements, so that the
// failing line, its message and every counter are those of a run that never
// used blocks. The one exception handled inside the block is the refusal of
// a duplicate key when the insert itself is the lookup: there the single
// insert would end the same way (the row is there, nothing is counted).
// Handling it costs the server a savepoint per line, so the lines go as
// plain inserts (every line added, nothing to give back) until a block is
// refused for a key that is there; that block is sent again with the
// handler, and so is every later block of the run, as a file that holds
// one key already there usually holds many. A block refused for another
// reason (a check, a row another user holds) goes one by one at once:
// sent again with the handler it would fail again, or wait again.
//
// A row another user holds makes the block wait the lock timeout and fail,
// and its line waits once more when run again: such a line costs two waits
// instead of one; lines that meet no held row pay nothing for it.
//
// Not used with the duplicate check (every line asks TMP_DUPLICATI and may
// ask the user a question) nor when nothing would be written.
void ImportRun::Impl::preparaBlocco()
{
    m_blocco.reset();
    m_bloccoGestore.reset();
    m_conGestore = false;
    m_bloccoConEsiti = true;
    m_righeBlocco = 0;
    m_marcatoriRiga.clear();
    m_inAttesa.clear();
    m_quanteInAttesa = 0;
    if (p.controlloDuplicati || m_opzioni.righePerBlocco == 1 || (!m_insert && !m_update))
        return;
    if (m_lookup && !m_insert)
        return;

    const QString tabella = q(m_tabella);
    const QList<TCampo> &colonne = r.m_colonne;
    const QList<TCampo> &chiavi = r.m_chiavi;
    // Nothing to give back when every line that goes through is added.
    const bool conEsiti = m_update || m_lookup;

    const auto testoBlocco = [&](int righe, bool gestore, std::vector<std::pair<bool, int>> &marcatori) {
        db::ExecuteBlock b;
        marcatori.clear();
        for (int k = 0; k < righe; ++k) {
            // One parameter per value the line sends, declared on first use.
            std::vector<QString> perColonna(size_t(colonne.size())), perChiave(size_t(chiavi.size()));
            const auto colonna = [&](int i) {
                QString &nome = perColonna[size_t(i)];
                if (nome.isEmpty()) {
                    nome = b.input(tabella, q(colonne[i].nome));
                    if (k == 0)
                        marcatori.emplace_back(false, i);
                }
                return nome;
            };
            const auto chiave = [&](int j) {
                QString &nome = perChiave[size_t(j)];
                if (nome.isEmpty()) {
                    nome = b.input(tabella, q(chiavi[j].nome));
                    if (k == 0)
                        marcatori.emplace_back(true, j);
                }
                return nome;
            };
            // Only the update and the lookup name the keys: a key declared
            // and never bound would leave the block a marker without a value
            // (adding only, the generated field the only key).
            const auto condizioni = [&] {
                QStringList c;
                for (qsizetype j = 0; j < chiavi.size(); ++j)
                    c << QStringLiteral("%1=%2").arg(q(chiavi[j].nome), chiave(int(j)));
                return c.join(QStringLiteral(" AND "));
            };
            QString insert;
            if (m_insert) {
                QStringList nomi, valori;
                for (qsizetype i = 0; i < colonne.size(); ++i) {
                    const TCampo &c = colonne[i];
                    nomi << q(c.nome);
                    valori << (c.ruolo == RuoloGenerato ? QStringLiteral("GEN_ID(%1,1)").arg(q(c.generatore)) : colonna(int(i)));
                }
                insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);").arg(tabella, nomi.join(u','), valori.join(u','));
            }
            if (!conEsiti && !gestore) {
                b.line(insert);
                continue;
            }
            const QString esito = b.output(QStringLiteral("INTEGER"));
            if (m_update) {
                QStringList assegna;
                for (qsizetype i = 0; i < colonne.size(); ++i) {
                    const TCampo &c = colonne[i];
                    if (m_updateParam[size_t(i)] < 0) {
                        assegna << QStringLiteral("%1=%1").arg(q(c.nome));
                        continue;
                    }
                    // A key column is set from the key's value, as the single
                    // update binds it (one name, one value).
                    qsizetype j = 0;
                    while (j < chiavi.size() && chiavi[j].nome != c.nome)
                        ++j;
                    assegna << QStringLiteral("%1=%2").arg(q(c.nome), j < chiavi.size() ? chiave(int(j)) : colonna(int(i)));
                }
                b.line(QStringLiteral("UPDATE %1 SET %2 WHERE %3;").arg(tabella, assegna.join(u','), condizioni()));
                b.line(QStringLiteral("%1 = ROW_COUNT;").arg(esito));
                if (m_insert)
                    b.line(QStringLiteral("IF (%1 = 0) THEN BEGIN %2 %1 = -1; END").arg(esito, insert));
            } else if (m_lookup) {
                b.line(QStringLiteral("IF (EXISTS(SELECT 1 FROM %1 WHERE %2)) THEN %3 = 0; ELSE BEGIN %4 %3 = -1; END")
                           .arg(tabella, condizioni(), esito, insert));
            } else {
                // The insert itself says whether the row is there, as the
                // single insert does: asking first would skip a line whose
                // insert fails for another reason (a check) before the key.
                b.line(QStringLiteral("BEGIN %1 %2 = -1; WHEN GDSCODE unique_key_violation, GDSCODE no_dup DO %2 = 0; END")
                           .arg(insert, esito));
            }
        }
        // Its outputs come back as the one row of a selectable block.
        if (b.outputCount() > 0)
            b.line(QStringLiteral("SUSPEND;"));
        return b.text();
    };

    std::vector<std::pair<bool, int>> marcatori;
    // The longer of the texts a line may take.
    const QString una = testoBlocco(1, m_insertVerifica, marcatori);
    // The bytes of one line in the input message, from the single
    // statements' own parameters (text counted at four bytes a character).
    int byteRiga = 0;
    const auto misura = [&](db::Statement *st, const std::vector<int> &indici) {
        if (!st)
            return;
        const std::vector<db::Column> &param = st->paramColumns();
        for (int i : indici)
            if (i >= 0 && size_t(i) < param.size())
                byteRiga += (param[size_t(i)].isText() ? param[size_t(i)].length * 4 : param[size_t(i)].length) + 8;
    };
    misura(m_insert.get(), m_insertParam);
    misura(m_update.get(), m_updateParam);
    int righe = m_opzioni.righePerBlocco > 1 ? m_opzioni.righePerBlocco : 64;
    righe = std::min({righe, db::ExecuteBlock::kMaxTextBytes / std::max<int>(1, int(una.size())),
                      db::ExecuteBlock::kMaxMessageBytes / std::max(1, byteRiga)});
    if (righe < 2)
        return;
    try {
        m_blocco = std::make_unique<db::Statement>(r.m_att, r.m_tra, testoBlocco(righe, false, m_marcatoriRiga),
                                                   db::ParamStyle::AsWritten);
        m_blocco->prepare();
        if (m_insertVerifica) {
            // Prepared now, though it may never be needed: a block that
            // cannot be prepared is known before the first line.
            std::vector<std::pair<bool, int>> stessi;
            m_bloccoGestore = std::make_unique<db::Statement>(r.m_att, r.m_tra, testoBlocco(righe, true, stessi),
                                                              db::ParamStyle::AsWritten);
            m_bloccoGestore->prepare();
            // Its values must sit where the plain block's do: both are bound
            // from one list of markers.
            if (stessi != m_marcatoriRiga)
                m_bloccoGestore.reset();
        }
    } catch (const db::Error &) {
        // A table the block cannot describe (a type TYPE OF COLUMN does not
        // take): the lines go one by one, as they always could.
        m_blocco.reset();
        m_bloccoGestore.reset();
        return;
    }
    m_bloccoConEsiti = conEsiti;
    m_righeBlocco = righe;
    m_inAttesa.resize(size_t(righe));
    m_esitiBlocco.resize(size_t(righe));
}

bool ImportRun::Impl::eseguiBlocco(db::Statement &blocco, bool conEsiti, size_t quante, bool &duplicato)
{
    duplicato = false;
    try {
        int marcatore = 0;
        for (size_t k = 0; k < quante; ++k) {
            const RigaPronta &pronta = m_inAttesa[k];
            for (const auto &[chiave, indice] : m_marcatoriRiga)
                blocco.setParam(marcatore++, chiave ? pronta.chiavi[size_t(indice)] : pronta.valori[size_t(indice)]);
        }
        if (!conEsiti) {
            blocco.execute();
            std::fill(m_esitiBlocco.begin(), m_esitiBlocco.begin() + qsizetype(quante), -1);
            return true;
        }
        db::ResultSet rs = blocco.open();
        // The row comes with the end of the block: without it the block has
        // not run (its statements are undone with the cursor's failure).
        if (!rs.next())
            throw db::Error(QStringLiteral("Blocco senza esito"));
        for (size_t k = 0; k < quante; ++k)
            m_esitiBlocco[k] = rs.toInt64(int(k)).value_or(0);
        return true;
    } catch (const db::Error &e) {
        // Undone whole by the server.
        duplicato = e.isDuplicateKey();
        return false;
    }
}

std::optional<EsitoImport> ImportRun::Impl::svuotaBlocco()
{
    const size_t quante = m_quanteInAttesa;
    m_quanteInAttesa = 0;
    if (quante == 0)
        return std::nullopt;
    if (m_blocco && int(quante) == m_righeBlocco) {
        bool duplicato = false;
        bool riuscito = false;
        if (m_bloccoGestore && m_conGestore) {
            riuscito = eseguiBlocco(*m_bloccoGestore, true, quante, duplicato);
        } else {
            riuscito = eseguiBlocco(*m_blocco, m_bloccoConEsiti, quante, duplicato);
            if (!riuscito && duplicato && m_bloccoGestore) {
                m_conGestore = true;
                riuscito = eseguiBlocco(*m_bloccoGestore, true, quante, duplicato);
            }
        }
        if (riuscito) {
            ContatoriImport &n = r.m_contatori;
            ++n.blocchi;
            for (size_t k = 0; k < quante; ++k) {
                const RigaPronta &pronta = m_inAttesa[k];
                const qint64 esito = m_esitiBlocco[k];
                if (esito > 0) {
                    scriviMessaggi(pronta, m_updateParam);
                    n.aggiornati += esito;
                    if (esito >= 2)
                        log(QStringLiteral("La riga %1 ha causato l'aggiornamento di %2 record").arg(riga(pronta.numero)).arg(esito));
                } else if (esito < 0) {
                    scriviMessaggi(pronta, m_insertParam);
                    ++n.aggiunti;
                } else if (m_insertVerifica) {
                    scriviMessaggi(pronta, m_insertParam); // bound, then refused as a key that is there
                }
            }
            return std::nullopt;
        }
    }
    // The lines run again one by one below.
    for (size_t k = 0; k < quante; ++k)
        if (auto e = eseguiRiga(m_inAttesa[k]))
            return e;
    return std::nullopt;
}

void ImportRun::Impl::pulizia()
{
    m_fasi.mostraAvanzamento(false);
    m_reader.close();
    m_insert.reset();
    m_lookup.reset();
    m_update.reset();
    m_blocco.reset();
    m_dupLookup.reset();
    m_dupInsert.reset();
    m_dupMarca.reset();
    if (p.controlloDuplicati) {
        try {
            eliminaTabellaDuplicati();
        } catch (const db::Error &e) {
            m_sink.tell(platform::Warning, QStringLiteral("Impossibile azzerare la tabella di appoggio per il controllo duplicati:\n%1").arg(e.message()));
        }
    }
    m_fasi.fine();
}

} // namespace vardof::importcsv
