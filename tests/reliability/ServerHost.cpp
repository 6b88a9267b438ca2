#include "ServerHost.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <stdexcept>

namespace vardof::test {

namespace {

std::atomic<int> g_serie{0};

void scriviDatiIni(const QString &cartella, const QString &file)
{
    QFile f(cartella + QStringLiteral("dati.ini"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("dati.ini non scrivibile in " + cartella.toStdString());
    // The server name carries the port, the alias is the file's own path:
    // the server reaches the same folder.
    const QString prefisso = serverPrefix(); // "localhost/PORT:"
    const QString testo = QStringLiteral("[CONFIG]\r\nNome Server=%1\r\nAlias=%2\r\n")
                              .arg(prefisso.left(prefisso.size() - 1), cartella + file);
    f.write(testo.toLatin1());
}

void apriATutti(const QString &file)
{
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                    | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
}

} // namespace

QString vardofExe()
{
    return QStringLiteral(VARDOF_EXE);
}

ServerHost::ServerHost(int righeDemo)
{
    if (serverPrefix().isEmpty() || serverDir().isEmpty())
        throw std::runtime_error("nessun server privato");
    m_dir = QDir(serverDir()).filePath(QStringLiteral("host-%1-%2/")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(g_serie.fetch_add(1)));
    QDir(m_dir).removeRecursively();
    QDir().mkpath(m_dir);

    QProcess demo;
    demo.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    demo.start(vardofExe(), {QStringLiteral("--host"), m_dir, QStringLiteral("demo"), QStringLiteral("--rows"),
                             QString::number(righeDemo)});
    const Uscita u = attendi(demo, 120000);
    if (u.codice != 0)
        throw std::runtime_error("demo non creato: " + u.err.toStdString());

    // The branch database gets a folder of its own: every file of a folder
    // goes where that folder's dati.ini says.
    QDir().mkpath(m_dir + QStringLiteral("filiale"));
    if (!QFile::rename(m_dir + QStringLiteral("dati/filiale.fdb"), filiale()))
        throw std::runtime_error("filiale.fdb non spostato");
    {
        db::Attachment a;
        a.connect(archivio(), adminParams());
        db::Transaction t(a);
        db::executeSql(t, QStringLiteral("UPDATE STOAGGFDBFDB SET ARCHIVIOTABELLAFDB2='%1'").arg(filiale()));
        db::executeSql(t, QStringLiteral("UPDATE STOAGGSINCRODBFAST SET DBDESTINAZIONE='%1'").arg(filiale()));
        t.commit();
    }

    for (const QString &f : {m_dir + QStringLiteral("user/user.fdb"), archivio(), filiale()})
        apriATutti(f);
    scriviDatiIni(m_dir + QStringLiteral("user/"), QStringLiteral("user.fdb"));
    scriviDatiIni(m_dir + QStringLiteral("dati/"), QStringLiteral("archivio.fdb"));
    scriviDatiIni(m_dir + QStringLiteral("filiale/"), QStringLiteral("filiale.fdb"));
}

ServerHost::~ServerHost()
{
    QDir(m_dir).removeRecursively();
}

db::Attachment ServerHost::connetti(const QString &file) const
{
    db::Attachment a;
    a.connect(serverPrefix() + file, db::loginParams(QStringLiteral("SYSDBA"), serverPassword()));
    return a;
}

QProcessEnvironment ServerHost::ambiente() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VARDOF_DB_PASSWORD"), serverPassword());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("VARDOF_HOST_DIR"));
    for (const QString &k : m_extra.keys())
        env.insert(k, m_extra.value(k));
    return env;
}

std::unique_ptr<QProcess> ServerHost::avvia(const QStringList &argomenti) const
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(ambiente());
    p->start(vardofExe(), QStringList{QStringLiteral("--host"), m_dir} + argomenti);
    p->waitForStarted(30000);
    return p;
}

Uscita ServerHost::esegui(const QStringList &argomenti, int timeoutMs) const
{
    std::unique_ptr<QProcess> p = avvia(argomenti);
    return attendi(*p, timeoutMs);
}

Uscita attendi(QProcess &p, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    Uscita u;
    // A process already seen to end answers false to waitForFinished().
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(10000);
        u.codice = -1;
    } else {
        u.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    u.millisecondi = clock.elapsed();
    u.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    u.err = QString::fromLocal8Bit(p.readAllStandardError());
    return u;
}

void esegui(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::executeSql(t, sql);
    t.commit();
}

qint64 numero(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    const db::FieldValue v = db::queryValue(t, sql);
    return v ? db::toInt64(*v).value_or(-1) : -1;
}

QStringList colonna(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::Statement s(t, sql, db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << rs.text(0);
    return out;
}

Impronta impronta(db::Attachment &att, const QString &tabella, const QString &espressione, const QString &filtro)
{
    db::Transaction t(att);
    db::Statement s(t,
                    QStringLiteral("SELECT COUNT(*), COALESCE(SUM(MOD(HASH(%1), 1000000007)), 0) FROM %2%3")
                        .arg(espressione, tabella,
                             filtro.isEmpty() ? QString() : QStringLiteral(" WHERE ") + filtro),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    Impronta i;
    if (rs.next()) {
        i.righe = rs.toInt64(0).value_or(-1);
        i.somma = rs.toInt64(1).value_or(-1);
    }
    return i;
}

} // namespace vardof::test
