#include "storedqueries/DefinizioneQuery.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "platform/OutputFile.h"
#include "platform/TextFile.h"
#include "storedqueries/StoredQueryTables.h"

#include <QRegularExpression>

#include <cmath>
#include <memory>
#include <set>

namespace vardof::storedqueries {

namespace {

const QString kSuccessiva = QStringLiteral("QUERY SUCCESSIVA");
const QString kPrecedente = QStringLiteral("QUERY PRECEDENTE");
constexpr int kMostraCatena = 4;

const char *const kEtichette[] = {
    "<TESTAFILE>", "<FINEFILE>", "<TESTAQUERY>", "<FINEQUERY>", "<TESTAPASSO>", "<FINEPASSO>",
    "<TESTATABELLA>", "<FINETABELLA>", "<TESTAINTERROGAZIONE>", "<FINEINTERROGAZIONE>",
    "<TESTAASPETTO>", "<FINEASPETTO>",
};

bool contiene(const QString &riga, const char *etichetta)
{
    return riga.contains(QLatin1String(etichetta));
}

bool etichettaNota(const QString &riga)
{
    for (const char *e : kEtichette)
        if (riga == QLatin1String(e))
            return true;
    return false;
}

// A line that stands as a section tag of its own: "<" upper-case letters ">".
bool sembraEtichetta(const QString &riga)
{
    static const QRegularExpression re(QStringLiteral("^<[A-Z]+>$"));
    return re.match(riga.trimmed()).hasMatch();
}

QString testoIntero(const db::ResultSet &rs, int colonna)
{
    if (rs.isNull(colonna))
        return QString();
    return QString::number(rs.toInt64(colonna).value_or(0));
}

QString testoTesto(const db::ResultSet &rs, int colonna)
{
    return rs.isNull(colonna) ? QString() : rs.text(colonna);
}

QString rigaCampi(const QString &etichetta, const QStringList &campi)
{
    QString r = etichetta;
    for (const QString &c : campi)
        r += c + QLatin1Char(';');
    return r + QLatin1Char('>');
}

// What a field of a tag line may not hold to come back as it was written.
void verificaCampo(const QString &valore, const QString &cosa, int codice)
{
    if (valore.contains(QLatin1Char(';')) || valore.contains(QLatin1Char('\r')) || valore.contains(QLatin1Char('\n')))
        throw ErroreDefinizione(QStringLiteral("La query n° %1 non può essere salvata come definizione: %2 contiene "
                                               "il carattere ; o un ritorno a capo (\"%3\")")
                                    .arg(codice)
                                    .arg(cosa, valore));
}

void verificaCondizione(const QString &condizione, int numero, int codice)
{
    const auto rifiuta = [&](const QString &perche) {
        throw ErroreDefinizione(QStringLiteral("La query n° %1 non può essere salvata come definizione: la condizione "
                                               "della riga %2 %3")
                                    .arg(codice)
                                    .arg(numero)
                                    .arg(perche));
    };
    if (condizione.contains(QLatin1Char('\r')) || condizione.contains(QLatin1Char('\n')))
        rifiuta(QStringLiteral("contiene un ritorno a capo"));
    if (condizione.contains(QLatin1String("<campo=")) || condizione.contains(QLatin1String("<query=")))
        rifiuta(QStringLiteral("contiene un'etichetta del formato (\"%1\")").arg(condizione));
    for (const char *e : kEtichette)
        if (contiene(condizione, e))
            rifiuta(QStringLiteral("contiene un'etichetta del formato (\"%1\")").arg(condizione));
    if (sembraEtichetta(condizione))
        rifiuta(QStringLiteral("ha la forma di un'etichetta del formato (\"%1\")").arg(condizione));
}

QString chiaveWhere(int c1, double c2)
{
    return QStringLiteral("WHERE (Codice1=") + QString::number(c1) + QStringLiteral(")AND(Codice2=")
           + testoCodice2(c2) + QLatin1Char(')');
}

// The archive a definition names in its Percorso, open; none when it names
// none, when it does not open, or (with a warning) when the file is missing:
// the definition then reads and writes the work archive.
std::unique_ptr<AltroArchivio> archivioDelPercorso(const QString &percorso, platform::RunFeedback &avvisi)
{
    if (percorso.isEmpty())
        return nullptr;
    if (!archivioEsiste(percorso)) {
        avvisi.tell(platform::Warning, messaggioArchivioNonTrovato(percorso));
        return nullptr;
    }
    auto altro = std::make_unique<AltroArchivio>();
    if (!altro->apri(percorso))
        return nullptr;
    return altro;
}

std::optional<int> intero(const QString &testo)
{
    bool ok = false;
    const int v = testo.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// A nullable integer field: empty is NULL, anything else must be a number.
bool interoONullo(const QString &testo, db::FieldValue &valore)
{
    if (testo.isEmpty()) {
        valore.reset();
        return true;
    }
    const std::optional<int> v = intero(testo);
    if (!v)
        return false;
    valore = db::Value(qint64(*v));
    return true;
}

} // namespace

QString LeggiCampo(const QString &riga, int n)
{
    const qsizetype uguale = riga.indexOf(QLatin1Char('='), 1);
    if (uguale < 0 || n < 1)
        return QString();
    const QStringList pezzi = riga.mid(uguale + 1).split(QLatin1Char(';'));
    // The piece after the last ";" (the closing ">") is no field.
    if (n > pezzi.size() - 1)
        return QString();
    return pezzi.at(n - 1);
}

int NumeroCampi(const QString &riga)
{
    const qsizetype uguale = riga.indexOf(QLatin1Char('='), 1);
    if (uguale < 0)
        return 0;
    return int(riga.mid(uguale + 1).count(QLatin1Char(';')));
}

QString testoCodiceDefinizione(double codice2)
{
    if (std::floor(codice2) == codice2 && std::fabs(codice2) < 1e15)
        return QString::number(qint64(codice2));
    // A FLOAT holds about seven significant digits.
    return QString::number(codice2, 'g', 7).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString codiceTipoColonna(const db::TableColumn &c)
{
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        return QStringLiteral("A") + QString::number(c.length);
    case db::TypeSmallint:
        return c.scale > 0 ? c.sqlTypeText() : QStringLiteral("S");
    case db::TypeInteger:
        return c.scale > 0 ? c.sqlTypeText() : QStringLiteral("I");
    case db::TypeFloat:
    case db::TypeDouble:
        return QStringLiteral("N");
    case db::TypeDate:
        return QStringLiteral("D");
    case db::TypeBlob:
        return (c.subType == 1 ? QStringLiteral("M") : QStringLiteral("B")) + QString::number(c.length);
    default:
        return c.sqlTypeText();
    }
}

QStringList intestazioneDefinizione(const QDateTime &quando)
{
    return {QStringLiteral("Definizione query."),
            QStringLiteral("File generato il ") + quando.date().toString(QStringLiteral("dd/MM/yyyy"))
                + QStringLiteral(" alle ") + quando.time().toString(QStringLiteral("HH:mm:ss")),
            QString()};
}

QStringList EsportaDefinizioneQuery(db::Attachment &att, db::Transaction &tra, const RigaStoQuer &riga,
                                    platform::RunFeedback &avvisi)
{
    const int codice = riga.Codice;
    const QString tabella = riga.Tabella.value_or(QString());
    const QString percorsoCampo = riga.Percorso.value_or(QString());
    const std::pair<QString, QString> campiQuery[] = {
        {riga.Titolo.value_or(QString()), QStringLiteral("il titolo")},
        {tabella, QStringLiteral("la tabella")},
        {percorsoCampo, QStringLiteral("il percorso")},
        {riga.Classificazione1.value_or(QString()), QStringLiteral("la classificazione 1")},
        {riga.Classificazione2.value_or(QString()), QStringLiteral("la classificazione 2")},
        {riga.NomeExport.value_or(QString()), QStringLiteral("il nome di esportazione")},
    };
    QStringList campi{QString::number(codice)};
    for (const auto &[valore, cosa] : campiQuery) {
        verificaCampo(valore, cosa, codice);
        campi << valore;
    }
    QStringList out{QStringLiteral("<TESTAFILE>"), QString(), QStringLiteral("<TESTAQUERY>"),
                    rigaCampi(QStringLiteral("<query="), campi), QString(), QStringLiteral("<TESTAPASSO>"), QString(),
                    QStringLiteral("<TESTATABELLA>")};

    const QString percorso = riga.percorso();
    const std::unique_ptr<AltroArchivio> altro = archivioDelPercorso(percorso, avvisi);
    db::Transaction &t = altro ? *altro->transazione : tra;
    (void)att;

    const QString nomeCatalogo = db::catalog::relationName(t, tabella);
    if (nomeCatalogo.isEmpty())
        throw db::Error(QStringLiteral("Tabella \"") + tabella + QStringLiteral("\" non trovata"));
    const std::vector<db::TableColumn> colonne = db::catalog::columns(t, nomeCatalogo);
    out << rigaCampi(QStringLiteral("<tabdb="), {tabella, percorsoCampo, QString::number(colonne.size()),
                                                 QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                                 QStringLiteral("0"), QStringLiteral("0")});
    int posizione = 0;
    for (const db::TableColumn &c : colonne)
        out << rigaCampi(QStringLiteral("<campo="), {tabella.toLower(), QString::number(++posizione), c.name,
                                                     codiceTipoColonna(c), QStringLiteral("0"), QStringLiteral("0"),
                                                     QStringLiteral("0")});
    out << QStringLiteral("<FINETABELLA>") << QString();

    int c1 = kCodice1Storico;
    double c2 = codice;
    std::set<std::pair<int, double>> visti;
    while (visti.insert({c1, c2}).second) {
        std::optional<double> prossima;
        QStringList blocco{QStringLiteral("<TESTAINTERROGAZIONE>")};
        {
            db::Statement s(t,
                            QStringLiteral("SELECT CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE FROM \"STOINT\"\n")
                                + chiaveWhere(c1, c2) + QStringLiteral("\nORDER BY NUMERO"),
                            db::ParamStyle::AsWritten);
            db::ResultSet rs = s.open();
            int righe = 0;
            while (rs.next()) {
                ++righe;
                const QString nome = testoTesto(rs, 3);
                const int numero = int(rs.toInt64(2).value_or(0));
                verificaCampo(nome, QStringLiteral("il nome della riga %1").arg(numero), codice);
                const QString condizione = testoTesto(rs, 5);
                verificaCondizione(condizione, numero, codice);
                blocco << rigaCampi(QStringLiteral("<campo="),
                                    {testoIntero(rs, 0), testoCodiceDefinizione(rs.toDouble(1).value_or(0)),
                                     testoIntero(rs, 2), nome, testoIntero(rs, 4)})
                       << condizione;
                if (!prossima && !rs.isNull(4) && rs.toInt64(4).value_or(0) == kMostraCatena && nome == kSuccessiva) {
                    bool ok = false;
                    const double n = QString(condizione).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
                    if (ok)
                        prossima = n;
                }
            }
            if (righe == 0)
                break;
        }
        blocco << QStringLiteral("<FINEINTERROGAZIONE>") << QString() << QStringLiteral("<TESTAASPETTO>");
        {
            db::Statement s(t,
                            QStringLiteral("SELECT CODICE1, CODICE2, NCAMPO, NOMECAMPO, DIM, VIS, POS, RAGGRUPPA FROM "
                                           "\"STOASP\"\n")
                                + chiaveWhere(c1, c2) + QStringLiteral("\nORDER BY NCAMPO"),
                            db::ParamStyle::AsWritten);
            db::ResultSet rs = s.open();
            while (rs.next()) {
                const QString nome = testoTesto(rs, 3);
                verificaCampo(nome, QStringLiteral("il nome della colonna %1").arg(testoIntero(rs, 2)), codice);
                blocco << rigaCampi(QStringLiteral("<campo="),
                                    {testoIntero(rs, 0), testoCodiceDefinizione(rs.toDouble(1).value_or(0)),
                                     testoIntero(rs, 2), nome, testoIntero(rs, 4), testoIntero(rs, 5),
                                     testoIntero(rs, 6), testoIntero(rs, 7)});
            }
        }
        blocco << QStringLiteral("<FINEASPETTO>") << QString();
        out << blocco;
        if (!prossima)
            break;
        c1 = kCodice1Catena;
        c2 = *prossima;
    }
    out << QStringLiteral("<FINEPASSO>") << QString() << QStringLiteral("<FINEQUERY>") << QString()
        << QStringLiteral("<FINEFILE>");
    return out;
}

QStringList TestoDefinizione(db::Attachment &att, db::Transaction &tra, int codice, platform::RunFeedback &avvisi,
                             const QDateTime &quando)
{
    const std::optional<RigaStoQuer> riga = leggiStoQuer(tra, codice);
    if (!riga)
        throw ErroreDefinizione(QStringLiteral("Query n° %1 non trovata").arg(codice));
    return intestazioneDefinizione(quando) + EsportaDefinizioneQuery(att, tra, *riga, avvisi);
}

bool ScriviDefinizione(const QString &file, const QStringList &righe, QString &motivo)
{
    platform::OutputFile out(file);
    bool ok = out.open();
    for (qsizetype i = 0; ok && i < righe.size(); ++i)
        ok = out.writeText(righe.at(i) + QStringLiteral("\r\n"));
    if (ok && out.hadUnencodable()) {
        out.abort();
        motivo = QStringLiteral("la definizione contiene caratteri che la codifica Windows non rappresenta");
        return false;
    }
    if (ok)
        ok = out.commit();
    if (!ok) {
        motivo = out.errorString();
        out.abort();
    }
    return ok;
}

// ---- reading ---------------------------------------------------------------------------

LettoreDefinizione::LettoreDefinizione(db::Attachment &lavoro, db::Transaction &traLavoro, db::Attachment &righe,
                                       db::Transaction &traRighe, const QString &archivioRighe,
                                       platform::RunFeedback &avvisi)
    : m_lavoro(lavoro)
    , m_traLavoro(traLavoro)
    , m_righe(righe)
    , m_traRighe(traRighe)
    , m_archivioRighe(archivioRighe)
    , m_avvisi(avvisi)
{
}

int LettoreDefinizione::codice1Atteso() const
{
    return m_blocchi <= 1 ? kCodice1Storico : kCodice1Catena;
}

void LettoreDefinizione::AcquisisciRiga(const QString &riga, const QString &precedente)
{
    if (m_annullata)
        return;
    if (m_stato != Stato::Commenti && m_stato != Stato::FineFile && sembraEtichetta(riga) && !etichettaNota(riga.trimmed()))
        throw ErroreDefinizione(QStringLiteral("sezione sconosciuta %1").arg(riga.trimmed()));

    // The section the line opens or closes, when it holds that tag.
    auto passa = [&](const char *etichetta, Stato nuovo) {
        if (!contiene(riga, etichetta))
            return false;
        m_stato = nuovo;
        return true;
    };
    switch (m_stato) {
    case Stato::Commenti:
        passa("<TESTAFILE>", Stato::TestaFile);
        break;
    case Stato::TestaFile:
        passa("<TESTAQUERY>", Stato::TestaQuery);
        break;
    case Stato::TestaQuery:
        if (riga.contains(QLatin1String("<query=")))
            rigaQuery(riga);
        if (m_annullata)
            return;
        passa("<TESTAPASSO>", Stato::TestaPasso);
        break;
    case Stato::TestaPasso:
        passa("<TESTATABELLA>", Stato::TestaTabella);
        break;
    case Stato::TestaTabella:
        passa("<FINETABELLA>", Stato::FineTabella);
        break;
    case Stato::FineTabella:
        if (contiene(riga, "<TESTAINTERROGAZIONE>")) {
            if (m_T == 0)
                throw ErroreDefinizione(QStringLiteral("interrogazione senza la riga <query=...>"));
            ++m_blocchi;
            m_stato = Stato::TestaInterrogazione;
        } else {
            // A stored query whose interrogation was never saved is written
            // with its table and no block: the step ends right after it.
            passa("<TESTATABELLA>", Stato::TestaTabella) || passa("<FINEPASSO>", Stato::FinePasso);
        }
        break;
    case Stato::TestaInterrogazione:
        if (precedente.contains(QLatin1String("<campo=")))
            rigaInterrogazione(riga, precedente);
        passa("<TESTAASPETTO>", Stato::TestaAspetto);
        break;
    case Stato::TestaAspetto:
        if (riga.contains(QLatin1String("<campo=")))
            rigaAspetto(riga);
        passa("<FINEASPETTO>", Stato::FineAspetto);
        break;
    case Stato::FineAspetto:
        if (m_N != 0) {
            m_P = m_T;
            m_T = m_N;
            m_N = 0;
            m_catenaAttesa = true;
        }
        if (!passa("<FINEPASSO>", Stato::FinePasso) && contiene(riga, "<TESTAINTERROGAZIONE>")) {
            // A further block is the chained query the previous one announced.
            if (!m_catenaAttesa)
                throw ErroreDefinizione(
                    QStringLiteral("un'interrogazione segue un'altra che non annuncia una QUERY SUCCESSIVA"));
            m_catenaAttesa = false;
            ++m_blocchi;
            m_stato = Stato::TestaInterrogazione;
        }
        break;
    case Stato::FinePasso:
        passa("<FINEQUERY>", Stato::FineQuery) || passa("<TESTAPASSO>", Stato::TestaPasso);
        break;
    case Stato::FineQuery:
        passa("<FINEFILE>", Stato::FineFile) || passa("<TESTAQUERY>", Stato::TestaQuery);
        break;
    case Stato::FineFile:
        break;
    }
}

void LettoreDefinizione::rigaQuery(const QString &riga)
{
    if (NumeroCampi(riga) != 7)
        throw ErroreDefinizione(
            QStringLiteral("la riga della query ha %1 campi invece di 7 (un ; nel titolo?)").arg(NumeroCampi(riga)));
    RigaStoQuer r;
    r.Titolo = testoCampo(LeggiCampo(riga, 2));
    r.Tabella = testoCampo(LeggiCampo(riga, 3));
    r.Percorso = testoCampo(LeggiCampo(riga, 4));
    r.Classificazione1 = testoCampo(LeggiCampo(riga, 5));
    r.Classificazione2 = testoCampo(LeggiCampo(riga, 6));
    r.NomeExport = testoCampo(LeggiCampo(riga, 7));
    // A definition that names its own archive is numbered across both
    // databases at once, so the copy kept there carries the final number.
    const QString percorso = r.percorso();
    r.Codice = archivioEsiste(percorso) ? NuovoCodiceTraDatabase(m_lavoro, m_traLavoro, percorso)
                                        : NuovoCodicePosizione(m_lavoro, m_traLavoro);
    if (!ControlloSalvataggio(r, m_avvisi)) {
        m_annullata = true;
        return;
    }
    if (!percorso.isEmpty() && percorso == m_archivioRighe)
        copiaStoQuer(m_traRighe, r);
    else
        copiaSuArchivioDellaRiga(r, m_avvisi);
    scriviStoQuer(m_traLavoro, r);
    m_T = r.Codice;
    m_N = 0;
    m_P = 0;
    m_blocchi = 0;
    m_catenaAttesa = false;
    m_codici.push_back(r.Codice);
}

void LettoreDefinizione::rigaInterrogazione(const QString &riga, const QString &precedente)
{
    if (NumeroCampi(precedente) != 5)
        throw ErroreDefinizione(
            QStringLiteral("una riga dell'interrogazione ha %1 campi invece di 5").arg(NumeroCampi(precedente)));
    const std::optional<int> c1 = intero(LeggiCampo(precedente, 1));
    const std::optional<int> numero = intero(LeggiCampo(precedente, 3));
    db::FieldValue mostra;
    if (!c1 || !numero || !interoONullo(LeggiCampo(precedente, 5), mostra))
        throw ErroreDefinizione(QStringLiteral("riga dell'interrogazione con un numero non valido: %1").arg(precedente));
    if (*c1 != codice1Atteso())
        throw ErroreDefinizione(QStringLiteral("riga dell'interrogazione con Codice1 %1 invece di %2")
                                    .arg(*c1)
                                    .arg(codice1Atteso()));
    const QString nome = LeggiCampo(precedente, 4);
    db::FieldValue condizione;
    if (!riga.contains(QLatin1String("<campo=")) && !contiene(riga, "<FINEINTERROGAZIONE>")) {
        // Another tag here is a block that lost its end, not a condition.
        if (etichettaNota(riga.trimmed()))
            throw ErroreDefinizione(QStringLiteral("manca <FINEINTERROGAZIONE> prima di %1").arg(riga.trimmed()));
        condizione = db::Value(riga);
    }
    if (nome == kSuccessiva) {
        // A fresh number, above those this file already gave.
        m_N = std::max(NuovoCodiceCatena(m_righe, m_traRighe), m_ultimaCatena + 1);
        m_ultimaCatena = m_N;
        condizione = db::Value(testoCodice2(m_N));
    } else if (nome == kPrecedente) {
        condizione = db::Value(testoCodice2(m_P));
    }
    db::Statement ins(m_traRighe, QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE) "
                                                 "VALUES (:C1, :C2, :NUMERO, :NOME, :MOSTRA, :CONDIZIONE)"));
    ins.setParam(QStringLiteral("C1"), db::Value(qint64(*c1)));
    ins.setParam(QStringLiteral("C2"), db::Value(m_T));
    ins.setParam(QStringLiteral("NUMERO"), db::Value(qint64(*numero)));
    ins.setParam(QStringLiteral("NOME"), nome.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(nome)));
    ins.setParam(QStringLiteral("MOSTRA"), mostra);
    ins.setParam(QStringLiteral("CONDIZIONE"), condizione);
    ins.execute();
}

