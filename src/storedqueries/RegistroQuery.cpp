#include "storedqueries/RegistroQuery.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "context/OpenOrCreate.h"
#include "platform/HostPaths.h"
#include "storedqueries/StoredQueryTables.h"

#include <QFileInfo>
#include <QHash>

#include <cmath>
#include <functional>
#include <set>

namespace vardof::storedqueries {

namespace {

const QString kSuccessiva = QStringLiteral("QUERY SUCCESSIVA");
constexpr int kMostraCatena = 4;

QString righe(const QStringList &l)
{
    return l.join(QLatin1Char('\n'));
}

QString letterale(const QString &testo)
{
    QString t = testo;
    return QLatin1Char('\'') + t.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

db::FieldValue valore(const std::optional<QString> &testo)
{
    return testo ? db::FieldValue(db::Value(*testo)) : db::FieldValue();
}

std::optional<QString> testoDi(const db::ResultSet &rs, int colonna)
{
    if (rs.isNull(colonna))
        return std::nullopt;
    return rs.text(colonna);
}

const char *const kColonne = "CODICE, TITOLO, TABELLA, PERCORSO, CLASSIFICAZIONE1, CLASSIFICAZIONE2, NOMEEXPORT, NOTE";

RigaStoQuer rigaDa(const db::ResultSet &rs)
{
    RigaStoQuer r;
    r.Codice = int(rs.toInt64(0).value_or(0));
    r.Titolo = testoDi(rs, 1);
    r.Tabella = testoDi(rs, 2);
    r.Percorso = testoDi(rs, 3);
    r.Classificazione1 = testoDi(rs, 4);
    r.Classificazione2 = testoDi(rs, 5);
    r.NomeExport = testoDi(rs, 6);
    r.Note = testoDi(rs, 7);
    return r;
}

// The writes of one operation in the caller's transaction stand or fall
// together: a failure half way leaves nothing of them for a later commit.
template<typename Corpo>
void comeUnaSola(db::Transaction &tra, Corpo corpo)
{
    tra.ensureStarted();
    db::executeSql(tra, QStringLiteral("SAVEPOINT VARDOF_REGISTRO"));
    try {
        corpo();
    } catch (...) {
        try {
            db::executeSql(tra, QStringLiteral("ROLLBACK TO SAVEPOINT VARDOF_REGISTRO"));
        } catch (const db::Error &) {
        }
        throw;
    }
    db::executeSql(tra, QStringLiteral("RELEASE SAVEPOINT VARDOF_REGISTRO"));
}

QString chiaveWhere(ChiaveQuery k)
{
    return QStringLiteral("(Codice1=") + QString::number(k.first) + QStringLiteral(")AND\n(Codice2=")
           + testoCodice2(k.second) + QLatin1Char(')');
}

void eliminaRigheChiave(db::Transaction &tra, ChiaveQuery k)
{
    for (const char *t : {"STOINT", "STOASP"})
        db::executeSql(tra, QStringLiteral("DELETE FROM \"%1\"\nWHERE ").arg(QLatin1String(t)) + chiaveWhere(k));
}

} // namespace

std::optional<QString> testoCampo(const QString &testo)
{
    if (testo.isEmpty())
        return std::nullopt;
    return testo;
}

std::optional<RigaStoQuer> leggiStoQuer(db::Transaction &tra, int codice)
{
    db::Statement s(tra,
                    QStringLiteral("SELECT %1 FROM STOQUER WHERE CODICE=").arg(QLatin1String(kColonne))
                        + QString::number(codice),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    if (!rs.next())
        return std::nullopt;
    return rigaDa(rs);
}

QStringList sqlStorico(const QString &classificazione1, const QString &classificazione2)
{
    QStringList sql{QStringLiteral("SELECT"), QStringLiteral("  *"), QStringLiteral("FROM"), QStringLiteral("  STOQUER"),
                    QStringLiteral("WHERE"), QStringLiteral("  CODICE IS NOT NULL")};
    if (!classificazione1.isEmpty())
        sql << QStringLiteral("  AND") << QStringLiteral("  CLASSIFICAZIONE1=") + letterale(classificazione1);
    if (!classificazione2.isEmpty())
        sql << QStringLiteral("  AND") << QStringLiteral("  CLASSIFICAZIONE2=") + letterale(classificazione2);
    return sql;
}

std::vector<RigaStoQuer> elencoStoQuer(db::Transaction &tra, const QString &classificazione1,
                                       const QString &classificazione2)
{
    QStringList sql = sqlStorico(classificazione1, classificazione2);
    sql[1] = QStringLiteral("  ") + QLatin1String(kColonne);
    sql << QStringLiteral("ORDER BY CODICE");
    db::Statement s(tra, righe(sql), db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    std::vector<RigaStoQuer> out;
    while (rs.next())
        out.push_back(rigaDa(rs));
    return out;
}

// ---- other archives ------------------------------------------------------------

QString messaggioArchivioNonTrovato(const QString &percorso)
{
    return QStringLiteral("L'archivio \"") + percorso + QStringLiteral("\" non è stato trovato");
}

bool archivioEsiste(const QString &percorso)
{
    return !percorso.isEmpty() && QFileInfo(platform::toNativeLocal(percorso)).isFile();
}

bool apriArchivio(db::Attachment &connessione, const QString &percorso)
{
    // The seam of the stored-query tables: put it back at once, only reading it.
    ApriDatabase sostituto = setApriDatabase({});
    setApriDatabase(sostituto);
    try {
        if (sostituto)
            return sostituto(connessione, percorso);
        const platform::DirFile parti = platform::splitDirFile(percorso);
        return context::ApriOCreaDatabase(connessione, parti.dir, parti.file);
    } catch (const db::Error &) {
        return false;
    }
}

bool AltroArchivio::apri(const QString &percorso)
{
    if (!apriArchivio(connessione, percorso) || !connessione.isConnected())
        return false;
    transazione = std::make_unique<db::Transaction>(connessione);
    return true;
}

AltroArchivio::~AltroArchivio()
{
    transazione.reset();
    connessione.disconnect();
}

// ---- the save check ------------------------------------------------------------

bool ControlloSalvataggio(RigaStoQuer &riga, platform::RunFeedback &avvisi)
{
    if (avvisi.ask(platform::Information, QStringLiteral("Memorizzo le ultime modifiche?"), platform::Buttons::YesNo)
        != platform::Answer::Yes) {
        avvisi.tell(platform::Plain, QStringLiteral("Si prega di premere Annulla prima di abbandonare il record"));
        return false;
    }
    if (riga.Note && *riga.Note == QLatin1String(" "))
        riga.Note.reset();
    return true;
}

QStringList sqlCopiaStoQuer(const RigaStoQuer &riga)
{
    QStringList sql{QStringLiteral("UPDATE OR INSERT INTO STOQUER("),
                    QStringLiteral("CODICE,"),
                    QStringLiteral("TITOLO,"),
                    QStringLiteral("NOTE,"),
                    QStringLiteral("TABELLA"),
                    QStringLiteral(")"),
                    QStringLiteral("VALUES("),
                    QString::number(riga.Codice) + QLatin1Char(',')};
    sql << (riga.Titolo ? letterale(*riga.Titolo) + QLatin1Char(',') : QStringLiteral("NULL,"));
    sql << (riga.Note ? letterale(*riga.Note) + QLatin1Char(',') : QStringLiteral("NULL,"));
    sql << (riga.Tabella ? letterale(*riga.Tabella) : QStringLiteral("NULL"));
    sql << QStringLiteral(")");
    return sql;
}

void copiaStoQuer(db::Transaction &tra, const RigaStoQuer &riga)
{
    tra.ensureStarted();
    db::executeSql(tra, righe(sqlCopiaStoQuer(riga)));
}

void copiaSuArchivioDellaRiga(const RigaStoQuer &riga, platform::RunFeedback &avvisi)
{
    const QString percorso = riga.percorso();
    if (!archivioEsiste(percorso))
        return;
    AltroArchivio altro;
    if (!altro.apri(percorso))
        return;
    try {
        copiaStoQuer(*altro.transazione, riga);
        altro.transazione->commitRetaining();
    } catch (const db::Error &e) {
        avvisi.tell(platform::Error, QStringLiteral("Errore interno durante l'aggiornamento di STOQUER sul database \"")
                                         + percorso + QStringLiteral("\":") + QLatin1Char('\r') + e.message());
    }
}

void scriviStoQuer(db::Transaction &tra, const RigaStoQuer &riga, std::optional<int> vecchioCodice)
{
    tra.ensureStarted();
    const int chiave = vecchioCodice.value_or(riga.Codice);
    const db::FieldValue esiste =
        db::queryValue(tra, QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=") + QString::number(chiave));
    const bool aggiorna = esiste && db::toInt64(*esiste).value_or(0) > 0;
    db::Statement s(tra, aggiorna ? QStringLiteral("UPDATE STOQUER SET CODICE=:CODICE, TITOLO=:TITOLO, TABELLA=:TABELLA, "
                                                   "PERCORSO=:PERCORSO, CLASSIFICAZIONE1=:C1, CLASSIFICAZIONE2=:C2, "
                                                   "NOMEEXPORT=:NOMEEXPORT, NOTE=:NOTE WHERE CODICE=:OLD_CODICE")
                                  : QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, PERCORSO, "
                                                   "CLASSIFICAZIONE1, CLASSIFICAZIONE2, NOMEEXPORT, NOTE) VALUES "
                                                   "(:CODICE, :TITOLO, :TABELLA, :PERCORSO, :C1, :C2, :NOMEEXPORT, :NOTE)"));
    s.setParam(QStringLiteral("CODICE"), db::Value(qint64(riga.Codice)));
    s.setParam(QStringLiteral("TITOLO"), valore(riga.Titolo));
    s.setParam(QStringLiteral("TABELLA"), valore(riga.Tabella));
    s.setParam(QStringLiteral("PERCORSO"), valore(riga.Percorso));
    s.setParam(QStringLiteral("C1"), valore(riga.Classificazione1));
    s.setParam(QStringLiteral("C2"), valore(riga.Classificazione2));
    s.setParam(QStringLiteral("NOMEEXPORT"), valore(riga.NomeExport));
    s.setParam(QStringLiteral("NOTE"), valore(riga.Note));
    if (aggiorna)
        s.setParam(QStringLiteral("OLD_CODICE"), db::Value(qint64(chiave)));
    s.execute();
}

bool PostStoQuer(db::Transaction &tra, RigaStoQuer &riga, platform::RunFeedback &avvisi)
{
    if (!ControlloSalvataggio(riga, avvisi))
        return false;
    copiaSuArchivioDellaRiga(riga, avvisi);
    comeUnaSola(tra, [&] { scriviStoQuer(tra, riga); });
    tra.commitRetaining();
    return true;
}

int rinumeraTraDatabase(db::Attachment &att, db::Transaction &tra, int codice, const QString &percorso)
{
    const int nuovo = NuovoCodiceTraDatabase(att, tra, percorso);
    if (nuovo == codice)
        return codice;
    std::optional<RigaStoQuer> riga = leggiStoQuer(tra, codice);
    if (!riga)
        return codice;
    riga->Codice = nuovo;
    comeUnaSola(tra, [&] { scriviStoQuer(tra, *riga, codice); });
    tra.commitRetaining();
    return nuovo;
}

// ---- chains ------------------------------------------------------------------------

namespace {

// The chained query a key's rows announce, if any.
std::optional<double> successiva(db::Transaction &tra, ChiaveQuery k)
{
    db::Statement s(tra,
                    QStringLiteral("SELECT CONDIZIONE FROM STOINT WHERE ") + chiaveWhere(k)
                        + QStringLiteral(" AND MOSTRA=%1 AND NOME='%2' ORDER BY NUMERO").arg(kMostraCatena).arg(kSuccessiva),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    while (rs.next()) {
        bool ok = false;
        const double n = rs.text(0).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (ok)
            return n;
    }
    return std::nullopt;
}

void eliminaStoQuer(db::Transaction &tra, int codice)
{
    db::Statement s(tra, QStringLiteral("DELETE FROM \"STOQUER\"\nWHERE (CODICE=:CODICE)"));
    s.setParam(QStringLiteral("CODICE"), db::Value(qint64(codice)));
    s.execute();
}

} // namespace

std::vector<ChiaveQuery> chiaviCatena(db::Transaction &tra, int codice)
{
    std::vector<ChiaveQuery> out{{kCodice1Storico, double(codice)}};
    std::set<double> visti;
    for (;;) {
        const std::optional<double> n = successiva(tra, out.back());
        if (!n || !visti.insert(*n).second)
            break;
        out.push_back({kCodice1Catena, *n});
    }
    return out;
}

std::optional<std::pair<ChiaveQuery, ChiaveQuery>> copiaPasso(db::Attachment &att, db::Transaction &tra,
                                                              ChiaveQuery sorgente, ChiaveQuery destinazione,
                                                              double precedente)
{
    tra.ensureStarted();
    const QString c1 = QString::number(destinazione.first);
    const QString c2 = testoCodice2(destinazione.second);
    // Appearance rows and interrogation rows other than chain markers: every
    // column as stored (NULLs included), only the key changes.
    db::executeSql(tra, QStringLiteral("INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO, NOMECAMPO, DIM, VIS, POS, RAGGRUPPA)\n"
                                       "SELECT %1, %2, NCAMPO, NOMECAMPO, DIM, VIS, POS, RAGGRUPPA FROM STOASP WHERE ")
                            .arg(c1, c2)
                        + chiaveWhere(sorgente));
    db::executeSql(tra, QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE)\n"
                                       "SELECT %1, %2, NUMERO, NOME, MOSTRA, CONDIZIONE FROM STOINT WHERE ")
                            .arg(c1, c2)
                        + chiaveWhere(sorgente) + QStringLiteral(" AND (MOSTRA IS NULL OR MOSTRA<>%1)").arg(kMostraCatena));

    struct Marcatore
    {
        qint64 numero;
        std::optional<QString> nome;
        QString condizione;
    };
    std::vector<Marcatore> marcatori;
    {
        db::Statement s(tra,
                        QStringLiteral("SELECT NUMERO, NOME, CONDIZIONE FROM STOINT WHERE ") + chiaveWhere(sorgente)
                            + QStringLiteral(" AND MOSTRA=%1 ORDER BY NUMERO").arg(kMostraCatena),
                        db::ParamStyle::AsWritten);
        db::ResultSet rs = s.open();
        while (rs.next())
            marcatori.push_back({rs.toInt64(0).value_or(0), testoDi(rs, 1), rs.text(2)});
    }
    std::optional<std::pair<ChiaveQuery, ChiaveQuery>> prossima;
    db::Statement ins(tra, QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE) "
                                          "VALUES (:C1, :C2, :NUMERO, :NOME, :MOSTRA, :CONDIZIONE)"));
    for (Marcatore &m : marcatori) {
        QString condizione;
        if (m.nome == kSuccessiva) {
            bool ok = false;
            const double s = QString(m.condizione).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (ok && !prossima) {
                const double n = NuovoCodiceCatena(att, tra);
                condizione = testoCodice2(n);
                prossima = std::make_pair(ChiaveQuery{kCodice1Catena, s}, ChiaveQuery{kCodice1Catena, n});
            } else {
                condizione = m.condizione;
            }
        } else {
            // The back link names the copy this one follows.
            condizione = testoCodice2(precedente);
        }
        ins.setParam(QStringLiteral("C1"), db::Value(qint64(destinazione.first)));
        ins.setParam(QStringLiteral("C2"), db::Value(double(std::llround(destinazione.second))));
        ins.setParam(QStringLiteral("NUMERO"), db::Value(m.numero));
        ins.setParam(QStringLiteral("NOME"), valore(m.nome));
        ins.setParam(QStringLiteral("MOSTRA"), db::Value(qint64(kMostraCatena)));
        ins.setParam(QStringLiteral("CONDIZIONE"), db::Value(condizione));
        ins.execute();
    }
    return prossima;
}

// ---- record operations -------------------------------------------------------------

namespace {

// Copies a whole chain, step by step, in one database and transaction.
void copiaCatena(db::Attachment &att, db::Transaction &tra, ChiaveQuery sorgente, ChiaveQuery destinazione)
{
    std::set<ChiaveQuery> visti;
    std::optional<std::pair<ChiaveQuery, ChiaveQuery>> passo = std::make_pair(sorgente, destinazione);
    double precedente = 0;
    while (passo && visti.insert(passo->first).second) {
        const double arrivo = passo->second.second;
        passo = copiaPasso(att, tra, passo->first, passo->second, precedente);
        precedente = arrivo;
    }
}

// `lavoro` in the archive of a row's Percorso, committed there; refused
// when the archive is missing (the user told) or does not open.
EsitoOperazione nellArchivio(const QString &percorso, platform::RunFeedback &avvisi,
                             const std::function<void(AltroArchivio &)> &lavoro)
{
    if (!archivioEsiste(percorso)) {
        avvisi.tell(platform::Warning, messaggioArchivioNonTrovato(percorso));
        return EsitoOperazione::ArchivioNonTrovato;
    }
    AltroArchivio altro;
    if (!altro.apri(percorso))
        return EsitoOperazione::ArchivioNonAperto;
    lavoro(altro);
    altro.transazione->commit();
    return EsitoOperazione::Eseguita;
}

} // namespace

EsitoOperazione DuplicaQuery(db::Attachment &att, db::Transaction &tra, int codice, platform::RunFeedback &avvisi,
                             int *nuovo)
{
    const std::optional<RigaStoQuer> sorgente = leggiStoQuer(tra, codice);
    if (!sorgente)
        return EsitoOperazione::RecordMancante;
    RigaStoQuer riga = *sorgente;
    riga.Codice = NuovoCodicePosizione(att, tra);
    if (!ControlloSalvataggio(riga, avvisi))
        return EsitoOperazione::Rifiutata;
    copiaSuArchivioDellaRiga(riga, avvisi);
    comeUnaSola(tra, [&] { scriviStoQuer(tra, riga); });
    tra.commitRetaining();
    const QString percorso = riga.percorso();
    if (archivioEsiste(percorso))
        riga.Codice = rinumeraTraDatabase(att, tra, riga.Codice, percorso);
    if (nuovo)
        *nuovo = riga.Codice;

    const ChiaveQuery da{kCodice1Storico, double(codice)};
    const ChiaveQuery a{kCodice1Storico, double(riga.Codice)};
    try {
        if (percorso.isEmpty()) {
            comeUnaSola(tra, [&] { copiaCatena(att, tra, da, a); });
            tra.commitRetaining();
            return EsitoOperazione::Eseguita;
        }
        return nellArchivio(percorso, avvisi, [&](AltroArchivio &altro) {
            comeUnaSola(*altro.transazione, [&] { copiaCatena(altro.connessione, *altro.transazione, da, a); });
        });
    } catch (const db::Error &) {
        // The new row must not stay without the rows it stands for.
        try {
            comeUnaSola(tra, [&] { eliminaStoQuer(tra, riga.Codice); });
            tra.commitRetaining();
        } catch (const db::Error &) {
        }
        throw;
    }
}

EsitoOperazione EliminaQuery(db::Attachment &, db::Transaction &tra, int codice, platform::RunFeedback &avvisi)
{
    const std::optional<RigaStoQuer> riga = leggiStoQuer(tra, codice);
    if (!riga)
        return EsitoOperazione::RecordMancante;
    const QString percorso = riga->percorso();
    const auto eliminaRighe = [codice](db::Transaction &t) {
        for (const ChiaveQuery &k : chiaviCatena(t, codice))
            eliminaRigheChiave(t, k);
    };
    if (percorso.isEmpty()) {
        comeUnaSola(tra, [&] {
            eliminaRighe(tra);
            eliminaStoQuer(tra, codice);
        });
        tra.commitRetaining();
        return EsitoOperazione::Eseguita;
    }
    const EsitoOperazione esito = nellArchivio(percorso, avvisi, [&](AltroArchivio &altro) {
        altro.transazione->ensureStarted();
        eliminaRighe(*altro.transazione);
    });
    if (esito != EsitoOperazione::Eseguita)
        return esito;
    comeUnaSola(tra, [&] { eliminaStoQuer(tra, codice); });
    tra.commitRetaining();
    return EsitoOperazione::Eseguita;
}

QStringList sqlEliminaNuovoRecord(int codice)
{
    return {QStringLiteral("DELETE FROM STOQUER"), QStringLiteral("WHERE"),
            QStringLiteral("  CODICE=") + QString::number(codice)};
}

void EliminaNuovoRecord(db::Attachment &att, int codice)
{
    db::Transaction t(att, {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")});
    t.start();
    db::executeSql(t, righe(sqlEliminaNuovoRecord(codice)));
    t.commit();
}

QString rigaElenco(const RigaStoQuer &riga)
{
    return QStringList{QString::number(riga.Codice), riga.Titolo.value_or(QString()), riga.Tabella.value_or(QString()),
                       riga.Classificazione1.value_or(QString()), riga.Classificazione2.value_or(QString())}
        .join(QLatin1Char('\t'));
}

} // namespace vardof::storedqueries
