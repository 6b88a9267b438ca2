#include "demo/DemoBuilder.h"
#include "demo/DemoQuery.h"

#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "context/WorkContext.h"
#include "maintenance/StoreTables.h"
#include "params/TTabXForm.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>

#include <random>
#include <stdexcept>

namespace vardof::app {

namespace {

using db::Value;

const char *const kSurnames[] = {
    "Rossi", "Bianchi", "Esposito", "Russo", "Romano", "Colombo", "Ricci", "Marino", "Greco", "Bruno",
    "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti", "D'Angelo",
    "Barbieri", "Fontana", "Santoro", "Mariani", "Rinaldi", "Caruso", "Ferrara", "Galli", "Martini", "Leone",
    "Longo", "Gentile", "Martinelli", "Vitale", "Serra", "Coppola", "De Santis", "D'Amico", "Marchetti", "Parisi",
    "Villa", "Conte", "Ferraro", "Fabbri", "Marini", "Grasso", "Valentini", "Messina", "Sala", "Gatti",
    "Pellegrini", "Palumbo", "Sanna", "Farina", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri", "Testa",
};
const char *const kForms[] = {"S.r.l.", "S.p.A.", "& C. S.n.c.", "S.a.s.", "S.r.l.s.", "Forniture S.r.l.",
                              "Ferramenta", "Edilizia S.r.l.", "Impianti S.n.c."};
const char *const kBusiness[] = {"Ferramenta", "Utensileria", "Costruzioni", "Impianti Elettrici", "Idraulica",
                                 "Carpenteria", "Officina Meccanica", "Commerciale", "Distribuzione", "Forniture"};
struct City
{
    const char *name;
    const char *province;
    const char *cap;
    const char *zone;
};
const City kCities[] = {
    {"Milano", "MI", "20121", "NO"},        {"Torino", "TO", "10121", "NO"},
    {"Genova", "GE", "16121", "NO"},        {"Cantù", "CO", "22063", "NO"},
    {"Verona", "VR", "37121", "NE"},        {"Bologna", "BO", "40121", "NE"},
    {"Forlì", "FC", "47121", "NE"},         {"Padova", "PD", "35121", "NE"},
    {"Firenze", "FI", "50122", "CE"},       {"Roma", "RM", "00184", "CE"},
    {"Città di Castello", "PG", "06012", "CE"}, {"Sant'Elpidio a Mare", "FM", "63811", "CE"},
    {"Napoli", "NA", "80133", "SU"},        {"Bari", "BA", "70121", "SU"},
    {"Lecce", "LE", "73100", "SU"},         {"Palermo", "PA", "90133", "IS"},
    {"Cagliari", "CA", "09124", "IS"},      {"Catania", "CT", "95124", "IS"},
};
const char *const kStreets[] = {"Via Roma", "Via Garibaldi", "Corso Italia", "Via Mazzini", "Viale della Libertà",
                                "Piazza Duomo", "Via Cavour", "Via dell'Industria", "Via Nazionale", "Via San Martino"};
struct Product
{
    const char *name;
    const char *unit;
    double price;
};
const Product kProducts[] = {
    {"Vite autofilettante", "PZ", 0.08},   {"Bullone zincato", "PZ", 0.35},    {"Tassello in nylon", "PZ", 0.12},
    {"Guarnizione in gomma", "PZ", 0.9},   {"Cuscinetto a sfere", "PZ", 6.5},  {"Rondella piana", "PZ", 0.04},
    {"Chiave inglese", "PZ", 14.9},        {"Cacciavite a croce", "PZ", 4.2},  {"Pinza universale", "PZ", 11.5},
    {"Martello da carpentiere", "PZ", 18}, {"Trapano a percussione", "PZ", 89}, {"Smerigliatrice angolare", "PZ", 65},
    {"Nastro isolante", "PZ", 1.2},        {"Colla vinilica", "KG", 5.8},      {"Silicone sigillante", "PZ", 4.9},
    {"Cavo elettrico unipolare", "MT", 0.45}, {"Tubo multistrato", "MT", 2.3}, {"Vernice antiruggine", "LT", 12.4},
    {"Guanti da lavoro", "CF", 9.9},       {"Disco da taglio", "CF", 15.5},
};
const char *const kSizes[] = {"3x16", "4x20", "5x30", "6x40", "M8", "M10", "M12", "Ø 16", "Ø 20", "1/2\"",
                              "3/4\"", "piccolo", "medio", "grande", "professionale"};

class Rng
{
public:
    explicit Rng(unsigned seed) : m_gen(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }
    template <typename T, size_t N>
    const T &pick(const T (&items)[N]) { return items[size_t(between(0, int(N) - 1))]; }
    // A price with cents, around `base`.
    db::Decimal price(double base)
    {
        const double v = base * (0.6 + between(0, 800) / 1000.0);
        return db::Decimal{qint64(v * 100 + 0.5) < 1 ? 1 : qint64(v * 100 + 0.5), 2};
    }

private:
    std::mt19937 m_gen;
};

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

void exec(db::Attachment &a, db::Transaction &t, const QString &sql)
{
    db::executeSql(a, t, sql);
}

void createUserDatabase(const QString &hostDir)
{
    const QString userDir = hostDir + QStringLiteral("user");
    if (!QDir().mkpath(userDir))
        throw std::runtime_error("Impossibile creare la cartella user");
    const QString path = userDir + QStringLiteral("/user.fdb");
    QFile::remove(path);
    db::Attachment a;
    a.create(path, context::creationParams());
    db::Transaction t(a);
    exec(a, t, QStringLiteral("CREATE TABLE UTENTI (CODICE INTEGER NOT NULL PRIMARY KEY, NOMEUTENTE VARCHAR(40), "
                              "DITTA VARCHAR(15), PASSWORD VARCHAR(20), OSTREL BLOB SUB_TYPE 1)"));
    exec(a, t, QStringLiteral("CREATE TABLE TABOSTREL (UTENTE INTEGER NOT NULL, INTESTAZIONE VARCHAR(30), "
                              "PARAMETRO VARCHAR(60), VALORE VARCHAR(255), PROGRESSIVO INTEGER)"));
    exec(a, t, QStringLiteral("CREATE TABLE VELTALOGFUNZ (IDFINESTRA INTEGER NOT NULL PRIMARY KEY, UTENTE INTEGER, "
                              "FUNZIONE VARCHAR(60), DATAORA TIMESTAMP, HANDLEFINESTRA VARCHAR(20))"));
    t.commit();
    db::Statement u(a, t, QStringLiteral("INSERT INTO UTENTI (CODICE, NOMEUTENTE, DITTA) VALUES (:C, :N, :D)"));
    const std::tuple<int, const char *, const char *> users[] = {
        {1, "Mario Rossi", "DEMO"}, {2, "Giulia Bianchi", "DEMO"}, {3, "Luca D'Angelo", "PROVA"}};
    for (const auto &[code, name, company] : users) {
        u.setParam(QStringLiteral("C"), Value(qint64(code)));
        u.setParam(QStringLiteral("N"), Value(s(name)));
        u.setParam(QStringLiteral("D"), Value(s(company)));
        u.execute();
    }
    exec(a, t, QStringLiteral("INSERT INTO VELTALOGFUNZ (IDFINESTRA, UTENTE, FUNZIONE, DATAORA) "
                              "VALUES (1, 1, 'Query Generica', CURRENT_TIMESTAMP)"));
    t.commit();
}

void createArchive(const QString &path, int rows, const std::function<void(const QString &)> &log)
{
    QFile::remove(path);
    db::Attachment a;
    a.create(path, context::creationParams());
    db::Transaction t(a);
    const QStringList ddl{
        QStringLiteral("CREATE TABLE ZONE (CODICE VARCHAR(5) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))"),
        QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60), "
                       "INDIRIZZO VARCHAR(60), CAP CHAR(5), CITTA VARCHAR(40), PROVINCIA CHAR(2), ZONA VARCHAR(5), "
                       "PARTITAIVA VARCHAR(11), FIDO NUMERIC(15,2), DATAINSERIMENTO DATE, NOTE BLOB SUB_TYPE 1)"),
        QStringLiteral("CREATE UNIQUE INDEX CLIENTI_PARTITAIVA ON CLIENTI (PARTITAIVA)"),
        QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                       "UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), ALIQUOTAIVA NUMERIC(5,2), "
                       "GIACENZA NUMERIC(15,3), DATAULTIMOCARICO DATE, NOTE BLOB SUB_TYPE 1)"),
        QStringLiteral("CREATE TABLE LISTINI (CODICELISTINO VARCHAR(5) NOT NULL, CODICEARTICOLO VARCHAR(15) NOT NULL, "
                       "PREZZO NUMERIC(15,2), DATAINIZIO DATE, PRIMARY KEY (CODICELISTINO, CODICEARTICOLO))"),
        QStringLiteral("CREATE TABLE ORDINI (NUMERO INTEGER NOT NULL PRIMARY KEY, DATAORDINE DATE, CLIENTE INTEGER, "
                       "TOTALE NUMERIC(15,2), STATO CHAR(1), NOTE BLOB SUB_TYPE 1)"),
        QStringLiteral("CREATE TABLE RIGHEORDINE (NUMEROORDINE INTEGER NOT NULL, RIGA SMALLINT NOT NULL, "
                       "ARTICOLO VARCHAR(15), QUANTITA NUMERIC(15,3), PREZZO NUMERIC(15,2), SCONTO NUMERIC(5,2), "
                       "PRIMARY KEY (NUMEROORDINE, RIGA))"),
        QStringLiteral("CREATE GENERATOR GEN_ORDINI"),
    };
    for (const QString &statement : ddl)
        exec(a, t, statement);
    t.commit();

    Rng rng(20240601);
    const std::pair<const char *, const char *> zones[] = {
        {"NO", "Nord Ovest"}, {"NE", "Nord Est"}, {"CE", "Centro"}, {"SU", "Sud"}, {"IS", "Isole"}};
    db::Statement z(a, t, QStringLiteral("INSERT INTO ZONE (CODICE, DESCRIZIONE) VALUES (:C, :D)"));
    for (const auto &[code, name] : zones) {
        z.setParam(QStringLiteral("C"), Value(s(code)));
        z.setParam(QStringLiteral("D"), Value(s(name)));
        z.execute();
    }

    const int customers = std::max(10, rows);
    db::Statement c(a, t,
                    QStringLiteral("INSERT INTO CLIENTI (CODICE, RAGIONESOCIALE, INDIRIZZO, CAP, CITTA, PROVINCIA, "
                                   "ZONA, PARTITAIVA, FIDO, DATAINSERIMENTO, NOTE) VALUES "
                                   "(:CODICE, :RS, :IND, :CAP, :CITTA, :PROV, :ZONA, :PIVA, :FIDO, :DATA, :NOTE)"));
    for (int i = 1; i <= customers; ++i) {
        const City &city = rng.pick(kCities);
        const QString name = (i % 3 == 0 ? s(rng.pick(kBusiness)) + QLatin1Char(' ') + s(rng.pick(kSurnames))
                                         : s(rng.pick(kSurnames)) + QLatin1Char(' ') + s(rng.pick(kForms)));
        c.setParam(QStringLiteral("CODICE"), Value(qint64(i)));
        c.setParam(QStringLiteral("RS"), Value(name.left(60)));
        c.setParam(QStringLiteral("IND"),
                   Value(s(rng.pick(kStreets)) + QStringLiteral(", %1").arg(rng.between(1, 180))));
        c.setParam(QStringLiteral("CAP"), Value(s(city.cap)));
        c.setParam(QStringLiteral("CITTA"), Value(s(city.name)));
        c.setParam(QStringLiteral("PROV"), Value(s(city.province)));
        c.setParam(QStringLiteral("ZONA"), Value(s(city.zone)));
        c.setParam(QStringLiteral("PIVA"), Value(QStringLiteral("%1").arg(10000000000LL + i * 7919LL, 11, 10, QLatin1Char('0'))));
        c.setParam(QStringLiteral("FIDO"), Value(db::Decimal{qint64(rng.between(0, 500)) * 10000, 2}));
        c.setParam(QStringLiteral("DATA"), Value(QDate(2015, 1, 1).addDays(rng.between(0, 3600))));
        c.setParam(QStringLiteral("NOTE"), i % 4 == 0 ? db::FieldValue(Value(QStringLiteral(
                                                             "Consegna al piano terra.\r\nPagamento a 60 gg d.f.f.m.")))
                                                       : db::FieldValue());
        c.execute();
        if (i % 20000 == 0)
            t.commitRetaining();
    }
    if (log)
        log(QStringLiteral("Clienti: %1").arg(customers));

    const int articles = std::max(20, rows);
    db::Statement ar(a, t,
                     QStringLiteral("INSERT INTO ARTICOLI (CODICE, DESCRIZIONE, UNITAMISURA, PREZZO, ALIQUOTAIVA, "
                                    "GIACENZA, DATAULTIMOCARICO, NOTE) VALUES (:C, :D, :U, :P, :IVA, :G, :DT, :N)"));
    db::Statement li(a, t,
                     QStringLiteral("INSERT INTO LISTINI (CODICELISTINO, CODICEARTICOLO, PREZZO, DATAINIZIO) "
                                    "VALUES (:L, :A, :P, :D)"));
    std::vector<std::pair<QString, db::Decimal>> catalogue;
    catalogue.reserve(size_t(articles));
    for (int i = 1; i <= articles; ++i) {
        const Product &p = rng.pick(kProducts);
        const QString code = QStringLiteral("ART%1").arg(i, 6, 10, QLatin1Char('0'));
        const db::Decimal price = rng.price(p.price * 10);
        catalogue.emplace_back(code, price);
        ar.setParam(QStringLiteral("C"), Value(code));
        ar.setParam(QStringLiteral("D"), Value((s(p.name) + QLatin1Char(' ') + s(rng.pick(kSizes))).left(60)));
        ar.setParam(QStringLiteral("U"), Value(s(p.unit)));
        ar.setParam(QStringLiteral("P"), Value(price));
        ar.setParam(QStringLiteral("IVA"), Value(db::Decimal{i % 10 == 0 ? 1000 : 2200, 2}));
        ar.setParam(QStringLiteral("G"), Value(db::Decimal{qint64(rng.between(0, 5000000)), 3}));
        ar.setParam(QStringLiteral("DT"), Value(QDate(2023, 1, 1).addDays(rng.between(0, 700))));
        ar.setParam(QStringLiteral("N"), i % 7 == 0 ? db::FieldValue(Value(QStringLiteral("Articolo soggetto a disponibilità del fornitore.")))
                                                    : db::FieldValue());
        ar.execute();
        for (const char *list : {"BASE", "RIV"}) {
            li.setParam(QStringLiteral("L"), Value(s(list)));
            li.setParam(QStringLiteral("A"), Value(code));
            const double factor = qstrcmp(list, "RIV") == 0 ? 0.85 : 1.0;
            li.setParam(QStringLiteral("P"), Value(db::Decimal{qint64(price.units * factor + 0.5), 2}));
            li.setParam(QStringLiteral("D"), Value(QDate(2024, 1, 1)));
            li.execute();
        }
        if (i % 20000 == 0)
            t.commitRetaining();
    }
    if (log)
        log(QStringLiteral("Articoli: %1 (listini BASE e RIV)").arg(articles));

    const int orders = std::max(10, rows);
    db::Statement o(a, t,
                    QStringLiteral("INSERT INTO ORDINI (NUMERO, DATAORDINE, CLIENTE, TOTALE, STATO, NOTE) "
                                   "VALUES (GEN_ID(GEN_ORDINI, 1), :D, :C, :T, :S, :N) RETURNING NUMERO"));
    db::Statement r(a, t,
                    QStringLiteral("INSERT INTO RIGHEORDINE (NUMEROORDINE, RIGA, ARTICOLO, QUANTITA, PREZZO, SCONTO) "
                                   "VALUES (:O, :R, :A, :Q, :P, :S)"));
    const char *const states[] = {"A", "E", "F", "S"};
    for (int i = 1; i <= orders; ++i) {
        const int lines = rng.between(1, 5);
        qint64 totalCents = 0;
        std::vector<std::tuple<QString, qint64, db::Decimal, qint64>> detail;
        for (int l = 0; l < lines; ++l) {
            const auto &[code, price] = catalogue[size_t(rng.between(0, int(catalogue.size()) - 1))];
            const qint64 qty = rng.between(1, 50);
            const qint64 discount = rng.between(0, 3) * 500; // 0, 5, 10, 15 %
            totalCents += price.units * qty * (10000 - discount) / 10000;
            detail.emplace_back(code, qty, price, discount);
        }
        o.setParam(QStringLiteral("D"), Value(QDate(2024, 1, 2).addDays(rng.between(0, 600))));
        o.setParam(QStringLiteral("C"), Value(qint64(rng.between(1, customers))));
        o.setParam(QStringLiteral("T"), Value(db::Decimal{totalCents, 2}));
        o.setParam(QStringLiteral("S"), Value(s(rng.pick(states))));
        o.setParam(QStringLiteral("N"), i % 9 == 0 ? db::FieldValue(Value(QStringLiteral("Urgente: consegnare entro venerdì.")))
                                                   : db::FieldValue());
        o.execute();
        const qint64 number = db::toInt64(*o.returned().at(0)).value_or(i);
        int row = 1;
        for (const auto &[code, qty, price, discount] : detail) {
            r.setParam(QStringLiteral("O"), Value(number));
            r.setParam(QStringLiteral("R"), Value(qint64(row++)));
            r.setParam(QStringLiteral("A"), Value(code));
            r.setParam(QStringLiteral("Q"), Value(db::Decimal{qty * 1000, 3}));
            r.setParam(QStringLiteral("P"), Value(price));
            r.setParam(QStringLiteral("S"), Value(db::Decimal{discount, 2}));
            r.execute();
        }
        if (i % 20000 == 0)
            t.commitRetaining();
    }
    t.commit();
    if (log)
        log(QStringLiteral("Ordini: %1").arg(orders));
}