void LettoreDefinizione::rigaAspetto(const QString &riga)
{
    if (NumeroCampi(riga) != 8)
        throw ErroreDefinizione(QStringLiteral("una riga dell'aspetto ha %1 campi invece di 8").arg(NumeroCampi(riga)));
    const std::optional<int> c1 = intero(LeggiCampo(riga, 1));
    const std::optional<int> nCampo = intero(LeggiCampo(riga, 3));
    db::FieldValue dim, vis, pos, raggruppa;
    if (!c1 || !nCampo || !interoONullo(LeggiCampo(riga, 5), dim) || !interoONullo(LeggiCampo(riga, 6), vis)
        || !interoONullo(LeggiCampo(riga, 7), pos) || !interoONullo(LeggiCampo(riga, 8), raggruppa))
        throw ErroreDefinizione(QStringLiteral("riga dell'aspetto con un numero non valido: %1").arg(riga));
    if (*c1 != codice1Atteso())
        throw ErroreDefinizione(
            QStringLiteral("riga dell'aspetto con Codice1 %1 invece di %2").arg(*c1).arg(codice1Atteso()));
    const QString nome = LeggiCampo(riga, 4);
    db::Statement ins(m_traRighe, QStringLiteral("INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO, NOMECAMPO, DIM, VIS, POS, "
                                                 "RAGGRUPPA) VALUES (:C1, :C2, :NCAMPO, :NOMECAMPO, :DIM, :VIS, :POS, "
                                                 ":RAGGRUPPA)"));
    ins.setParam(QStringLiteral("C1"), db::Value(qint64(*c1)));
    ins.setParam(QStringLiteral("C2"), db::Value(m_T));
    ins.setParam(QStringLiteral("NCAMPO"), db::Value(qint64(*nCampo)));
    ins.setParam(QStringLiteral("NOMECAMPO"), nome.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(nome)));
    ins.setParam(QStringLiteral("DIM"), dim);
    ins.setParam(QStringLiteral("VIS"), vis);
    ins.setParam(QStringLiteral("POS"), pos);
    ins.setParam(QStringLiteral("RAGGRUPPA"), raggruppa);
    ins.execute();
}

