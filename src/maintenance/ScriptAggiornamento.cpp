#include "maintenance/ScriptAggiornamento.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/ExecuteBlock.h"
#include "db/Statement.h"
#include "maintenance/SqlText.h"

#include <algorithm>


namespace vardof::maintenance {

namespace {

const QString kNewLine = QStringLiteral("\n");

QString withoutBlanks(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\t'));
    return text;
}

// The text between the first single quote and the next one; `closed` false
// when the opening quote has no partner.
QString betweenQuotes(const QString &text, bool *found = nullptr, bool *closed = nullptr)
{
    const int open = text.indexOf(QLatin1Char('\''));
    if (found)
        *found = open >= 0;
    if (open < 0) {
        if (closed)
            *closed = true;
        return QString();
    }
    const int close = text.indexOf(QLatin1Char('\''), open + 1);
    if (closed)
        *closed = close >= 0;
    return close < 0 ? text.mid(open + 1) : text.mid(open + 1, close - open - 1);
}

QStringList splitParts(const QString &line)
{
    QStringList parts = line.split(QLatin1Char(';'));
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

QString afterFirstEquals(const QString &text)
{
    const int eq = text.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : text.mid(eq + 1);
}

// Problems the grammar leaves open; the check reports them as blocking.
struct LineProblem
{
    QString message;
};

thread_local std::vector<LineProblem> *t_problems = nullptr;

void noteProblem(const QString &message)
{
    if (t_problems)
        t_problems->push_back({message});
}

// A text longer than its place in the parsed tables would reach the
// statements cut, naming another field or writing another value: the check
// refuses it instead.
QString fitted(const QString &text, int size, const QString &problem, const QString &line)
{
    if (text.size() > size)
        noteProblem(problem.arg(size) + line.trimmed());
    return text.left(size);
}

const QString kNomeLungo = QStringLiteral("Nome di campo troppo lungo (al massimo %1 caratteri): ");
const QString kEspressioneLunga = QStringLiteral("Espressione troppo lunga (al massimo %1 caratteri): ");
const QString kCostanteLunga = QStringLiteral("Costante troppo lunga (al massimo %1 caratteri): ");
const QString kRicalcoloLungo = QStringLiteral("Formula o filtro di ricalcolo troppo lungo (al massimo %1 caratteri): ");

RigaScript filterRow(const QString &line, const QString &name)
{
    RigaScript r;
    r.Tipo = QLatin1Char('F');
    r.Nome = name;
    const QStringList parts = splitParts(line);
    if (parts.size() < 3) {
        noteProblem(QStringLiteral("Filtro incompleto (servono campo, valore e Includi o Escludi): ") + line.trimmed());
    }
    if (!parts.isEmpty())
        r.Valore = fitted(withoutBlanks(afterFirstEquals(parts[0])), 256, kEspressioneLunga, line);
    if (parts.size() > 1) {
        bool found = false, closed = false;
        r.Costante = fitted(betweenQuotes(parts[1], &found, &closed), 64, kCostanteLunga, line);
        r.haCostante = found;
        if (!found || !closed)
            noteProblem(QStringLiteral("Valore del filtro non racchiuso tra apici: ") + line.trimmed());
    }
    if (parts.size() > 2) {
        const QString third = parts[2].toUpper();
        if (third.contains(QLatin1String("INCLUDI")))
            r.InclEscl = QStringLiteral("I");
        else if (third.contains(QLatin1String("ESCLUDI")))
            r.InclEscl = QStringLiteral("E");
    }
    return r;
}

} // namespace

bool ScriptAnalizzato::direttiva(const QString &nome) const
{
    bool on = false;
    for (const RigaScript &r : righe)
        if (r.Tipo == QLatin1Char('D') && r.Nome == nome)
            on = r.Valore == QLatin1String("SI");
    return on;
}

std::vector<const RigaScript *> ScriptAnalizzato::assegnazioni() const
{
    std::vector<const RigaScript *> out;
    for (const RigaScript &r : righe)
        if (r.Tipo == QLatin1Char('A'))
            out.push_back(&r);
    return out;
}

static ScriptAnalizzato parse(const QStringList &righe, const std::function<bool(const QString &)> &isKey,
                              std::vector<LineProblem> &problems)
{
    t_problems = &problems;
    ScriptAnalizzato s;
    for (QString line : righe) {
        while (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString u = line.toUpper();
        const bool paren = u.trimmed().startsWith(QLatin1Char('('));
        if (paren && u.contains(QLatin1String("AGGIORNA"))) {
            RigaScript r;
            r.Tipo = QLatin1Char('D');
            r.Nome = QStringLiteral("AGGIORNA");
            r.Valore = u.contains(QLatin1String("SI")) ? QStringLiteral("SI") : QStringLiteral("NO");
            s.righe.push_back(r);
        } else if (paren && u.contains(QLatin1String("AGGIUNGI"))) {
            RigaScript r;
            r.Tipo = QLatin1Char('D');
            r.Nome = QStringLiteral("AGGIUNGI");
            r.Valore = u.contains(QLatin1String("SI")) ? QStringLiteral("SI") : QStringLiteral("NO");
            s.righe.push_back(r);
        } else if (u.contains(QLatin1String("FILTROTAB1"))) {
            s.righe.push_back(filterRow(line, QStringLiteral("FILTROTAB1")));
            ++s.numeroFiltriOrigine;
        } else if (u.contains(QLatin1String("FILTROTAB2"))) {
            s.righe.push_back(filterRow(line, QStringLiteral("FILTROTAB2")));
        } else if (u.contains(QLatin1String("RICALCOLACAMPOTAB2"))) {
            Ricalcolo r;
            const QString rest = afterFirstEquals(line);
            const int first = rest.indexOf(QLatin1Char(';'));
            r.NomeCampo = fitted((first < 0 ? rest : rest.left(first)).trimmed(), 31, kNomeLungo, line);
            if (first >= 0) {
                const QString tail = rest.mid(first + 1);
                const int second = tail.indexOf(QLatin1Char(';'));
                r.Formula = fitted(second < 0 ? tail : tail.left(second), 512, kRicalcoloLungo, line);
                if (second >= 0)
                    r.Filtro = fitted(tail.mid(second + 1), 512, kRicalcoloLungo, line);
            }
            s.ricalcoli.push_back(r);
        } else if (u.contains(QLatin1String("LOCATESECONDARIO"))) {
            s.locateSecondario = true;
            const int at = int(u.indexOf(QLatin1String("LOCATESECONDARIO")));
            QString names = line.mid(at + 17);
            const int stop = names.indexOf(QLatin1Char(';'));
            if (stop >= 0)
                names = names.left(stop);
            for (const QString &n : names.split(QLatin1Char(','))) {
                if (!n.isEmpty())
                    s.locate.push_back({fitted(n, 31, kNomeLungo, line), 0});
            }
        } else if (u.contains(QLatin1String("POPOLACONGENERATORE"))) {
            const QString rest = afterFirstEquals(line);
            const int semi = rest.indexOf(QLatin1Char(';'));
            s.campoGenerato = (semi < 0 ? rest : rest.left(semi)).trimmed();
            s.generatore = semi < 0 ? QString() : rest.mid(semi + 1).trimmed();
            if (s.generatore.endsWith(QLatin1Char(';')))
                s.generatore.chop(1);
        } else if (u.contains(QLatin1Char('='))) {
            RigaScript r;
            r.Tipo = QLatin1Char('A');
            const int eq = line.indexOf(QLatin1Char('='));
            r.Nome = fitted(withoutBlanks(line.left(eq)), 31, kNomeLungo, line);
            if (line.contains(QLatin1Char('\''))) {
                bool closed = true;
                r.Costante = fitted(betweenQuotes(line, nullptr, &closed), 64, kCostanteLunga, line);
                r.haCostante = true;
                if (!closed)
                    noteProblem(QStringLiteral("Costante senza apice di chiusura: ") + line.trimmed());
            } else {
                r.Valore = fitted(line.mid(eq + 1), 256, kEspressioneLunga, line);
            }
            if (isKey && isKey(r.Nome))
                s.chiavi.push_back({r.Valore.trimmed().left(31), r.Nome});
            ++s.numeroAssegnazioni;
            s.righe.push_back(r);
        }
    }
    // Marked once every line is read, so that the order of the lines does not matter.
    for (CampoLocate &c : s.locate)
        for (const RigaScript &r : s.righe)
            if (r.Tipo == QLatin1Char('A') && r.Nome == c.CampoFDB2)
                c.Trovato = 1;
    t_problems = nullptr;
    return s;
}

ScriptAnalizzato analizzaScript(const QStringList &righe, const std::function<bool(const QString &)> &isKey)
{
    std::vector<LineProblem> problems;
    return parse(righe, isKey, problems);
}

QString InserimentoValoreSQL(const db::Column &column, const db::FieldValue &value)
{
    if (!value)
        return QStringLiteral("NULL");
    const db::Value &v = *value;
    if (auto d = std::get_if<QDate>(&v))
        return QLatin1Char('\'') + d->toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('\'');
    if (auto t = std::get_if<QTime>(&v))
        return QLatin1Char('\'') + t->toString(QStringLiteral("hh:mm:ss")) + QLatin1Char('\'');
    if (auto ts = std::get_if<QDateTime>(&v))
        return QLatin1Char('\'') + ts->toString(QStringLiteral("MM/dd/yyyy hh:mm:ss")) + QLatin1Char('\'');
    const QString text = db::toText(v);
    if (text.isEmpty())
        return QStringLiteral("NULL");
    const bool decimal = column.typeCode == db::TypeFloat || column.typeCode == db::TypeDouble
        || column.scale > 0 || std::holds_alternative<double>(v) || std::holds_alternative<db::Decimal>(v);
    if (decimal) {
        QString dotted = text;
        dotted.replace(QLatin1Char(','), QLatin1Char('.'));
        return QLatin1Char('\'') + dotted + QLatin1Char('\'');
    }
    return sqlQuote(text);
}

// ---- AggiornamentoFDB ---------------------------------------------------------

AggiornamentoFDB::AggiornamentoFDB(db::Attachment &origine, db::Transaction &transazioneOrigine,
                                   DatabaseOpener opener)
    : m_origin(origine)
    , m_originTransaction(transazioneOrigine)
    , m_opener(std::move(opener))
{
}

QString avvisoElaborazioneInCorso()
{
    return QStringLiteral("Elaborazione in corso.\nPer fermare l'elaborazione premere il tasto Interrompi");
}

AggiornamentoFDB::~AggiornamentoFDB()
{
    m_running = false;
    chiudiDestinazione();
}

bool AggiornamentoFDB::chiudiDestinazione(platform::RunFeedback *feedback)
{
    if (m_running) {
        if (feedback)
            feedback->tell(platform::Warning, avvisoElaborazioneInCorso());
        return false;
    }
    bool committed = true;
    if (m_destinationTransaction) {
        try {
            if (m_destinationTransaction->isActive())
                m_destinationTransaction->commit();
        } catch (const db::Error &e) {
            // The connection goes anyway and the server drops what it could
            // not commit: the user must hear that the last run's writes are lost.
            committed = false;
            if (feedback)
                feedback->tell(platform::Error,
                               QStringLiteral("Errore durante la conferma dei dati scritti nell'Archivio FDB "
                                              "Destinazione:\n")
                                   + e.message());
        }
        m_destinationTransaction.reset();
    }
    m_destination.disconnect();
    return committed;
}

bool AggiornamentoFDB::ConnessioneDatabaseDestinazione(const QString &archivio, platform::RunFeedback &feedback)
{
    if (m_running) {
        feedback.tell(platform::Warning, avvisoElaborazioneInCorso());
        return false;
    }
    chiudiDestinazione(&feedback);
    if (archivio.trimmed().isEmpty()) {
        feedback.tell(platform::Warning, QStringLiteral("Archivio FDB Destinazione non impostato"));
        return false;
    }
    if (!databaseFileExists(archivio)) {
        feedback.tell(platform::Warning, QStringLiteral("L'Archivio FDB Destinazione impostato è inesistente"));
        return false;
    }
    const auto [dir, file] = splitDatabasePath(archivio);
    if (!m_opener || !m_opener(m_destination, dir, file) || !m_destination.isConnected()) {
        m_destination.disconnect();
        feedback.tell(platform::Error, QStringLiteral("Errore di connessione all'Archivio FDB Destinazione"));
        return false;
    }
    m_destinationTransaction = std::make_unique<db::Transaction>(m_destination);
    return true;
}

// Names are compared exactly as the script writes them: the catalogue's
// name for what is written is those very characters only when it holds them.
// (Trailing blanks never counted: the catalogue pads its names with them.)
namespace {
QString withoutTrailingBlanks(QString name)
{
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name;
}
} // namespace

bool AggiornamentoFDB::tableExists(db::Attachment &, db::Transaction &tra, const QString &table)
{
    const QString name = withoutTrailingBlanks(table);
    return !name.isEmpty() && db::catalog::relationName(tra, name) == name;
}

bool AggiornamentoFDB::fieldExists(db::Attachment &att, db::Transaction &tra, const QString &table, const QString &field)
{
    const QString name = withoutTrailingBlanks(field);
    return tableExists(att, tra, table) && !name.isEmpty()
           && db::catalog::columnName(tra, withoutTrailingBlanks(table), name) == name;
}

namespace {

// The primary-key fields of the relation with exactly this name ("zone"
// has its own key beside ZONE's).
QStringList primaryKey(db::Transaction &tra, const QString &relation)
{
    db::Statement s(tra, QStringLiteral("SELECT S.RDB$FIELD_NAME FROM RDB$RELATION_CONSTRAINTS C "
                                        "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                                        "WHERE C.RDB$RELATION_NAME = CAST(:NAME AS VARCHAR(63)) "
                                        "AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                                        "ORDER BY S.RDB$FIELD_POSITION"));
    s.setParam(QStringLiteral("NAME"), relation);
    db::ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << withoutTrailingBlanks(rs.text(0));
    return out;
}

// A column name as a statement writes it: quoted as the catalogue holds it
// when the catalogue has exactly what was written (what the check accepts),
// otherwise the user's text as it stands.
QString sqlColumn(db::Transaction &tra, const QString &relation, const QString &written)
{
    const QString name = written.trimmed();
    if (!name.isEmpty() && !relation.isEmpty() && db::catalog::columnName(tra, relation, name) == name)
        return db::quotedName(name);
    return written;
}

} // namespace

bool AggiornamentoFDB::destinationKey(const QString &table, const QString &field)
{
    db::Transaction &tra = *m_destinationTransaction;
    const QString relation = withoutTrailingBlanks(table);
    if (relation.isEmpty() || db::catalog::relationName(tra, relation) != relation)
        return false;
    // Exactly as written: the completeness check compares the assignments'
    // names with the key fields character by character.
    return primaryKey(tra, relation).contains(field);
}

void AggiornamentoFDB::risolviNomi(const ScriptFDB &script)
{
    db::Transaction &dt = *m_destinationTransaction;
    const QString origine = withoutTrailingBlanks(script.tabellaOrigine);
    const QString destinazione = withoutTrailingBlanks(script.tabellaDestinazione);
    const bool origineEsiste = db::catalog::relationName(m_originTransaction, origine) == origine;
    NomiSql n;
    n.origine = origineEsiste ? db::quotedName(origine) : script.tabellaOrigine;
    n.destinazione = db::quotedName(destinazione);
    const QString relOrigine = origineEsiste ? origine : QString();
    for (const RigaScript *a : m_parsed.assegnazioni()) {
        n.colonne << sqlColumn(dt, destinazione, a->Nome);
        n.espressioni << (a->haCostante ? QStringLiteral("(%1)").arg(sqlQuote(a->Costante))
                                        : QStringLiteral("(%1)").arg(sqlColumn(m_originTransaction, relOrigine, a->Valore)));
    }
    for (const RigaScript &r : m_parsed.righe)
        if (r.Tipo == QLatin1Char('F') && r.Nome == QLatin1String("FILTROTAB1"))
            n.filtriOrigine << sqlColumn(m_originTransaction, relOrigine, r.Valore);
    for (const QString &campo : locatingFields())
        n.locate << sqlColumn(dt, destinazione, campo);
    if (!m_parsed.campoGenerato.isEmpty()) {
        n.campoGenerato = sqlColumn(dt, destinazione, m_parsed.campoGenerato);
        n.generatore = db::catalog::generators(dt).contains(m_parsed.generatore) ? db::quotedName(m_parsed.generatore)
                                                                                  : m_parsed.generatore;
    }
    for (const Ricalcolo &r : m_parsed.ricalcoli)
        n.ricalcoli << sqlColumn(dt, destinazione, r.NomeCampo);
    m_nomi = n;
}

int AggiornamentoFDB::ControllaValiditaScript(const ScriptFDB &script, bool ignoraOrigine, platform::RunFeedback &feedback,
                                              QString &messaggio)
{
    messaggio.clear();
    if (m_running) {
        // The run reads the parsed script and writes through the connection
        // a check would reopen.
        messaggio = avvisoElaborazioneInCorso();
        return -1;
    }
    m_parsed = ScriptAnalizzato();
    m_nomi = NomiSql();
    if (!ConnessioneDatabaseDestinazione(script.archivioDestinazione, feedback))
        return -1;

    auto blocking = [&](const QString &text) {
        messaggio = text;
        return -1;
    };
    const QString origine = script.tabellaOrigine;
    const QString destinazione = script.tabellaDestinazione;
    try {
        if (script.script.trimmed().isEmpty())
            return blocking(QStringLiteral("Non è stato scritto uno script"));
        if (origine.isEmpty())
            return blocking(QStringLiteral("Non è stata specificata nessuna tabella FDB Origine"));
        if (destinazione.isEmpty())
            return blocking(QStringLiteral("Non è stata specificata nessuna tabella FDB Destinazione"));
        if (!tableExists(m_origin, m_originTransaction, origine))
            return blocking(QStringLiteral("La tabella FDB Origine specificata non esiste"));
        db::Transaction &dt = *m_destinationTransaction;
        if (!tableExists(m_destination, dt, destinazione))
            return blocking(QStringLiteral("La tabella FDB Destinazione specificata non esiste"));

        std::vector<LineProblem> problems;
        m_parsed = parse(script.script.split(QLatin1Char('\n')),
                         [&](const QString &field) { return destinationKey(destinazione, field); }, problems);
        const ScriptAnalizzato &s = m_parsed;
        if (s.righe.empty())
            return blocking(QStringLiteral("Script invalido: non è stata riconosciuta nessuna indicazione"));
        if (!problems.empty())
            return blocking(problems.front().message);

        if (!s.locateSecondario) {
            if (s.chiavi.empty())
                return blocking(QStringLiteral(
                    "Script incompleto: non è stato coinvolto nessun campo chiave nelle assegnazioni o in "
                    "alternativa non risulta implementato un locate secondario"));
            const QStringList keys = primaryKey(dt, withoutTrailingBlanks(destinazione));
            const auto assigned = s.assegnazioni();
            bool complete = int(keys.size()) == int(s.chiavi.size());
            for (const QString &k : keys) {
                bool any = false;
                for (const RigaScript *a : assigned)
                    any = any || a->Nome == k;
                complete = complete && any;
            }
            if (!complete)
                return blocking(QStringLiteral(
                    "Script incompleto: è necessario coinvolgere tutti i campi chiave della Tabella FDB Destinazione"));
        } else {
            for (const CampoLocate &c : s.locate)
                if (c.Trovato == 0)
                    return blocking(QStringLiteral("Script incompleto: non tutti i campi del LocateSecondario "
                                                   "sono presenti nell'elenco delle assegnazioni"));
        }

        const auto notInDestination = [](const QString &field) {
            return QStringLiteral("Il campo \"%1\" non è stato trovato nella tabella FDB Destinazione").arg(field);
        };
        const auto notInOrigin = [](const QString &field) {
            return QStringLiteral("Il campo \"%1\" non è stato trovato nella tabella FDB Origine").arg(field);
        };
        for (const RigaScript &r : s.righe) {
            if (r.Tipo == QLatin1Char('A')) {
                if (r.Valore.isEmpty() && r.Costante.isEmpty())
                    return blocking(
                        QStringLiteral("Il campo %1 non è stato associato a nessun campo o costante").arg(r.Nome));
                if (!fieldExists(m_destination, dt, destinazione, r.Nome))
                    return blocking(notInDestination(r.Nome));
                if (!r.haCostante && !ignoraOrigine
                    && !fieldExists(m_origin, m_originTransaction, origine, r.Valore.trimmed()))
                    return blocking(notInOrigin(r.Valore));
            } else if (r.Tipo == QLatin1Char('F') && r.Nome == QLatin1String("FILTROTAB2")) {
                if (!fieldExists(m_destination, dt, destinazione, r.Valore))
                    return blocking(notInDestination(r.Valore));
            } else if (r.Tipo == QLatin1Char('F') && !ignoraOrigine) {
                if (!fieldExists(m_origin, m_originTransaction, origine, r.Valore))
                    return blocking(notInOrigin(r.Valore));
            }
        }
        if (!ignoraOrigine)
            for (const Ricalcolo &r : s.ricalcoli)
                if (!fieldExists(m_destination, dt, destinazione, r.NomeCampo))
                    return blocking(notInDestination(r.NomeCampo));
        if (!s.campoGenerato.isEmpty()) {
            if (!fieldExists(m_destination, dt, destinazione, s.campoGenerato))
                return blocking(notInDestination(s.campoGenerato));
            if (!db::catalog::generators(dt).contains(s.generatore))
                return blocking(
                    QStringLiteral("Il generatore \"%1\" non è stato trovato nella tabella FDB Destinazione")
                        .arg(s.generatore));
        }
        risolviNomi(script);
        if (!s.aggiorna() && !s.aggiungi()) {
            messaggio = QStringLiteral("Nessuna condizione di AGGIORNA o AGGIUNGI - questo script non farà nulla");
            return 1;
        }
    } catch (const db::Error &e) {
        return blocking(e.message());
    }
    return 0;
}

void AggiornamentoFDB::connessionePersa(EsitoAggiornamento &esito, const db::Error &e, platform::RunFeedback &feedback)
{
    esito.connessionePersa = true;
    feedback.line(QString());
    feedback.line(QStringLiteral("Connessione all'Archivio FDB Destinazione persa: i record scritti da questa "
                                    "elaborazione non sono stati confermati"));
    feedback.line(e.message());
    feedback.line(QString());
}

QStringList AggiornamentoFDB::locatingFields() const
{
    QStringList out;
    if (m_parsed.locateSecondario) {
        for (const CampoLocate &c : m_parsed.locate)
            out << c.CampoFDB2;
    } else {
        for (const CoppiaChiave &k : m_parsed.chiavi)
            out << k.CampoFDB2;
    }
    return out;
}

QStringList AggiornamentoFDB::testoOrigine() const
{
    QStringList lines{QStringLiteral("SELECT")};
    for (int i = 0; i < m_nomi.colonne.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << QStringLiteral("%1 AS %2").arg(m_nomi.espressioni[i], m_nomi.colonne[i]);
    }
    lines << QStringLiteral("FROM ") + m_nomi.origine;
    if (!m_nomi.filtriOrigine.isEmpty()) {
        lines << QStringLiteral("WHERE");
        int k = 0;
        for (const RigaScript &r : m_parsed.righe) {
            if (r.Tipo != QLatin1Char('F') || r.Nome != QLatin1String("FILTROTAB1"))
                continue;
            if (k >= m_nomi.filtriOrigine.size())
                break;
            const QString &campo = m_nomi.filtriOrigine[k];
            if (k > 0)
                lines << QStringLiteral("AND");
            ++k;
            if (r.InclEscl == QLatin1String("I")) {
                lines << QStringLiteral("(%1=%2)").arg(campo, sqlQuote(r.Costante));
            } else {
                lines << QStringLiteral("((%1<>%2)OR(").arg(campo, sqlQuote(r.Costante))
                      << QStringLiteral("%1 IS NULL))").arg(campo);
            }
        }
    }
    return lines;
}

namespace {

QStringList whereLines(const QStringList &campi, const QStringList &literals)
{
    QStringList lines;
    for (int i = 0; i < campi.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral("AND");
        if (literals[i] == QLatin1String("NULL"))
            lines << QStringLiteral("(%1 IS NULL)").arg(campi[i]);
        else
            lines << QStringLiteral("(%1=%2)").arg(campi[i], literals[i]);
    }
    return lines;
}

} // namespace

QStringList AggiornamentoFDB::testoRicerca(const QString &tabella, const QStringList &campi,
                                           const QStringList &literals) const
{
    return QStringList{QStringLiteral("SELECT * FROM ") + tabella, QStringLiteral("WHERE")}
        + whereLines(campi, literals);
}

QStringList AggiornamentoFDB::testoAggiornamento(const QString &tabella, const QStringList &nomi,
                                                 const QStringList &valori, const QStringList &campi,
                                                 const QStringList &literals) const
{
    QStringList lines{QStringLiteral("UPDATE %1 SET").arg(tabella)};
    for (int i = 0; i < nomi.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << nomi[i] + QLatin1Char('=') + valori[i];
    }
    // A NULL key is matched with IS NULL here too: "=NULL" would match no row
    // and the row found by the lookup would count as updated without being so.
    lines << QStringLiteral("WHERE");
    return lines + whereLines(campi, literals);
}

QStringList AggiornamentoFDB::testoInserimento(const QString &tabella, const QStringList &nomi,
                                               const QStringList &valori) const
{
    const bool generated = !m_nomi.campoGenerato.isEmpty();
    QStringList lines{QStringLiteral("INSERT INTO %1 (").arg(tabella)};
    if (generated)
        lines << m_nomi.campoGenerato + QLatin1Char(',');
    for (int i = 0; i < nomi.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << nomi[i];
    }
    lines << QStringLiteral(") VALUES(");
    if (generated) {
        lines << QStringLiteral("GEN_ID(%1,1)").arg(m_nomi.generatore);
        if (!valori.isEmpty())
            lines << QStringLiteral(",");
    }
    for (int i = 0; i < valori.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << valori[i];
    }
    lines << QStringLiteral(")");
    return lines;
}

// Blocks of rows. Through a server every statement is a network round trip,
// and a row costs two (the lookup and the write), each a new text the server
// must compile. A block carries the lookups and writes of many rows in one
// round trip, and is compiled once per run: its statements are the row's
// own, with each literal's text as an input that the server converts to the
// column's type as it converts the literal; it gives back per row what the
// counters need.
//
// A block fails whole: the server undoes it to its savepoint, and its rows
// then run again one by one, so the failing row, its lines in the log and
// every counter are those of a run that sent no blocks. A row another user
// holds makes the block wait the lock timeout and fail, and the row waits
// once more on its own: such a row costs two waits instead of one.
//
// Rows that cannot fill a block (a run shorter than a block, the last rows
// of a longer one) go one by one as they come, and so do those waiting when
// the run is interrupted. A block holds as many rows as the server takes in
// one input message, so a script with a very long value sends none. A run
// with destination filters sends no blocks: the filter compares the found
// row's value as the client shows it, which the server cannot write. When a
// failed block's rows all succeed on their own, the block failed for a
// reason of its own and the rest of the run sends no more blocks. A block
// undone by the server keeps the generator values it drew, as a failed
// insert does: the rows added after it carry later numbers.
namespace {

// Per row the block's one lookup, and at most one update and one insert:
// the server compiles at most 255 of these in one statement.
constexpr int kContestiPerStatement = 240;

enum class EsitoRiga { Scritta, Fallita, Persa };

} // namespace

EsitoAggiornamento AggiornamentoFDB::esegui(const ScriptFDB &script, bool ignoraOrigine, platform::RunFeedback &feedback)
{
    EsitoAggiornamento esito;
    if (m_running) {
        feedback.tell(platform::Warning, avvisoElaborazioneInCorso());
        return esito;
    }
    feedback.line(QStringLiteral("Inizio controllo validità script..."));
    QString messaggio;
    const int check = ControllaValiditaScript(script, ignoraOrigine, feedback, messaggio);
    if (check == -1) {
        feedback.line(messaggio);
        return esito;
    }
    if (check == 1) {
        feedback.line(messaggio);
        if (!feedback.confirm(QStringLiteral("Attenzione:\n\n") + messaggio + QStringLiteral("\n\nContinuare lo stesso?"),
                              platform::Warning))
            return esito;
    }

    // Every origin row is fetched first: the origin is read in one go.
    const QStringList originText = testoOrigine();
    std::vector<db::Column> columns;
    std::vector<std::vector<db::FieldValue>> rows;
    try {
        db::Statement origin(m_origin, m_originTransaction, originText.join(kNewLine), db::ParamStyle::AsWritten);
        db::ResultSet rs = origin.open();
        columns = rs.columns();
        rows = rs.fetchAll();
    } catch (const db::Error &e) {
        feedback.line(QStringLiteral("Errore durante la lettura dei dati:"));
        feedback.line(QString());
        feedback.line(originText.join(kNewLine));
        feedback.line(QString());
        feedback.line(e.message());
        return esito;
    } catch (const std::exception &) {
        feedback.line(QStringLiteral("Errore interno durante la lettura dei dati"));
        return esito;
    }

    // From here on the run holds the destination connection and the parsed
    // script; the question above was the last point where it did not.
    struct Running
    {
        bool &flag;
        explicit Running(bool &f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(m_running);

    esito.eseguito = true;
    const bool aggiorna = m_parsed.aggiorna();
    const bool aggiungi = m_parsed.aggiungi();
    // The locating fields as the script writes them (for the lines that
    // name a failed row) and as the statements write them.
    const QStringList campiScritti = locatingFields();
    const QStringList &campi = m_nomi.locate;
    const QString &tabella = m_nomi.destinazione;
    const QStringList &nomi = m_nomi.colonne;
    // Per locating field, the origin column (the assignment) giving its value.
    const std::vector<const RigaScript *> assegnazioni = m_parsed.assegnazioni();
    std::vector<int> locateIndex;
    for (const QString &c : campiScritti) {
        int at = -1;
        for (int i = 0; i < int(assegnazioni.size()) && at < 0; ++i)
            if (assegnazioni[size_t(i)]->Nome == c)
                at = i;
        locateIndex.push_back(at < int(columns.size()) ? at : -1);
    }
    std::vector<const RigaScript *> destinationFilters;
    for (const RigaScript &r : m_parsed.righe)
        if (r.Tipo == QLatin1Char('F') && r.Nome == QLatin1String("FILTROTAB2"))
            destinationFilters.push_back(&r);

    db::Transaction &dt = *m_destinationTransaction;
    feedback.progress(0);
    feedback.restartThrottle();
    const qint64 total = qint64(rows.size());

    struct Pronta
    {
        qint64 n = 0;
        QStringList valori;  // the literals of the row, in assignment order
        QStringList chiavi;  // the literals of the locating fields
    };
    const auto prepara = [&](qint64 n) {
        Pronta p;
        p.n = n;
        const std::vector<db::FieldValue> &row = rows[size_t(n)];
        for (size_t i = 0; i < row.size(); ++i)
            p.valori << InserimentoValoreSQL(columns[i], row[i]);
        for (int at : locateIndex)
            p.chiavi << (at < 0 ? QStringLiteral("NULL") : p.valori[at]);
        return p;
    };
    const auto avanza = [&](qint64 n) {
        // The last row always shows its 100%.
        if (n + 1 == total)
            feedback.report(n + 1, total);
        else
            feedback.step(n + 1, total);
    };
    // The column of a found destination row that a filter names: its exact
    // name first ("zone" beside ZONE), then as the server would read it.
    const auto filterColumn = [](const db::ResultSet &found, const QString &field) {
        const std::vector<db::Column> &cols = found.columns();
        for (size_t i = 0; i < cols.size(); ++i)
            if (cols[i].name == field)
                return int(i);
        return found.indexOf(field);
    };

    // One row with its own statements.
    const auto unaRiga = [&](const Pronta &p) -> EsitoRiga {
        const std::vector<db::FieldValue> &row = rows[size_t(p.n)];
        QStringList write;
        try {
            db::Statement lookup(m_destination, dt, testoRicerca(tabella, campi, p.chiavi).join(kNewLine),
                                 db::ParamStyle::AsWritten);
            db::ResultSet found = lookup.open();
            if (found.next()) {
                if (!aggiorna) {
                    ++esito.giaPresenti;
                } else {
                    bool skip = false;
                    for (const RigaScript *f : destinationFilters) {
                        const int at = filterColumn(found, f->Valore);
                        QString text = at < 0 ? QString() : found.text(at);
                        if (at >= 0 && found.columns()[size_t(at)].typeCode == db::TypeChar)
                            while (text.endsWith(QLatin1Char(' ')))
                                text.chop(1);
                        const bool equal = text == f->Costante;
                        if (f->InclEscl == QLatin1String("I") ? !equal : equal)
                            skip = true;
                    }
                    if (!skip)
                        write = testoAggiornamento(tabella, nomi, p.valori, campi, p.chiavi);
                }
            } else if (aggiungi) {
                write = testoInserimento(tabella, nomi, p.valori);
            }
        } catch (const db::Error &e) {
            feedback.line(QStringLiteral("Errore durante la ricerca del record nella tabella FDB Destinazione:"));
            feedback.line(e.message());
            ++esito.falliti;
            if (e.isConnectionLost()) {
                connessionePersa(esito, e, feedback);
                return EsitoRiga::Persa;
            }
            return EsitoRiga::Fallita;
        }

        EsitoRiga out = EsitoRiga::Scritta;
        if (!write.isEmpty()) {
            const bool update = write.first().startsWith(QLatin1String("UPDATE"));
            try {
                db::executeSql(m_destination, dt, write.join(kNewLine), db::ParamStyle::AsWritten);
                if (update)
                    ++esito.aggiornati;
                else
                    ++esito.aggiunti;
            } catch (const db::Error &e) {
                // The server has already undone the failed statement alone; the
                // rows written before it stay, as the counters say.
                out = EsitoRiga::Fallita;
                ++esito.falliti;
                feedback.line(QStringLiteral("Errore durante la scrittura dei dati:"));
                feedback.line(write.join(kNewLine));
                // The one reason a user can act on is said in words: someone
                // else had the destination row.
                if (db::lockWaitExpired(e) || e.isLockConflict()) {
                    const int attesa = db::Transaction::defaultLockTimeout();
                    feedback.line(QStringLiteral("Record in uso da un altro utente (bloccato o modificato durante "
                                                 "l'elaborazione%1)")
                                      .arg(attesa > 0 ? QStringLiteral(", attesa massima %1 secondi").arg(attesa)
                                                      : QString()));
                }
                feedback.line(QStringLiteral("Il record che non è stato possibile inserire è individuabile "
                                                "nella tabella Firebird Origine secondo i seguenti criteri:"));
                if (m_parsed.locateSecondario) {
                    for (int i = 0; i < campiScritti.size(); ++i)
                        feedback.line(QStringLiteral("%1 = %2").arg(
                            campiScritti[i], locateIndex[size_t(i)] < 0
                                                 ? QString()
                                                 : db::toText(row[size_t(locateIndex[size_t(i)])])));
                } else {
                    for (size_t i = 0; i < m_parsed.chiavi.size(); ++i)
                        feedback.line(QStringLiteral("%1 = %2").arg(
                            m_parsed.chiavi[i].CampoFDB1,
                            locateIndex[i] < 0 ? QString() : db::toText(row[size_t(locateIndex[i])])));
                }
                if (e.isConnectionLost()) {
                    connessionePersa(esito, e, feedback);
                    return EsitoRiga::Persa;
                }
            }
        }
        avanza(p.n);
        return out;
    };

    // The block: per row its lookup, then its update or insert, with the
    // row's values as inputs; per row the code of what it did: 1 updated,
    // 2 added, 3 already present, 0 nothing. Each input is the text the
    // row's literal carries (NULL for the NULL literal), declared as text
    // of the connection's character set, so the server converts it to the
    // column's type exactly as it converts the literal.
    const int contestiPerRiga = 1 + (aggiorna ? 1 : 0) + (aggiungi ? 1 : 0);
    int righeBlocco = std::min(m_righePerBlocco, kContestiPerStatement / contestiPerRiga);
    std::vector<int> lunghezze(columns.size(), 1); // characters of the longest text per value
    if (righeBlocco > 1 && destinationFilters.empty() && !campi.isEmpty() && !columns.empty() && total >= righeBlocco) {
        for (const std::vector<db::FieldValue> &row : rows)
            for (size_t i = 0; i < row.size(); ++i)
                if (row[i])
                    lunghezze[i] = std::max<int>(lunghezze[i], int(db::toText(*row[i]).size()) + 4);
        qint64 byteRiga = 0;
        for (int l : lunghezze)
            byteRiga += l + 4;
        righeBlocco = int(std::min<qint64>(righeBlocco, db::ExecuteBlock::kMaxMessageBytes / std::max<qint64>(1, byteRiga)));
        if (*std::max_element(lunghezze.begin(), lunghezze.end()) > 32000)
            righeBlocco = 0;
    } else {
        righeBlocco = 0;
    }
    std::unique_ptr<db::Statement> blocco;
    if (righeBlocco > 1) {
        QStringList ingressi, uscite, corpo;
        for (int k = 0; k < righeBlocco; ++k) {
            QStringList param;
            for (size_t i = 0; i < columns.size(); ++i) {
                param << QStringLiteral(":A%1_%2").arg(k).arg(i);
                ingressi << QStringLiteral("A%1_%2 VARCHAR(%3) CHARACTER SET WIN1252 = ?").arg(k).arg(i).arg(lunghezze[i]);
            }
            const QString esitoRiga = QStringLiteral("R%1").arg(k);
            uscite << esitoRiga + QStringLiteral(" INTEGER");
            // A NULL literal asks IS NULL and a value asks "="; together
            // that is IS NOT DISTINCT FROM the input.
            QStringList dove;
            for (int j = 0; j < campi.size(); ++j) {
                if (j > 0)
                    dove << QStringLiteral("AND");
                const int at = locateIndex[size_t(j)];
                dove << (at < 0 ? QStringLiteral("(%1 IS NULL)").arg(campi[j])
                                : QStringLiteral("(%1 IS NOT DISTINCT FROM %2)").arg(campi[j], param[at]));
            }
            corpo << QStringLiteral("IF (EXISTS(SELECT 1 FROM %1 WHERE").arg(tabella) << dove << QStringLiteral(")) THEN");
            if (aggiorna) {
                corpo << QStringLiteral("BEGIN") << QStringLiteral("UPDATE %1 SET").arg(tabella);
                for (int i = 0; i < nomi.size(); ++i) {
                    if (i > 0)
                        corpo << QStringLiteral(",");
                    corpo << nomi[i] + QLatin1Char('=') + param[i];
                }
                corpo << QStringLiteral("WHERE") << dove << QStringLiteral(";") << esitoRiga + QStringLiteral(" = 1;")
                      << QStringLiteral("END");
            } else {
                corpo << esitoRiga + QStringLiteral(" = 3;");
            }
            corpo << QStringLiteral("ELSE");
            if (aggiungi)
                corpo << QStringLiteral("BEGIN") << testoInserimento(tabella, nomi, param) << QStringLiteral(";")
                      << esitoRiga + QStringLiteral(" = 2;") << QStringLiteral("END");
            else
                corpo << esitoRiga + QStringLiteral(" = 0;");
        }
        const QString testo = QStringLiteral("EXECUTE BLOCK (") + ingressi.join(QStringLiteral(",\n"))
                              + QStringLiteral(")\nRETURNS (") + uscite.join(QStringLiteral(", "))
                              + QStringLiteral(")\nAS\nBEGIN\n") + corpo.join(kNewLine) + QStringLiteral("\nSUSPEND;\nEND");
        try {
            blocco = std::make_unique<db::Statement>(m_destination, dt, testo, db::ParamStyle::AsWritten);
            blocco->prepare();
        } catch (const db::Error &) {
            // A block the server will not take (its size, a table it cannot
            // describe): every row goes one by one, as it always could.
            blocco.reset();
        }
    }
    bool blocchi = blocco != nullptr;
    std::vector<Pronta> attesa;

    // The waiting rows one by one; false when the destination went away.
    const auto unoAllaVolta = [&](bool *qualcunaFallita) {
        for (const Pronta &p : attesa) {
            const EsitoRiga r = unaRiga(p);
            if (r == EsitoRiga::Persa)
                return false;
            if (r == EsitoRiga::Fallita && qualcunaFallita)
                *qualcunaFallita = true;
        }
        return true;
    };
    // A full block of waiting rows, or one by one when it fails. False when
    // the destination went away.
    const auto svuota = [&]() {
        std::vector<qint64> codici;
        try {
            int marcatore = 0;
            for (const Pronta &p : attesa)
                for (const QString &literal : p.valori) {
                    if (literal == QLatin1String("NULL"))
                        blocco->setParam(marcatore++, db::FieldValue());
                    else
                        blocco->setParam(marcatore++, db::FieldValue(db::Value(
                                                          literal.mid(1, literal.size() - 2).replace(
                                                              QLatin1String("''"), QLatin1String("'")))));
                }
            db::ResultSet rs = blocco->open();
            if (rs.next())
                for (size_t k = 0; k < attesa.size(); ++k)
                    codici.push_back(rs.toInt64(int(k)).value_or(0));
        } catch (const db::Error &) {
            // Undone whole by the server: its rows run again one by one below.
            codici.clear();
        }
        bool continua = true;
        if (codici.size() == attesa.size()) {
            ++esito.blocchi;
            for (qint64 c : codici) {
                if (c == 1)
                    ++esito.aggiornati;
                else if (c == 2)
                    ++esito.aggiunti;
                else if (c == 3)
                    ++esito.giaPresenti;
            }
            avanza(attesa.back().n);
        } else {
            bool qualcunaFallita = false;
            continua = unoAllaVolta(&qualcunaFallita);
            if (!qualcunaFallita)
                blocchi = false;
        }
        attesa.clear();
        return continua;
    };

    bool persa = false;
    for (qint64 n = 0; n < total && !persa; ++n) {
        if (feedback.interruptRequested()) {
            esito.interrotto = true;
            break;
        }
        Pronta p = prepara(n);
        if (blocchi && qint64(attesa.size()) + (total - n) < righeBlocco) {
            // Too few rows left to fill a block: the waiting ones and the
            // rest go one by one, each as soon as it comes.
            blocchi = false;
            persa = !unoAllaVolta(nullptr);
            attesa.clear();
            if (persa)
                break;
        }
        if (!blocchi) {
            persa = unaRiga(p) == EsitoRiga::Persa;
            continue;
        }
        attesa.push_back(std::move(p));
        if (int(attesa.size()) == righeBlocco)
            persa = !svuota();
    }
    // Rows waiting when the run was interrupted go one by one.
    if (!persa && !attesa.empty())
        unoAllaVolta(nullptr);
    attesa.clear();
    blocco.reset();

    if (!esito.interrotto && !esito.connessionePersa) {
        int numero = 0;
        for (size_t i = 0; i < m_parsed.ricalcoli.size(); ++i) {
            const Ricalcolo &r = m_parsed.ricalcoli[i];
            if (feedback.interruptRequested()) {
                esito.interrotto = true;
                break;
            }
            ++numero;
            feedback.line(QStringLiteral("Esecuzione Ricalcolo Campo Destinazione n° %1").arg(numero));
            const QString campo = i < size_t(m_nomi.ricalcoli.size()) ? m_nomi.ricalcoli[qsizetype(i)] : r.NomeCampo;
            const QStringList text{QStringLiteral("UPDATE %1 SET").arg(tabella),
                                   QStringLiteral("%1=%2").arg(campo, r.Formula),
                                   QStringLiteral("WHERE %1").arg(r.Filtro)};
            try {
                db::executeSql(m_destination, dt, text.join(kNewLine), db::ParamStyle::AsWritten);
                feedback.line(QStringLiteral("RICALCOLACAMPOTAB2=%1 eseguita con successo!").arg(r.NomeCampo));
            } catch (const db::Error &e) {
                ++esito.ricalcoliFalliti;
                feedback.line(QStringLiteral("RICALCOLACAMPOTAB2=%1 fallita!").arg(r.NomeCampo));
                feedback.line(QString());
                feedback.line(text.join(kNewLine));
                feedback.line(QString());
                if (e.isConnectionLost()) {
                    connessionePersa(esito, e, feedback);
                    break;
                }
            }
            feedback.keepAlive();
        }
    }

    if (esito.connessionePersa) {
        // Whatever the run wrote went with the connection; the next check
        // or run opens a fresh one instead of committing into the void.
        m_destinationTransaction.reset();
        m_destination.disconnect();
    }
    feedback.line(esito.interrotto || esito.connessionePersa ? QStringLiteral("Elaborazione interrotta")
                                                                : QStringLiteral("Elaborazione terminata"));
    feedback.line(QString());
    if (aggiorna)
        feedback.line(QStringLiteral("Record aggiornati: %1").arg(esito.aggiornati));
    else
        feedback.line(QStringLiteral("Record già presenti: %1").arg(esito.giaPresenti));
    if (aggiungi)
        feedback.line(QStringLiteral("Record aggiunti: %1").arg(esito.aggiunti));
    feedback.line(QStringLiteral("Record falliti: %1").arg(esito.falliti));
    feedback.line(QStringLiteral("Totale record elaborati: %1").arg(esito.totale()));
    return esito;
}

} // namespace vardof::maintenance
