// An import that meets a row another user holds: it waits at most the lock
// timeout, then names the line in Italian and goes on with the others; a
// holder that lets go in time costs only the wait.

#include "ServerHost.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::test;

namespace {

enum class Detentore { Tiene, Annulla, Conferma };

struct Caso
{
    const char *nome;
    const char *timeout;   // VARDOF_LOCK_TIMEOUT of the import
    Detentore detentore;   // what the other user does one second after the start
    int uscita;
    const char *riga1;     // expected start of the line about line 1, or "" for none
    int aggiornati;
    qint64 minimoMs;       // the import cannot have ended sooner (the server counts a
                           // lock timeout in whole seconds: it may give up to a second early)
    qint64 massimoMs;      // nor later
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nome;
}

class AttesaBlocco : public ::testing::TestWithParam<Caso>
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "nessun server privato (VARDOF_TEST_FB_PORT non impostata)";
    }
};

TEST_P(AttesaBlocco, waitsAtMostTheTimeoutAndNamesTheLine)
{
    const Caso &c = GetParam();
    ServerHost host;
    host.impostaVariabile(QStringLiteral("VARDOF_LOCK_TIMEOUT"), QString::fromLatin1(c.timeout));
    {
        QFile dati(host.lavoro() + QStringLiteral("blocco.csv"));
        ASSERT_TRUE(dati.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dati.write("BASE;ART000001;77,00;01/03/2026\r\nBASE;ART000002;78,00;01/03/2026\r\n");
        QFile script(host.lavoro() + QStringLiteral("blocco.txt"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n");
    }

    // Another user changes the first line's row and does not commit yet.
    db::Attachment altro = host.connetti(host.archivio());
    db::Transaction t(altro);
    db::executeSql(t, QStringLiteral("UPDATE LISTINI SET PREZZO=5 WHERE CODICELISTINO='BASE' AND "
                                     "CODICEARTICOLO='ART000001'"));

    QElapsedTimer orologio;
    orologio.start();
    std::unique_ptr<QProcess> p = host.avvia({QStringLiteral("import"), host.lavoro() + QStringLiteral("blocco.csv")});
    QThread::msleep(1000);
    if (c.detentore == Detentore::Annulla)
        t.rollback();
    else if (c.detentore == Detentore::Conferma)
        t.commit();
    const Uscita u = attendi(*p, 60000);
    const qint64 durata = orologio.elapsed();
    if (t.isActive())
        t.rollback();

    EXPECT_EQ(u.codice, c.uscita) << u.out.toStdString() << u.err.toStdString();
    EXPECT_GE(durata, c.minimoMs);
    EXPECT_LE(durata, c.massimoMs);
    EXPECT_TRUE(u.out.contains(QStringLiteral("Record aggiornati: %1").arg(c.aggiornati))) << u.out.toStdString();
    const QString riga1 = QString::fromUtf8(c.riga1);
    if (riga1.isEmpty())
        EXPECT_FALSE(u.out.contains(QLatin1String("relativo alla riga 1"))) << u.out.toStdString();
    else
        EXPECT_TRUE(u.out.contains(riga1)) << u.out.toStdString();
    // The other line went in whatever happened to the first.
    db::Attachment dopo = host.connetti(host.archivio());
    EXPECT_EQ(numero(dopo, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='BASE' AND "
                                          "CODICEARTICOLO='ART000002' AND PREZZO=78")),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AttesaBlocco,
    ::testing::Values(
        Caso{"aRowHeldPastTheTimeoutFailsWithItsLine", "2", Detentore::Tiene, 1,
             "Errore di UPDATE relativo alla riga 1: record in uso da un altro utente (bloccato o modificato durante "
             "l'elaborazione, attesa massima 2 secondi): ",
             1, 1000, 20000},
        Caso{"aHolderThatRollsBackInTimeCostsOnlyTheWait", "10", Detentore::Annulla, 0, "", 2, 900, 9000},
        Caso{"aHolderThatCommitsMeanwhileIsAnUpdateConflict", "10", Detentore::Conferma, 1,
             "Errore di UPDATE relativo alla riga 1: record in uso da un altro utente (bloccato o modificato durante "
             "l'elaborazione, attesa massima 10 secondi): ",
             1, 900, 9000},
        Caso{"withoutALimitTheWaitLastsAsLongAsTheHolder", "0", Detentore::Annulla, 0, "", 2, 900, 9000}),
    [](const ::testing::TestParamInfo<Caso> &i) { return std::string(i.param.nome); });

} // namespace

namespace {

// The update script meets a destination row another user holds: the row
// fails after the wait with its Italian reason and the others are written.
class AttesaBloccoAggiorna : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "nessun server privato (VARDOF_TEST_FB_PORT non impostata)";
    }
};

TEST_F(AttesaBloccoAggiorna, aDestinationRowHeldPastTheTimeoutIsNamedAndTheOthersAreWritten)
{
    ServerHost host;
    host.impostaVariabile(QStringLiteral("VARDOF_LOCK_TIMEOUT"), QStringLiteral("2"));
    db::Attachment archivio = host.connetti(host.archivio());
    db::Attachment filiale = host.connetti(host.filiale());
    const QString ddl = QStringLiteral("CREATE TABLE %1 (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))");
    esegui(archivio, ddl.arg(QStringLiteral("BLKO")));
    esegui(filiale, ddl.arg(QStringLiteral("BLKD")));
    esegui(archivio, QStringLiteral("INSERT INTO BLKO VALUES (1, 'nuova 1')"));
    esegui(archivio, QStringLiteral("INSERT INTO BLKO VALUES (2, 'nuova 2')"));
    esegui(filiale, QStringLiteral("INSERT INTO BLKD VALUES (1, 'vecchia 1')"));
    esegui(archivio, QStringLiteral("INSERT INTO STOAGGFDBFDB (CODICE, TITOLO, NOMETABELLAFDB1, ARCHIVIOTABELLAFDB2, "
                                    "NOMETABELLAFDB2, SCRIPT) VALUES (12, 'blocco', 'BLKO', '%1', 'BLKD', "
                                    "'CODICE=CODICE' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                    "'DESCRIZIONE=DESCRIZIONE' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                    "'(AGGIUNGI=SI)' || ASCII_CHAR(13) || ASCII_CHAR(10) || '(AGGIORNA=SI)')")
                         .arg(host.filiale()));

    db::Transaction t(filiale);
    db::executeSql(t, QStringLiteral("UPDATE BLKD SET DESCRIZIONE='altro utente' WHERE CODICE=1"));
    const Uscita u = host.esegui({QStringLiteral("aggiorna"), QStringLiteral("12")}, 60000);
    t.rollback();

    EXPECT_EQ(u.codice, 1) << u.out.toStdString() << u.err.toStdString();
    EXPECT_TRUE(u.out.contains(QStringLiteral("Record in uso da un altro utente (bloccato o modificato durante "
                                              "l'elaborazione, attesa massima 2 secondi)")))
        << u.out.toStdString();
    EXPECT_TRUE(u.out.contains(QLatin1String("Record falliti: 1"))) << u.out.toStdString();
    EXPECT_EQ(colonna(filiale, QStringLiteral("SELECT DESCRIZIONE FROM BLKD ORDER BY CODICE")),
              (QStringList{QStringLiteral("vecchia 1"), QStringLiteral("nuova 2")}));
}

} // namespace