void writeLines(const QString &path, const QStringList &lines)
{
    QString why;
    if (!platform::writeTextLines(path, lines, nullptr, &why))
        throw std::runtime_error(QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, why).toStdString());
}

// Ready examples in the working folder, one for each tool a new user tries
// first from the README: a supplier price list with its import script, a
// fixed-length supplier file with its conversion definition (and the import
// script of the converted file), a branch database with a stored update
// script and a stored synchronisation.
void writeExamples(const QString &host, int rows, const std::function<void(const QString &)> &log)
{
    const QString work = host + QStringLiteral("lavoro/");
    const int articles = std::max(20, rows);
    const int listed = std::min(articles, 50);

    // A price list as a supplier sends it: a header line, ";" between fields,
    // decimal comma, day-first dates. Twenty new articles are not in the
    // archive's list yet: the import adds those and updates the others.
    QStringList csv{QStringLiteral("Listino;Articolo;Prezzo;Valido dal")};
    for (int i = 1; i <= listed; ++i)
        csv << QStringLiteral("FORN;ART%1;%2,%3;01/03/2026")
                   .arg(i, 6, 10, QLatin1Char('0'))
                   .arg(3 + (i * 37) % 180)
                   .arg((i * 13) % 100, 2, 10, QLatin1Char('0'));
    writeLines(work + QStringLiteral("listino_fornitore.csv"), csv);
    writeLines(work + QStringLiteral("listino_fornitore.txt"),
               {QStringLiteral("[SCRIPT]"), QStringLiteral("TABELLADESTINAZIONE=LISTINI"),
                QStringLiteral("AGGIUNGI=SI"), QStringLiteral("AGGIORNA=SI")});

    // The same supplier's list in fixed-length columns, with the definition
    // that turns it into ";" fields for the import.
    QStringList prn;
    for (int i = 1; i <= listed; ++i)
        prn << QStringLiteral("%1%2%3")
                   .arg(QStringLiteral("ART%1").arg(i, 6, 10, QLatin1Char('0')), -15)
                   .arg(QStringLiteral("%1,%2").arg(2 + (i * 29) % 150).arg((i * 7) % 100, 2, 10, QLatin1Char('0')), 12)
                   .arg(QStringLiteral("01/04/2026"), 10);
    writeLines(work + QStringLiteral("fornitore.prn"), prn);
    writeLines(work + QStringLiteral("fornitore.conf"),
               {QStringLiteral("[LUNGHEZZAFISSA]"), QStringLiteral("1;CODICELISTINO;Costante;'FORN';A;"),
                QStringLiteral("2;CODICEARTICOLO;1;15;A;"), QStringLiteral("3;PREZZO;16;12;N;"),
                QStringLiteral("4;DATAINIZIO;28;10;D;")});
    writeLines(work + QStringLiteral("fornitore.txt"),
               {QStringLiteral("[SCRIPT]"), QStringLiteral("TABELLADESTINAZIONE=LISTINI"),
                QStringLiteral("AGGIUNGI=SI"), QStringLiteral("AGGIORNA=SI")});

    // A branch office's database: its articles and customers lag behind.
    const QString branch = host + QStringLiteral("dati/filiale.fdb");
    QFile::remove(branch);
    {
        db::Attachment b;
        b.create(branch, context::creationParams());
        db::Transaction t(b);
        exec(b, t, QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                                  "UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), ALIQUOTAIVA NUMERIC(5,2))"));
        exec(b, t, QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60), "
                                  "INDIRIZZO VARCHAR(60), CAP CHAR(5), CITTA VARCHAR(40), PROVINCIA CHAR(2), ZONA VARCHAR(5), "
                                  "PARTITAIVA VARCHAR(11), FIDO NUMERIC(15,2), DATAINSERIMENTO DATE, NOTE BLOB SUB_TYPE 1)"));
        t.commit();
    }

    db::Attachment a;
    a.connect(demoArchivePath(host), context::adminLoginParams());
    db::Transaction t(a);
    maintenance::assicuraStoAggFdbFdb(a, t);
    maintenance::assicuraStoAggSincroDbFast(a, t);
    db::Statement script(a, t,
                         QStringLiteral("INSERT INTO STOAGGFDBFDB (CODICE, TITOLO, NOMETABELLAFDB1, ARCHIVIOTABELLAFDB2, "
                                        "NOMETABELLAFDB2, NOTE, SCRIPT) VALUES (1, :T, 'ARTICOLI', :DB, 'ARTICOLI', :N, :S)"));
    script.setParam(QStringLiteral("T"), Value(QStringLiteral("Articoli e prezzi alla filiale")));
    script.setParam(QStringLiteral("DB"), Value(branch));
    script.setParam(QStringLiteral("N"), Value(QStringLiteral("Aggiunge gli articoli che mancano alla filiale e "
                                                              "ne aggiorna descrizione e prezzo.")));
    script.setParam(QStringLiteral("S"), Value(QStringList{QStringLiteral("CODICE=CODICE"),
                                                           QStringLiteral("DESCRIZIONE=DESCRIZIONE"),
                                                           QStringLiteral("UNITAMISURA=UNITAMISURA"),
                                                           QStringLiteral("PREZZO=PREZZO"),
                                                           QStringLiteral("ALIQUOTAIVA=ALIQUOTAIVA"),
                                                           QStringLiteral("(AGGIUNGI=SI)"),
                                                           QStringLiteral("(AGGIORNA=SI)")}
                                                   .join(QStringLiteral("\r\n"))));
    script.execute();
    db::Statement sync(a, t,
                       QStringLiteral("INSERT INTO STOAGGSINCRODBFAST (CODICE, TITOLO, DBORIGINE, TABELLAORIGINE, "
                                      "DBDESTINAZIONE, TABELLADESTINAZIONE, NOTE, TIPOELABORAZIONE, ELABORAZIONEABILITATA) "
                                      "VALUES (1, :T, :O, 'CLIENTI', :D, 'CLIENTI', :N, :K, 1)"));
    sync.setParam(QStringLiteral("T"), Value(QStringLiteral("Clienti mancanti nella filiale")));
    sync.setParam(QStringLiteral("O"), Value(demoArchivePath(host)));
    sync.setParam(QStringLiteral("D"), Value(branch));
    sync.setParam(QStringLiteral("N"), Value(QStringLiteral("Copia nella filiale i clienti che non ha ancora.")));
    sync.setParam(QStringLiteral("K"), Value(maintenance::kTipoRecordMancanti));
    sync.execute();
    t.commit();
    if (log)
        log(QStringLiteral("Esempi in %1: listino_fornitore.csv, fornitore.prn; filiale.fdb con uno script di "
                           "aggiornamento e una sincronizzazione")
                .arg(work));
}

} // namespace

