#include "support/Databases.h"

#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>

namespace vardof::bench {

QStringList login()
{
    return db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
}

void exec(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::executeSql(att, t, sql);
    t.commit();
}

QString Target::file(const QString &name) const
{
    return QDir(dir).filePath(name);
}

Target embeddedTarget(const QString &dir)
{
    return Target{QStringLiteral("embedded"), dir, QString(), login()};
}

std::optional<Target> serverTarget()
{
    const QByteArray port = qgetenv("VARDOF_TEST_FB_PORT");
    const QString dir = QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_DIR"));
    if (port.isEmpty() || dir.isEmpty())
        return std::nullopt;
    Target t{QStringLiteral("server (localhost TCP)"), dir,
             QStringLiteral("localhost/%1:").arg(QString::fromLatin1(port)),
             db::loginParams(QStringLiteral("SYSDBA"), QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_PASSWORD")))};
    QFile pidFile(QDir(dir).filePath(QStringLiteral("../server.pid")));
    if (pidFile.open(QIODevice::ReadOnly))
        t.serverPid = pidFile.readAll().trimmed().toLongLong();
    // The pid file may name the wrapper that started the server as its user.
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(t.serverPid));
    if (children.open(QIODevice::ReadOnly)) {
        const QByteArray c = children.readAll().trimmed();
        if (!c.isEmpty())
            t.serverPid = c.split(' ').first().toLongLong();
    }
    return t;
}

void freshCopy(const QString &base, const QString &dest)
{
    QFile::remove(dest);
    QFile::copy(base, dest);
    QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                    | QFile::ReadOther | QFile::WriteOther);
}

void createCustomers(const QString &path, int rows)
{
    QFile::remove(path);
    db::Attachment a;
    a.create(path, login() << QStringLiteral("PAGE_SIZE 8192"));
    exec(a, QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE "
                           "VARCHAR(60), INDIRIZZO VARCHAR(60), CAP CHAR(5), CITTA VARCHAR(40), PROVINCIA "
                           "CHAR(2), ZONA VARCHAR(5), PARTITAIVA VARCHAR(11), FIDO NUMERIC(15,2), "
                           "DATAINSERIMENTO DATE, NOTE BLOB SUB_TYPE 1)"));
    exec(a, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                           "INSERT INTO CLIENTI VALUES (:I, 'CLIENTE NUMERO ' || :I, 'VIA ROMA ' || MOD(:I, 200), "
                           "'20100', DECODE(MOD(:I, 8), 0, 'MILANO', 1, 'ROMA', 2, 'NAPOLI', 3, 'TORINO', 4, "
                           "'BOLOGNA', 5, 'FIRENZE', 6, 'GENOVA', 'BARI'), 'MI', 'N', LPAD(:I, 11, '0'), "
                           "MOD(:I, 10000) / 7.0, DATEADD(MOD(:I, 3650) DAY TO DATE '2015-01-01'), "
                           "IIF(MOD(:I, 10) = 0, 'cliente con note', NULL)); I = I + 1; END END")
                .arg(rows));
    a.disconnect();
}

void createArticoli(const Target &t, const QString &name, int rows, int step, const QString &text)
{
    QFile::remove(t.file(name));
    db::Attachment att;
    att.create(t.prefix + t.file(name), t.login + QStringList{QStringLiteral("PAGE_SIZE 8192")});
    exec(att, QStringLiteral("CREATE TABLE ARTICOLI (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                             "UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), GIACENZA NUMERIC(15,3), "
                             "DATAULTIMOCARICO DATE)"));
    exec(att, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                             "INSERT INTO ARTICOLI VALUES (:I, '%3 ' || :I, 'PZ', :I * 0.37, :I * 0.001, "
                             "DATEADD(MOD(:I, 3650) DAY TO DATE '2015-01-01')); I = I + %2; END END")
                  .arg(rows)
                  .arg(step)
                  .arg(text));
    att.disconnect();
}

void writeListino(const QString &path, qint64 rows, bool header)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    if (header)
        f.write("CODICE;DESCRIZIONE;PREZZO;QTA;DATA;NOTE\r\n");
    QByteArray line;
    for (qint64 i = 0; i < rows; ++i) {
        line = "ART" + QByteArray::number(i).rightJustified(8, '0') + ";Articolo di listino numero "
               + QByteArray::number(i) + ";" + QByteArray::number(i % 5000) + "," + QByteArray::number(10 + i % 90)
               + ";" + QByteArray::number(i % 1000) + ";" + QByteArray::number(1 + i % 28).rightJustified(2, '0')
               + "/03/2024;nota\r\n";
        f.write(line);
    }
}

} // namespace vardof::bench
