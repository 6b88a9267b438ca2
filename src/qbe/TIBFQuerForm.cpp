#include "qbe/TIBFQuerForm.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "qbe/Ordinamento.h"

#include <QThread>

namespace vardof::qbe {

TIBFQuerForm::TIBFQuerForm(int numeroUtente, db::Attachment &lavoro, db::Transaction &traLavoro,
                           db::Attachment &storico, db::Transaction &traStorico, TabIntTmp &tabInt,
                           const QString &tabellaSorgente, SessioneQuery &sessione,
                           const QString &directoryLavoro, const QString &ditta)
    : m_utente(numeroUtente)
    , m_lavoro(lavoro)
    , m_traLavoro(traLavoro)
    , m_storico(storico)
    , m_traStorico(traStorico)
    , m_tabInt(tabInt)
    , m_tabellaSorgente(tabellaSorgente)
    , m_sessione(&sessione)
    , m_dirLavoro(directoryLavoro)
    , m_ditta(ditta)
{
}

TIBFQuerForm::~TIBFQuerForm() = default;

void TIBFQuerForm::setSessione(SessioneQuery &sessione)
{
    m_sessione = &sessione;
    // The columns met belong to the level of the session left.
    m_colonneCache.clear();
}

void TIBFQuerForm::setAvvisi(platform::RunFeedback *avvisi)
{
    m_avvisi = avvisi;
}

void TIBFQuerForm::RiempiTabIntTmp(TabIntTmp &tab, const TabellaSorgente &sorgente)
{
    int numero = 0;
    for (const auto &c : sorgente.colonne) {
        ++numero;
        tab.insert(RigaInt{numero, c.name, MostraVisibile, QString()});
    }
    tab.sortByNumero();
}

void TIBFQuerForm::RiempiTabIntTmp(TabIntTmp &tab, const QString &tabella)
{
    RiempiTabIntTmp(tab, TabellaSorgente::leggi(m_lavoro, m_traLavoro, tabella));
}

TipoCampo TIBFQuerForm::tipoInTabella(const QString &tabella, const QString &colonna)
{
    auto it = m_colonneCache.find(tabella);
    if (it == m_colonneCache.end()) {
        TabellaSorgente t;
        try {
            t = TabellaSorgente::leggi(m_lavoro, m_traLavoro, tabella);
        } catch (const db::Error &) {
            t.nome = tabella;
        }
        it = m_colonneCache.insert(tabella, std::move(t));
    }
    const db::TableColumn *c = it->colonna(colonna);
    return c ? classeCampo(*c) : TipoCampo::Altro;
}

TipoCampo TIBFQuerForm::tipoCampo(const TabIntTmp &tab, const QString &nome)
{
    if (nome.contains(QLatin1Char('.'))) {
        const int riga = tab.indexOfNome(nome);
        for (int i = riga; i >= 0; --i) {
            const RigaInt &h = tab.at(i);
            if (!eTestata(h.Mostra))
                continue;
            const int uguale = h.Nome.indexOf(QLatin1String(" = "));
            const QString tabella = uguale >= 0 ? h.Nome.left(uguale) : h.Nome;
            return tipoInTabella(tabella.trimmed(), nome.mid(2));
        }
        return TipoCampo::Altro;
    }
    const int livello = m_sessione->livello();
    if (livello <= 0)
        return tipoInTabella(m_tabellaSorgente, nome);
    return tipoInTabella(nomeTabellaRisposta(livello - 1), nome);
}

TipoCampo TIBFQuerForm::DeterminaTipoCampo(const QString &nome, const QString &)
{
    return tipoCampo(m_tabInt, nome);
}

bool TIBFQuerForm::Interroga(int primo, int ultimo, const QString &, TabIntTmp &tab, TabRispTmp &risposta,
                             const QString &tabella)
{
    risposta.close();
    risposta.attach(m_lavoro, m_traLavoro);

    std::vector<RigaInt> righe;
    for (const RigaInt &r : tab.righe())
        if (r.Numero >= primo && r.Numero <= ultimo)
            righe.push_back(r);
    const BloccoComposto blocco =
        ComponiBlocco(righe, tabella, [this, &tab](const QString &nome) { return tipoCampo(tab, nome); });
    risposta.SQL() = blocco.righe;
    if (blocco.ordinata)
        m_sessione->setOrdinata(true);

    if (m_modoClipboard) {
        m_memo = raddoppiaApici(risposta.testo());
        return true;
    }
    try {
        risposta.open();
        // A literal the server cannot convert (a date typed the wrong way
        // round) is only found at the first row: fetch it now so the
        // execution fails here and not in the grid.
        risposta.fetchMore(1);
    } catch (const db::Error &e) {
        m_ultimoErrore = e.message();
        return false;
    }
    if ((blocco.sommaProg || blocco.interoQmt) && m_post)
        m_post(risposta, blocco.sommaProg, blocco.interoQmt);
    return true;
}

void TIBFQuerForm::segnalaErrore()
{
    // The server's reason under the message, so that the user sees which
    // condition or join it refused.
    const QString testo = m_ultimoErrore.isEmpty() ? kMsgSintassi : kMsgSintassi + QLatin1Char('\n') + m_ultimoErrore;
    if (m_avvisi) {
        m_avvisi->tell(platform::Error, testo);
    } else {
        platform::MessageBoxFeedback predefiniti;
        predefiniti.tell(platform::Error, testo);
    }
}

bool TIBFQuerForm::EseguiInterrogazione(TabIntTmp &tab, const QString &tabellaFinestra, TabRispTmp &risposta)
{
    SessioneQuery &sessione = *m_sessione;
    const int livello = sessione.livello();
    const QString &archivio = sessione.archivio();
    m_ultimoErrore.clear();
    m_colonneCache.clear();
    const int corrente = tab.currentRow();
    const QString sorgente = livello <= 0 ? tabellaFinestra : nomeTabellaRisposta(livello - 1);

    bool ok = false;
    if (!sessione.unione()) {
        sessione.setOrdinata(false);
        const int primo = tab.isEmpty() ? 1 : tab.at(0).Numero;
        const int ultimo = tab.isEmpty() ? 0 : tab.at(tab.size() - 1).Numero;
        ok = Interroga(primo, ultimo, archivio, tab, risposta, sorgente);
    } else {
        QList<QStringList> testi;
        ok = true;
        int inizio = 1;
        for (int k = 0; k < tab.size() && ok; ++k) {
            const RigaInt &r = tab.at(k);
            if (r.Mostra != MostraBlocco && !(r.Mostra == MostraCatena && inizio != 1))
                continue;
            sessione.setOrdinata(false);
            ok = Interroga(inizio, r.Numero, archivio, tab, risposta, sorgente);
            if (!ok)
                break;
            testi << risposta.SQL();
            if (k + 1 < tab.size() && eTestata(tab.at(k + 1).Mostra) && k + 2 < tab.size())
                inizio = tab.at(k + 2).Numero;
        }
        if (ok && testi.isEmpty()) {
            m_ultimoErrore = QStringLiteral("Nessun blocco da unire");
            ok = false;
        }
        if (ok) {
            risposta.close();
            QStringList unito;
            for (int i = 0; i < testi.size(); ++i) {
                if (i > 0)
                    unito << kUnione;
                unito << testi[i];
            }
            risposta.SQL() = unito;
            if (m_modoClipboard) {
                m_memo = raddoppiaApici(risposta.testo());
            } else {
                try {
                    risposta.open();
                    risposta.fetchMore(1);
                } catch (const db::Error &e) {
                    m_ultimoErrore = e.message();
                    ok = false;
                }
            }
        }
    }

    if (!ok) {
        risposta.close();
        segnalaErrore();
    } else if (sessione.modoStorico() && !m_modoClipboard && risposta.isOpen()) {
        std::vector<storedqueries::RigaStoAsp> aspetto;
        try {
            aspetto = storedqueries::leggiStoAsp(m_storico, m_traStorico, sessione.codice1Aspetto(),
                                                 sessione.codice2Aspetto());
        } catch (const db::Error &) {
            // No saved appearance can be read: the answer keeps its default look.
            aspetto.clear();
        }
        if (!aspetto.empty() && aspettoCompatibile(aspetto, risposta)) {
            sessione.codici().azzera();
            for (const auto &a : aspetto)
                sessione.codici().setCodice(a.NCampo, a.Raggruppa);
            try {
                ApplicaOrdinamento(risposta);
            } catch (const db::Error &e) {
                // The saved order no longer suits the statement: the answer
                // stays as composed, and the user is told why.
                m_ultimoErrore = e.message();
                tellErroreOrdinamento(e.message());
                ripristinaSenzaOrdinamento(risposta);
            }
            if (m_applicaAspetto && risposta.isOpen())
                m_applicaAspetto(risposta, aspetto);
        }
    }
    tab.setCurrentRow(corrente);
    return ok;
}

void TIBFQuerForm::ApplicaOrdinamento(TabRispTmp &risposta)
{
    SessioneQuery &sessione = *m_sessione;
    const QStringList orderBy = righeOrderBy(sessione.codici(), risposta.columnCount());
    if (orderBy.isEmpty() && !sessione.ordinata())
        return;
    const QStringList prima = risposta.SQL();
    risposta.close();
    QStringList testo = sessione.ordinata() ? togliOrderBy(prima) : prima;
    testo << orderBy;
    risposta.SQL() = testo;
    try {
        risposta.open();
        risposta.fetchMore(1);
    } catch (const db::Error &) {
        // The answer goes back to the text it had, open, before the error
        // is told: the user keeps an answer to look at.
        risposta.close();
        risposta.SQL() = prima;
        try {
            risposta.open();
        } catch (const db::Error &) {
        }
        throw;
    }
    sessione.setOrdinata(!orderBy.isEmpty());
}

void TIBFQuerForm::tellErroreOrdinamento(const QString &messaggio)
{
    const QString testo = QStringLiteral("Errore durante l'ordinamento della risposta") + QLatin1Char('\r') + messaggio;
    if (m_avvisi) {
        m_avvisi->tell(platform::Error, testo);
    } else {
        platform::MessageBoxFeedback predefiniti;
        predefiniti.tell(platform::Error, testo);
    }
}

void TIBFQuerForm::ripristinaSenzaOrdinamento(TabRispTmp &risposta)
{
    if (risposta.isOpen())
        return;
    try {
        risposta.open();
    } catch (const db::Error &) {
    }
}

bool TIBFQuerForm::aspettoCompatibile(const std::vector<storedqueries::RigaStoAsp> &aspetto,
                                      const TabRispTmp &risposta)
{
    for (const auto &a : aspetto)
        if (risposta.indexOfColonna(a.NomeCampo.trimmed()) < 0)
            return false;
    for (int i = 0; i < risposta.columnCount(); ++i) {
        bool trovata = false;
        for (const auto &a : aspetto)
            trovata = trovata || a.NomeCampo.trimmed() == risposta.nomeColonna(i);
        if (!trovata)
            return false;
    }
    return true;
}

// ---- answer tables --------------------------------------------------------

QString TIBFQuerForm::NomeTabellaRisposta(int utente, int livello)
{
    return QStringLiteral("TMP_RSUCC") + QStringLiteral("%1").arg(utente, 4, 10, QLatin1Char('0'))
           + QLatin1Char('_') + QStringLiteral("%1").arg(livello, 4, 10, QLatin1Char('0'));
}

QString TIBFQuerForm::tipoColonnaRisposta(const db::Column &c)
{
    switch (classeCampo(c)) {
    case TipoCampo::BlobTesto:
        return QStringLiteral("BLOB SUB_TYPE 1");
    case TipoCampo::BlobBinario:
        // Binary content would not survive a text blob's character set.
        return QStringLiteral("BLOB SUB_TYPE 0");
    case TipoCampo::Virgola:
        return QStringLiteral("DOUBLE PRECISION");
    case TipoCampo::Scalato:
        return QStringLiteral("Numeric(18, 4)");
    case TipoCampo::Data:
        return c.typeCode == db::TypeTimestamp ? QStringLiteral("TIMESTAMP") : QStringLiteral("DATE");
    case TipoCampo::Ora:
        return QStringLiteral("TIME");
    case TipoCampo::Intero:
        return c.typeCode == db::TypeSmallint ? QStringLiteral("SMALLINT") : QStringLiteral("INTEGER");
    case TipoCampo::Altro:
        break;
    }
    if (c.isText())
        return QStringLiteral("VARCHAR(%1)").arg(qMax(1, c.length));
    if (c.typeCode == db::TypeBigint || c.typeCode == db::TypeInteger || c.typeCode == db::TypeSmallint)
        return QStringLiteral("Numeric(18, 0)");
    if (c.typeCode == db::TypeBoolean)
        return QStringLiteral("BOOLEAN");
    return QStringLiteral("VARCHAR(%1)").arg(qMax(1, c.length));
}

QString TIBFQuerForm::sqlCreaTabellaRisposta(const QString &nome, const std::vector<db::Column> &colonne)
{
    QStringList elenco;
    for (const auto &c : colonne)
        elenco << QLatin1Char('"') + (c.alias.isEmpty() ? c.name : c.alias) + QStringLiteral("\" ")
                      + tipoColonnaRisposta(c);
    return QStringLiteral("Create Table \"") + nome + QStringLiteral("\" (") + elenco.join(QStringLiteral(", "))
           + QLatin1Char(')');
}

namespace {

// Answer tables are created and dropped in short transactions of their own
// that read the latest committed catalogue. Done inside the query's
// snapshot, a table another user created and committed meanwhile (his own
// answer table) made the server refuse the creation as an update conflict.
db::Transaction transazioneDdl(db::Attachment &lavoro)
{
    return db::Transaction(lavoro, {QStringLiteral("isc_tpb_read_committed"), QStringLiteral("isc_tpb_rec_version"),
                                    QStringLiteral("isc_tpb_wait")});
}

// A short transaction drops the table; when the query's own transaction
// holds it (from reading it at the next level) the drop goes through that
// one instead. Done in the query's snapshot only, the drop clashed with the
// tables other users created meanwhile.
// Two users' catalogue changes touch shared system rows: the second waits
// for the first and, this server version being what it is, is then told of
// an update conflict even when reading committed data. Such a change is
// simply done again a few times before the conflict reaches the user.
template <class Fn>
void conRipetizioni(Fn fn)
{
    for (int tentativo = 1;; ++tentativo) {
        try {
            fn();
            return;
        } catch (const db::Error &e) {
            if (!e.isLockConflict() || tentativo >= 10)
                throw;
        }
        QThread::msleep(20UL * unsigned(tentativo));
    }
}

bool eliminaSeEsiste(db::Attachment &lavoro, db::Transaction &traLavoro, const QString &nome)
{
    {
        db::Transaction ddl = transazioneDdl(lavoro);
        if (!db::catalog::relationExists(ddl, nome))
            return true;
    }
    try {
        conRipetizioni([&] {
            db::Transaction ddl = transazioneDdl(lavoro);
            db::executeSql(ddl, QStringLiteral("DROP TABLE ") + nome);
            ddl.commit();
        });
        return true;
    } catch (const db::Error &) {
    }
    try {
        db::executeSql(traLavoro, QStringLiteral("DROP TABLE ") + nome);
        traLavoro.commitRetaining();
        return true;
    } catch (const db::Error &) {
        return false;
    }
}

} // namespace

void TIBFQuerForm::CreaTabellaRisposta(TabRispTmp &risposta)
{
    const QString nome = nomeTabellaRisposta(m_sessione->livello());
    if (!risposta.isOpen()) {
        risposta.attach(m_lavoro, m_traLavoro);
        risposta.open();
    }
    const std::vector<db::Column> colonne = risposta.columns();

    // A table still in use by someone stays: the creation below reports it.
    eliminaSeEsiste(m_lavoro, m_traLavoro, nome);
    // The rows go in with the same short transaction: the query's snapshot
    // cannot see a table created after it began.
    conRipetizioni([&] {
        db::Transaction ddl = transazioneDdl(m_lavoro);
        db::executeSql(ddl, sqlCreaTabellaRisposta(nome, colonne));
        ddl.commit();
    });
    risposta.SQL() = senzaOrderBy(risposta.SQL());
    db::Transaction righe = transazioneDdl(m_lavoro);
    db::executeSql(righe, QStringLiteral("INSERT INTO ") + nome + QLatin1Char('\n') + risposta.testo());
    righe.commit();
    m_colonneCache.remove(nome);
}

void TIBFQuerForm::EliminaTabelleRisposta()
{
    // A table still in use stays; it is overwritten when needed.
    for (int livello = 0; livello <= 30; ++livello) {
        try {
            eliminaSeEsiste(m_lavoro, m_traLavoro, nomeTabellaRisposta(livello));
        } catch (const db::Error &) {
        }
    }
    m_colonneCache.clear();
}

void TIBFQuerForm::ButtonOkClick()
{
    platform::clipboard().setText(m_memo);
}

} // namespace vardof::qbe