QString demoArchivePath(const QString &hostDir)
{
    return hostDir + QStringLiteral("dati/archivio.fdb");
}

void buildDemo(const DemoOptions &options)
{
    const QString host = platform::ensureTrailingSeparator(options.hostDir);
    for (const char *dir : {"dati", "lavoro", "temp", "bin", "ini_log_err"})
        if (!QDir().mkpath(host + QLatin1String(dir)))
            throw std::runtime_error(QStringLiteral("Impossibile creare la cartella %1%2").arg(host, QLatin1String(dir)).toStdString());
    createUserDatabase(host);
    createArchive(demoArchivePath(host), options.rows, options.log);
    storeDemoQueries(demoArchivePath(host));

    // The host files the user's parameters; the store writes them as it would.
    platform::setHostDir(host);
    params::TTabXForm store;
    store.SetUserPerNum(1);
    for (int user : {1, 2}) {
        store.NumeroUtente = user;
        store.ScriviParametroOstrel(store.Ditta, QStringLiteral("Archivio"), demoArchivePath(host));
        store.ScriviParametroOstrel(store.Ditta, QStringLiteral("Directory bin"), host + QStringLiteral("bin/"));
        store.ScriviParametroOstrel(store.Ditta, QStringLiteral("Directory di lavoro"), host + QStringLiteral("lavoro/"));
        store.ScriviParametroOstrel(store.Ditta, QStringLiteral("Directory tabelle temporanee"),
                                    host + QStringLiteral("temp/"));
    }
    platform::IniFile ini(host + QStringLiteral("ini_log_err/ostrel.ini"));
    ini.writeString(QStringLiteral("DITTA"), QStringLiteral("Directory ditta"), host + QStringLiteral("dati/"));
    QFile cfg(host + QStringLiteral("dati/ditta.cfg"));
    if (cfg.open(QIODevice::WriteOnly))
        cfg.write("DEMO\r\n");
    writeExamples(host, options.rows, options.log);
    if (options.log)
        options.log(QStringLiteral("Ambiente dimostrativo pronto in %1").arg(host));
}

} // namespace vardof::app
