// Several users at once on the private server, for a bounded time
// (VARDOF_SOAK_SECONDS, 20 by default): three launchers importing into the
// same price list over and over, two synchronising a table that keeps
// growing, two taking and releasing a situation, two locking the same row,
// two running the query engine and making its answer table.
//
// Afterwards: no process was left hanging, no situation or row was held by
// two at once, no row was lost or doubled, and every refusal came with its
// Italian message. The load held is printed at the end.

#include "ServerHost.h"

#include "db/Error.h"
#include "support/FbFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>

using namespace vardof;
using namespace vardof::test;

namespace {

int durataSecondi()
{
    const int n = qEnvironmentVariableIntValue("VARDOF_SOAK_SECONDS");
    return n > 0 ? n : 20;
}

constexpr int kChiaviComuni = 2000;
constexpr int kChiaviProprie = 500;
constexpr int kImportatori = 3;

void scriviFile(const QString &path, const QStringList &righe)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QString &r : righe)
        f.write((r + QStringLiteral("\r\n")).toLatin1());
}

// One kind of launcher run, started again and again until the end.
struct Giro
{
    QString nome;
    QStringList argomenti;
    std::unique_ptr<QProcess> corrente;
    QByteArray out, err; // of the current run, read as it goes so that no pipe fills
    QElapsedTimer orologio;
    int corse = 0;
    int riuscite = 0;
    int fallite = 0;
    qint64 righe = 0;        // data lines the import runs processed
    qint64 righeFallite = 0; // and those they refused
    QStringList problemi;
};

// The summary of an import run: every refused line has its Italian
// lead-in, and a line refused for someone else's lock says so in Italian.
void controllaImport(Giro &g, const Uscita &u)
{
    if (u.codice != 0 && u.codice != 1) {
        g.problemi << QStringLiteral("uscita %1:\n%2%3").arg(u.codice).arg(u.out, u.err);
        return;
    }
    if (!u.err.contains(QLatin1String("Elaborazione terminata"))) {
        g.problemi << QStringLiteral("non terminata:\n%1%2").arg(u.out, u.err);
        return;
    }
    static const QRegularExpression totali(QStringLiteral("Record totali: ([0-9.]+)"));
    static const QRegularExpression falliti(QStringLiteral("Record falliti: ([0-9.]+)"));
    const qint64 tot = totali.match(u.out).captured(1).remove(QLatin1Char('.')).toLongLong();
    const qint64 ko = falliti.match(u.out).captured(1).remove(QLatin1Char('.')).toLongLong();
    g.righe += tot;
    g.righeFallite += ko;
    qint64 spiegate = 0;
    for (const QString &l : u.out.split(QLatin1Char('\n'))) {
        if (!l.startsWith(QLatin1String("Errore di UPDATE relativo alla riga "))
            && !l.startsWith(QLatin1String("Errore di INSERT relativo alla riga ")))
            continue;
        ++spiegate;
        const QString motivo = l.mid(l.indexOf(QLatin1String(": ")) + 2);
        if (!motivo.startsWith(QStringLiteral("record in uso da un altro utente"))
            && !motivo.startsWith(QStringLiteral("chiave già presente nella tabella")))
            g.problemi << QStringLiteral("rifiuto senza spiegazione: ") + l;
    }
    if (spiegate != ko)
        g.problemi << QStringLiteral("%1 righe fallite, %2 spiegate:\n%3").arg(ko).arg(spiegate).arg(u.out);
    if ((ko > 0) != (u.codice == 1))
        g.problemi << QStringLiteral("uscita %1 con %2 righe fallite").arg(u.codice).arg(ko);
}

// A synchronisation refused because the other one holds the same rows
// says which synchronisation failed, in Italian, before the server's text.
void controllaSincro(Giro &g, const Uscita &u)
{
    if (u.codice == 0 && u.out.contains(QLatin1String("Elaborazione cod. 21")))
        return;
    if (u.codice == 1 && u.err.contains(QLatin1String("Elaborazione cod. 21 (Titolo \"soak\") fallita:")))
        return;
    g.problemi << QStringLiteral("uscita %1:\n%2%3").arg(u.codice).arg(u.out, u.err);
}