namespace {

// The next line with its leading blanks and tabs dropped, empty lines
// skipped; false at the end of the file.
bool prossimaRiga(platform::TextLineReader &lettore, QString &riga)
{
    while (lettore.readLine(riga)) {
        qsizetype i = 0;
        while (i < riga.size() && (riga.at(i) == QLatin1Char(' ') || riga.at(i) == QLatin1Char('\t')
                                   || riga.at(i) == QLatin1Char('\r')))
            ++i;
        if (i < riga.size()) {
            riga = riga.mid(i);
            return true;
        }
    }
    return false;
}

} // namespace

EsitoImportazione ImportaDefinizioneQuery(db::Attachment &att, db::Transaction &tra, const QString &file,
                                          platform::RunFeedback &avvisi)
{
    EsitoImportazione esito;
    QString percorso;
    {
        // First pass: the archive of the first query decides where the rows go.
        platform::TextLineReader lettore;
        if (!lettore.open(file)) {
            esito.aperto = false;
            esito.dettaglio = lettore.errorString();
            return esito;
        }
        QString riga;
        bool testa = false;
        while (prossimaRiga(lettore, riga)) {
            if (testa) {
                if (riga.contains(QLatin1String("<query=")))
                    percorso = LeggiCampo(riga, 4).trimmed();
                break;
            }
            testa = riga == QLatin1String("<TESTAQUERY>");
        }
    }

    const std::unique_ptr<AltroArchivio> altro = archivioDelPercorso(percorso, avvisi);
    db::Attachment &attRighe = altro ? altro->connessione : att;
    db::Transaction &traRighe = altro ? *altro->transazione : tra;

    platform::TextLineReader lettore;
    if (!lettore.open(file)) {
        esito.aperto = false;
        esito.dettaglio = lettore.errorString();
        return esito;
    }
    tra.ensureStarted();
    traRighe.ensureStarted();
    db::executeSql(tra, QStringLiteral("SAVEPOINT VARDOF_DEFINIZIONE"));
    const auto annulla = [&] {
        try {
            db::executeSql(tra, QStringLiteral("ROLLBACK TO SAVEPOINT VARDOF_DEFINIZIONE"));
        } catch (const db::Error &) {
        }
        if (altro) {
            try {
                altro->transazione->rollback();
            } catch (const db::Error &) {
            }
        }
    };

    LettoreDefinizione lettura(att, tra, attRighe, traRighe, altro ? percorso : QString(), avvisi);
    QString riga;
    QString precedente;
    try {
        while (prossimaRiga(lettore, riga)) {
            lettura.AcquisisciRiga(riga, precedente);
            if (lettura.annullata())
                break;
            precedente = riga;
        }
        if (lettore.failed())
            throw ErroreDefinizione(QStringLiteral("lettura interrotta: %1").arg(lettore.errorString()));
    } catch (const ErroreDefinizione &e) {
        annulla();
        esito.dettaglio = QStringLiteral("Riga %1: %2").arg(lettore.lineNumber()).arg(e.messaggio());
        return esito;
    } catch (const db::Error &e) {
        annulla();
        esito.dettaglio = QStringLiteral("Riga %1: %2").arg(lettore.lineNumber()).arg(e.message());
        return esito;
    }
    if (lettura.annullata()) {
        annulla();
        esito.annullata = true;
        return esito;
    }
    if (lettura.stato() != LettoreDefinizione::Stato::FineFile) {
        annulla();
        esito.dettaglio = QStringLiteral("il file termina prima di <FINEFILE>");
        return esito;
    }
    try {
        if (altro)
            altro->transazione->commit();
        db::executeSql(tra, QStringLiteral("RELEASE SAVEPOINT VARDOF_DEFINIZIONE"));
        tra.commitRetaining();
    } catch (const db::Error &e) {
        annulla();
        esito.dettaglio = e.message();
        return esito;
    }
    esito.completa = true;
    esito.codici = lettura.codici();
    return esito;
}

QString messaggioImportazione(const EsitoImportazione &esito)
{
    if (esito.completa)
        return QStringLiteral("Importazione completa.");
    if (esito.annullata)
        return QStringLiteral("Importazione annullata: nessuna query è stata memorizzata.");
    QString testo = QStringLiteral("File di importazione query non completo.");
    if (!esito.dettaglio.isEmpty())
        testo += QLatin1Char('\r') + esito.dettaglio;
    return testo;
}

} // namespace vardof::storedqueries
