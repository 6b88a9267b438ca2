// Our connection layer against the bare client API, in the same run, on the
// same rows: 200,000 inserts through one prepared statement in one
// transaction, then the rows read back as text. Each variant runs on a fresh
// embedded database; rounds alternate so machine noise hits both alike.
//
//   bench_db [--rows N] [--rounds R] [--results bench/RESULTS.md]

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/Databases.h"
#include "support/Options.h"
#include "support/ResultsFile.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

using namespace vardof;

namespace {

const char *kCreate = "CREATE TABLE T (ID INTEGER NOT NULL, NOME VARCHAR(40), PREZZO NUMERIC(15,2), DATA DATE, "
                      "CODICE CHAR(8))";

QString nameFor(int i)
{
    return QStringLiteral("Articolo di prova numero %1 è").arg(i);
}

void createSchema(const QString &path)
{
    QFile::remove(path);
    db::Attachment a;
    a.create(path, bench::login());
    db::Transaction t(a);
    db::executeSql(a, t, QString::fromLatin1(kCreate));
    t.commit();
}

// ---- our layer -----------------------------------------------------------

double insertOurs(const QString &path, int rows)
{
    db::Attachment a = db::Attachment::attach(path, bench::login());
    db::Transaction t(a);
    QElapsedTimer timer;
    timer.start();
    db::Statement s(a, t, QStringLiteral("INSERT INTO T (ID, NOME, PREZZO, DATA, CODICE) VALUES (:ID, :NOME, :PREZZO, :DATA, :CODICE)"));
    const QDate base(2024, 1, 1);
    for (int i = 0; i < rows; ++i) {
        s.setParam(QStringLiteral("ID"), db::Value(qint64(i)));
        s.setParam(QStringLiteral("NOME"), db::Value(nameFor(i)));
        s.setParam(QStringLiteral("PREZZO"), db::Value(db::Decimal{qint64(i) * 7 + 99, 2}));
        s.setParam(QStringLiteral("DATA"), db::Value(base.addDays(i % 1000)));
        s.setParam(QStringLiteral("CODICE"), db::Value(QStringLiteral("C%1").arg(i % 100000)));
        s.execute();
    }
    t.commit();
    return timer.nsecsElapsed() / 1e9;
}

double selectOurs(const QString &path, qint64 &checksum)
{
    db::Attachment a = db::Attachment::attach(path, bench::login());
    db::Transaction t(a);
    QElapsedTimer timer;
    timer.start();
    db::Statement s(a, t, QStringLiteral("SELECT ID, NOME, PREZZO, DATA, CODICE FROM T"));
    db::ResultSet rs = s.open();
    checksum = 0;
    while (rs.next())
        for (int c = 0; c < 5; ++c)
            checksum += rs.text(c).size();
    return timer.nsecsElapsed() / 1e9;
}

// ---- the bare client API ------------------------------------------------

struct Raw
{
    Firebird::IMaster *master = Firebird::fb_get_master_interface();
    Firebird::IStatus *status = master->getStatus();
    Firebird::CheckStatusWrapper st{status};
    Firebird::IUtil *util = master->getUtilInterface();
    Firebird::IProvider *prov = master->getDispatcher();
    Firebird::IAttachment *att = nullptr;