struct Operatore
{
    QString nome;
    std::unique_ptr<QProcess> processo;
    int fatte = 0, rifiutate = 0, sovrapposte = 0, conflitti = 0, errori = 0;
    QString uscita;
};

QString operatoreExe()
{
    return QStringLiteral(OPERATORE_EXE);
}

class Soak : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "nessun server privato (VARDOF_TEST_FB_PORT non impostata)";
    }
};

TEST_F(Soak, severalUsersAtOnceLoseNothingAndWaitForNobodyForever)
{
    const int durata = durataSecondi();
    ServerHost host;
    db::Attachment archivio = host.connetti(host.archivio());
    db::Attachment filiale = host.connetti(host.filiale());

    // Price lists: keys every importer writes, and keys of its own.
    for (int k = 1; k <= kImportatori; ++k) {
        QStringList righe;
        for (int i = 1; i <= kChiaviComuni; ++i)
            righe << QStringLiteral("SOAK;C%1;%2,00;01/03/2026").arg(i, 7, 10, QLatin1Char('0')).arg(k);
        for (int i = 1; i <= kChiaviProprie; ++i)
            righe << QStringLiteral("SOAK;P%1-%2;%1,00;01/03/2026").arg(k).arg(i, 6, 10, QLatin1Char('0'));
        scriviFile(host.lavoro() + QStringLiteral("soak%1.csv").arg(k), righe);
        scriviFile(host.lavoro() + QStringLiteral("soak%1.txt").arg(k),
                   {QStringLiteral("[SCRIPT]"), QStringLiteral("TABELLADESTINAZIONE=LISTINI"),
                    QStringLiteral("AGGIUNGI=SI"), QStringLiteral("AGGIORNA=SI")});
    }
    const Impronta restoListini =
        impronta(archivio, QStringLiteral("LISTINI"), QStringLiteral("CODICELISTINO || CODICEARTICOLO || PREZZO"),
                 QStringLiteral("CODICELISTINO<>'SOAK'"));

    // A table that grows in the archive while it is synchronised.
    const QString ddl = QStringLiteral("CREATE TABLE SOAKCLI (CODICE INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(40))");
    esegui(archivio, ddl);
    esegui(filiale, ddl);
    esegui(archivio, QStringLiteral("UPDATE STOAGGSINCRODBFAST SET ELABORAZIONEABILITATA=0"));
    esegui(archivio, QStringLiteral("INSERT INTO STOAGGSINCRODBFAST (CODICE, TITOLO, DBORIGINE, TABELLAORIGINE, "
                                    "DBDESTINAZIONE, TABELLADESTINAZIONE, TIPOELABORAZIONE, ELABORAZIONEABILITATA) "
                                    "VALUES (21, 'soak', '%1', 'SOAKCLI', '%2', 'SOAKCLI', "
                                    "'GIRA TUTTI RECORD MANCANTI SU BASE CHIAVE PRIMARIA', 1)")
                         .arg(host.archivio(), host.filiale()));

    // The situation exists before the soak: its very first taking excludes
    // nobody by design, and that is not what is measured here.
    QTemporaryDir testimoni;
    {
        QProcess p;
        p.start(operatoreExe(), {QStringLiteral("semaforo"), serverPrefix() + host.archivio(), serverPassword(),
                                 QStringLiteral("1"), testimoni.path(), QStringLiteral("99")});
        ASSERT_TRUE(p.waitForFinished(60000));
    }

    std::vector<Giro> giri;
    auto nuovoGiro = [&](const QString &nome, const QStringList &argomenti) {
        Giro g;
        g.nome = nome;
        g.argomenti = argomenti;
        giri.push_back(std::move(g));
    };
    for (int k = 1; k <= kImportatori; ++k)
        nuovoGiro(QStringLiteral("import %1").arg(k),
                  {QStringLiteral("import"), host.lavoro() + QStringLiteral("soak%1.csv").arg(k)});
    for (int k = 1; k <= 2; ++k)
        nuovoGiro(QStringLiteral("sync %1").arg(k), {QStringLiteral("sync")});

    std::vector<Operatore> operatori;
    const QString db = serverPrefix() + host.archivio();
    const QString sec = QString::number(durata);
    auto avviaOperatore = [&](const QString &nome, const QStringList &argomenti) {
        Operatore o;
        o.nome = nome;
        o.processo = std::make_unique<QProcess>();
        o.processo->start(operatoreExe(), argomenti);
        operatori.push_back(std::move(o));
    };
    for (int k = 1; k <= 2; ++k) {
        avviaOperatore(QStringLiteral("semaforo %1").arg(k),
                       {QStringLiteral("semaforo"), db, serverPassword(), sec, testimoni.path(), QString::number(k)});
        avviaOperatore(QStringLiteral("blocco %1").arg(k),
                       {QStringLiteral("blocco"), db, serverPassword(), sec, testimoni.path()});
        avviaOperatore(QStringLiteral("query %1").arg(k),
                       {QStringLiteral("query"), db, serverPassword(), sec, QString::number(10 + k)});
    }

    // The loop: restart each launcher run when it ends, and keep adding
    // customers to the archive in small committed batches.
    constexpr int kAttesaMassimaMs = 120000; // a run that takes longer is hanging
    QElapsedTimer orologio;
    orologio.start();
    QDeadlineTimer fine(qint64(durata) * 1000);
    int clienti = 0;
    bool partiti = false;
    for (;;) {
        bool vivi = false;
        for (Giro &g : giri) {
            if (g.corrente) {
                // Without an event loop a child's end is seen only here.
                g.corrente->waitForFinished(1);
                g.out += g.corrente->readAllStandardOutput();
                g.err += g.corrente->readAllStandardError();
            }
            if (g.corrente && g.corrente->state() == QProcess::NotRunning) {
                Uscita u = attendi(*g.corrente, 1000);
                u.out = QString::fromLocal8Bit(g.out) + u.out;
                u.err = QString::fromLocal8Bit(g.err) + u.err;
                g.out.clear();
                g.err.clear();
                g.corrente.reset();
                ++g.corse;
                (u.codice == 0 ? g.riuscite : g.fallite)++;
                if (g.argomenti.first() == QLatin1String("import"))
                    controllaImport(g, u);
                else
                    controllaSincro(g, u);
            }
            if (g.corrente && g.orologio.elapsed() > kAttesaMassimaMs) {
                g.problemi << QStringLiteral("in attesa da oltre %1 s: uccisa").arg(kAttesaMassimaMs / 1000);
                g.corrente->kill();
                g.corrente->waitForFinished(10000);
                g.corrente.reset();
            }
            if (!g.corrente && !fine.hasExpired()) {
                g.out.clear();
                g.err.clear();
                g.corrente = host.avvia(g.argomenti);
                g.orologio.start();
            }
            vivi = vivi || g.corrente;
        }
        partiti = true;
        if (!fine.hasExpired()) {
            esegui(archivio, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = %1; BEGIN WHILE (I < %2) DO BEGIN "
                                            "INSERT INTO SOAKCLI VALUES (:I, 'cliente ' || :I); I = I + 1; END END")
                                 .arg(clienti + 1)
                                 .arg(clienti + 21));
            clienti += 20;
        }
        if (!vivi && fine.hasExpired())
            break;
        QThread::msleep(200);
    }
    ASSERT_TRUE(partiti);

    for (Operatore &o : operatori) {
        const Uscita u = attendi(*o.processo, 120000);
        o.uscita = u.out + u.err;
        static const QRegularExpression conti(
            QStringLiteral("FATTE ([0-9]+) RIFIUTATE ([0-9]+) SOVRAPPOSTE ([0-9]+) CONFLITTI ([0-9]+) ERRORI ([0-9]+)"));
        const QRegularExpressionMatch m = conti.match(u.out);
        EXPECT_EQ(u.codice, 0) << o.nome.toStdString() << ": " << o.uscita.toStdString();
        ASSERT_TRUE(m.hasMatch()) << o.nome.toStdString() << ": " << o.uscita.toStdString();
        o.fatte = m.captured(1).toInt();
        o.rifiutate = m.captured(2).toInt();
        o.sovrapposte = m.captured(3).toInt();
        o.conflitti = m.captured(4).toInt();
        o.errori = m.captured(5).toInt();
        EXPECT_GT(o.fatte, 0) << o.nome.toStdString();
        EXPECT_EQ(o.sovrapposte, 0) << o.nome.toStdString() << ": tenuto da due insieme";
        EXPECT_EQ(o.errori, 0) << o.nome.toStdString() << ": " << o.uscita.toStdString();
    }
    const qint64 durataEffettiva = orologio.elapsed();

    for (const Giro &g : giri) {
        // Runs that lost rows to the others end with 1 and say why.
        EXPECT_GT(g.corse, 0) << g.nome.toStdString();
        EXPECT_TRUE(g.problemi.isEmpty()) << g.nome.toStdString() << ":\n"
                                          << g.problemi.join(QStringLiteral("\n----\n")).toStdString();
    }

    // Nothing lost, nothing doubled: every key of the price lists once,
    // with a price one of the importers wrote; each importer's own keys all
    // there; the rest of the table untouched.
    EXPECT_EQ(numero(archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='SOAK' AND "
                                              "CODICEARTICOLO STARTING WITH 'C'")),
              kChiaviComuni);
    EXPECT_EQ(numero(archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='SOAK' AND "
                                              "CODICEARTICOLO STARTING WITH 'C' AND PREZZO IN (1, 2, 3)")),
              kChiaviComuni);
    for (int k = 1; k <= kImportatori; ++k)
        EXPECT_EQ(numero(archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='SOAK' AND "
                                                  "CODICEARTICOLO STARTING WITH 'P%1-' AND PREZZO=%1")
                                       .arg(k)),
                  kChiaviProprie)
            << "importatore " << k;
    EXPECT_EQ(numero(archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='SOAK'")),
              kChiaviComuni + kImportatori * kChiaviProprie);
    EXPECT_EQ(impronta(archivio, QStringLiteral("LISTINI"), QStringLiteral("CODICELISTINO || CODICEARTICOLO || PREZZO"),
                       QStringLiteral("CODICELISTINO<>'SOAK'")),
              restoListini);

    // One more synchronisation alone brings the branch level with the archive.
    const Uscita ultima = host.esegui({QStringLiteral("sync")});
    EXPECT_EQ(ultima.codice, 0) << ultima.out.toStdString() << ultima.err.toStdString();
    EXPECT_EQ(impronta(filiale, QStringLiteral("SOAKCLI"), QStringLiteral("CODICE || NOME")),
              impronta(archivio, QStringLiteral("SOAKCLI"), QStringLiteral("CODICE || NOME")));
    EXPECT_EQ(numero(filiale, QStringLiteral("SELECT COUNT(*) FROM SOAKCLI")), clienti);

    // Every situation taken was released, and the log says so.
    EXPECT_EQ(numero(archivio, QStringLiteral("SELECT COUNT(*) FROM SEMAFORI_LOG WHERE SITUAZIONEOCCUPATA=0 AND "
                                              "DATAORALIBERAZIONE IS NULL")),
              0);

    // The load held.
    std::cout << "[ soak ] durata " << durataEffettiva / 1000.0 << " s (richiesta " << durata << " s), "
              << giri.size() + operatori.size() << " processi alla volta" << std::endl;
    for (const Giro &g : giri)
        std::cout << "[ soak ] " << g.nome.toStdString() << ": " << g.corse << " corse (" << g.riuscite
                  << " riuscite, " << g.fallite << " con righe rifiutate), righe " << g.righe << ", rifiutate "
                  << g.righeFallite << std::endl;
    for (const Operatore &o : operatori)
        std::cout << "[ soak ] " << o.nome.toStdString() << ": " << o.fatte << " fatte, " << o.rifiutate
                  << " rifiutate" << (o.conflitti ? QStringLiteral(", %1 tabelle di risposta rifiutate per conflitto")
                                                        .arg(o.conflitti)
                                                        .toStdString()
                                                  : std::string())
                  << std::endl;
    std::cout << "[ soak ] clienti aggiunti durante la sincronizzazione: " << clienti << std::endl;
}

} // namespace