    ~Raw()
    {
        if (att)
            att->detach(&st);
        prov->release();
        status->dispose();
    }
    void check()
    {
        if (st.getState() & Firebird::IStatus::STATE_ERRORS) {
            char buf[512];
            util->formatStatus(buf, sizeof buf, status);
            throw std::runtime_error(buf);
        }
    }
    void attach(const QString &path)
    {
        Firebird::IXpbBuilder *dpb = util->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&st, isc_dpb_password, "masterkey");
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertString(&st, isc_dpb_config, "Providers=Engine12");
        const QByteArray name = path.toLocal8Bit();
        att = prov->attachDatabase(&st, name.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
        check();
    }
};

void putVarchar(unsigned char *p, const QByteArray &b)
{
    const unsigned short len = static_cast<unsigned short>(b.size());
    std::memcpy(p, &len, 2);
    std::memcpy(p + 2, b.constData(), len);
}

double insertRaw(const QString &path, int rows)
{
    Raw r;
    r.attach(path);
    QElapsedTimer timer;
    timer.start();
    Firebird::ITransaction *tra = r.att->startTransaction(&r.st, 0, nullptr);
    r.check();
    const char *sql = "INSERT INTO T (ID, NOME, PREZZO, DATA, CODICE) VALUES (?, ?, ?, ?, ?)";
    Firebird::IStatement *stmt = r.att->prepare(&r.st, tra, 0, sql, 3, 0);
    r.check();
    // The message as our layer also sends it: text as VARCHAR in WIN1252,
    // the price as a scaled BIGINT, the date as a DATE.
    Firebird::IMessageMetadata *server = stmt->getInputMetadata(&r.st);
    Firebird::IMetadataBuilder *b = server->getBuilder(&r.st);
    b->setType(&r.st, 0, SQL_INT64 | 1);
    b->setLength(&r.st, 0, 8);
    b->setScale(&r.st, 0, 0);
    b->setType(&r.st, 1, SQL_VARYING | 1);
    b->setLength(&r.st, 1, 40);
    b->setCharSet(&r.st, 1, 53);
    b->setType(&r.st, 2, SQL_INT64 | 1);
    b->setLength(&r.st, 2, 8);
    b->setScale(&r.st, 2, -2);
    b->setType(&r.st, 3, SQL_TYPE_DATE | 1);
    b->setLength(&r.st, 3, 4);
    b->setType(&r.st, 4, SQL_VARYING | 1);
    b->setLength(&r.st, 4, 8);
    b->setCharSet(&r.st, 4, 53);
    Firebird::IMessageMetadata *meta = b->getMetadata(&r.st);
    r.check();
    std::vector<unsigned> off(5), nul(5);
    for (unsigned i = 0; i < 5; ++i) {
        off[i] = meta->getOffset(&r.st, i);
        nul[i] = meta->getNullOffset(&r.st, i);
    }
    std::vector<unsigned char> buf(meta->getMessageLength(&r.st));
    for (unsigned i = 0; i < 5; ++i)
        *reinterpret_cast<short *>(&buf[nul[i]]) = 0;
    const QDate base(2024, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const ISC_INT64 id = i;
        std::memcpy(&buf[off[0]], &id, 8);
        putVarchar(&buf[off[1]], nameFor(i).toLatin1());
        const ISC_INT64 price = qint64(i) * 7 + 99;
        std::memcpy(&buf[off[2]], &price, 8);
        const QDate d = base.addDays(i % 1000);
        const ISC_DATE date = r.util->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
        std::memcpy(&buf[off[3]], &date, 4);
        putVarchar(&buf[off[4]], QStringLiteral("C%1").arg(i % 100000).toLatin1());
        stmt->execute(&r.st, tra, meta, buf.data(), nullptr, nullptr);
        r.check();
    }
    tra->commit(&r.st);
    r.check();
    stmt->free(&r.st);
    meta->release();
    b->release();
    server->release();
    return timer.nsecsElapsed() / 1e9;
}

double selectRaw(const QString &path, qint64 &checksum)
{
    Raw r;
    r.attach(path);
    QElapsedTimer timer;
    timer.start();
    Firebird::ITransaction *tra = r.att->startTransaction(&r.st, 0, nullptr);
    Firebird::IStatement *stmt = r.att->prepare(&r.st, tra, 0, "SELECT ID, NOME, PREZZO, DATA, CODICE FROM T", 3,
                                                Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    r.check();
    Firebird::IMessageMetadata *meta = stmt->getOutputMetadata(&r.st);
    std::vector<unsigned> off(5), nul(5);
    for (unsigned i = 0; i < 5; ++i) {
        off[i] = meta->getOffset(&r.st, i);
        nul[i] = meta->getNullOffset(&r.st, i);
    }
    const unsigned codeLen = meta->getLength(&r.st, 4);
    std::vector<unsigned char> buf(meta->getMessageLength(&r.st));
    Firebird::IResultSet *cur = stmt->openCursor(&r.st, tra, nullptr, nullptr, meta, 0);
    r.check();
    checksum = 0;
    while (cur->fetchNext(&r.st, buf.data()) == Firebird::IStatus::RESULT_OK) {
        // The same text the library shows: number, decimal with comma,
        // dd/MM/yyyy, and the two texts.
        ISC_LONG id;
        std::memcpy(&id, &buf[off[0]], 4);
        checksum += QString::number(id).size();
        unsigned short len;
        std::memcpy(&len, &buf[off[1]], 2);
        checksum += QString::fromLatin1(reinterpret_cast<const char *>(&buf[off[1]] + 2), len).size();
        ISC_INT64 price;
        std::memcpy(&price, &buf[off[2]], 8);
        QString p = QString::number(price / 100) + QLatin1Char(',')
                    + QStringLiteral("%1").arg(price % 100, 2, 10, QLatin1Char('0'));
        checksum += p.size();
        ISC_DATE date;
        std::memcpy(&date, &buf[off[3]], 4);
        unsigned y, m, d;
        r.util->decodeDate(date, &y, &m, &d);
        checksum += QDate(int(y), int(m), int(d)).toString(QStringLiteral("dd/MM/yyyy")).size();
        checksum += QString::fromLatin1(reinterpret_cast<const char *>(&buf[off[4]]), codeLen).size();
    }
    r.check();
    cur->close(&r.st);
    stmt->free(&r.st);
    meta->release();
    tra->commit(&r.st);
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bench::Options opzioni(app.arguments(),
                                 {QStringLiteral("--rows"), QStringLiteral("--rounds"), QStringLiteral("--results")});
    const int rows = opzioni.number(QStringLiteral("--rows"), 200000);
    const int rounds = opzioni.number(QStringLiteral("--rounds"), 3);
    const QString results = opzioni.text(QStringLiteral("--results"));
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("ours.fdb"));
    const QString raw = dir.filePath(QStringLiteral("raw.fdb"));
    std::vector<double> insOurs, insRaw, selOurs, selRaw;
    try {
        for (int round = 0; round < rounds; ++round) {
            // Alternate which goes first.
            createSchema(ours);
            createSchema(raw);
            if (round % 2 == 0) {
                insRaw.push_back(insertRaw(raw, rows));
                insOurs.push_back(insertOurs(ours, rows));
            } else {
                insOurs.push_back(insertOurs(ours, rows));
                insRaw.push_back(insertRaw(raw, rows));
            }
            qint64 a = 0, b = 0;
            if (round % 2 == 0) {
                selRaw.push_back(selectRaw(raw, b));
                selOurs.push_back(selectOurs(ours, a));
            } else {
                selOurs.push_back(selectOurs(ours, a));
                selRaw.push_back(selectRaw(raw, b));
            }
            if (a != b)
                std::fprintf(stderr, "attenzione: testi diversi (%lld / %lld)\n", (long long)a, (long long)b);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double io = bench::median(insOurs), ir = bench::median(insRaw), so = bench::median(selOurs), sr = bench::median(selRaw);
    const QString md =
        QStringLiteral("## Firebird layer against the bare client API\n\n"
                       "Machine: %1. Embedded engine, a fresh database per variant, %2 rows of 5 columns "
                       "(INTEGER, VARCHAR(40) with accents, NUMERIC(15,2), DATE, CHAR(8)), median of %3 alternating rounds. "
                       "Run: `build/bench/db/bench_db --results bench/RESULTS.md`.\n\n"
                       "| operation | bare API rows/s | our layer rows/s | ratio (ours / bare) | target |\n"
                       "|---|---:|---:|---:|---:|\n"
                       "| insert, one prepared statement, one transaction | %4 | %5 | %6 | >= 0.9 |\n"
                       "| select all rows, every value as text | %7 | %8 | %9 | >= 0.9 |\n")
            .arg(bench::machineDescription())
            .arg(rows)
            .arg(rounds)
            .arg(qint64(rows / ir))
            .arg(qint64(rows / io))
            .arg(ir / io, 0, 'f', 2)
            .arg(qint64(rows / sr))
            .arg(qint64(rows / so))
            .arg(sr / so, 0, 'f', 2);
    std::printf("%s\n", md.toUtf8().constData());
    if (!results.isEmpty() && !bench::writeSection(results, QStringLiteral("db"), md))
        std::fprintf(stderr, "impossibile scrivere %s\n", results.toLocal8Bit().constData());
    return 0;
}
