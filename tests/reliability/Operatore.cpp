// One user of the reliability tests, as a separate process:
//
//   reliability_operatore semaforo DATABASE PASSWORD SECONDI TESTIMONI UTENTE
//       takes and releases the situation "SOAK" for SECONDI seconds
//   reliability_operatore blocco DATABASE PASSWORD SECONDI TESTIMONI
//       locks and releases the row CODICE=1 of CLIENTI for SECONDI seconds
//   reliability_operatore query DATABASE PASSWORD SECONDI UTENTE
//       runs the query engine on LISTINI and makes the answer table
//   reliability_operatore tieni DATABASE
//       opens DATABASE (a local file: embedded) and holds it until killed
//
// While it holds a situation or a row, the process keeps a file named after
// it in TESTIMONI, created only if no such file exists: finding one there
// means that someone else holds the same thing at the same moment.
//
// At the end it prints one line "FATTE n RIFIUTATE n SOVRAPPOSTE n
// CONFLITTI n ERRORI n" and then one line per error; "APERTO" for tieni once
// the file is open. CONFLITTI counts answer tables the server refused with an
// update conflict because another user created a table at the same time.

#include "db/Error.h"
#include "db/Statement.h"
#include "maintenance/Semafori.h"
#include "platform/Formats.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace vardof;

namespace {

struct Conti
{
    int fatte = 0;
    int rifiutate = 0;
    int sovrapposte = 0;
    int conflitti = 0; // answer tables refused because another user was creating one
    QStringList errori;
};

// The witness file exists while this process holds the thing.
class Testimone
{
public:
    explicit Testimone(const QString &path) : m_file(path) {}
    bool entra()
    {
        m_dentro = m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        return m_dentro;
    }
    void esce()
    {
        if (m_dentro) {
            m_file.close();
            m_file.remove();
        }
        m_dentro = false;
    }

private:
    QFile m_file;
    bool m_dentro = false;
};

void ciclo(int secondi, const std::function<void()> &passo)
{
    QDeadlineTimer fine(qint64(secondi) * 1000);
    while (!fine.hasExpired())
        passo();
}

int stampa(const Conti &c)
{
    std::printf("FATTE %d RIFIUTATE %d SOVRAPPOSTE %d CONFLITTI %d ERRORI %d\n", c.fatte, c.rifiutate, c.sovrapposte,
                c.conflitti, int(c.errori.size()));
    for (const QString &e : c.errori)
        std::printf("%s\n", QString(e).replace(QLatin1Char('\n'), QLatin1Char(' ')).toLocal8Bit().constData());
    return 0;
}

int semaforo(db::Attachment &att, int secondi, const QString &testimoni, int utente)
{
    Conti c;
    maintenance::TSemaforiSituazioni s(utente, att);
    QString messaggio;
    if (!s.VerificaStrutture(messaggio)) {
        c.errori << messaggio;
        return stampa(c);
    }
    Testimone t(testimoni + QStringLiteral("/SOAK"));
    ciclo(secondi, [&] {
        if (!s.OccupaSituazione(QStringLiteral("SOAK"), QStringLiteral("soak %1").arg(utente))) {
            ++c.rifiutate;
            QThread::msleep(5);
            return;
        }
        ++c.fatte;
        if (!t.entra())
            ++c.sovrapposte;
        QThread::msleep(10);
        t.esce();
        s.LiberaSituazione();
    });
    return stampa(c);
}

int blocco(db::Attachment &att, int secondi, const QString &testimoni)
{
    Conti c;
    Testimone t(testimoni + QStringLiteral("/CLIENTI_1"));
    ciclo(secondi, [&] {
        try {
            std::unique_ptr<db::Transaction> tra = maintenance::TransazioneNoWait(att);
            maintenance::TDBRecordLocker locker;
            locker.NomeTabella = QStringLiteral("CLIENTI");
            locker.CampiChiave = {QStringLiteral("CODICE")};
            locker.ImpostaTransazione(att, *tra);
            locker.ParametroChiave(QStringLiteral("CODICE"), db::Value(qint64(1)));
            const int esito = locker.BloccaRecord();
            if (esito == maintenance::TDBRecordLocker::RecordBloccato) {
                ++c.fatte;
                if (!t.entra())
                    ++c.sovrapposte;
                QThread::msleep(10);
                t.esce();
            } else if (esito == maintenance::TDBRecordLocker::RecordRifiutato) {
                ++c.rifiutate;
            } else {
                c.errori << QStringLiteral("riga CODICE=1 di CLIENTI non trovata");
            }
            tra->rollback();
            if (esito != maintenance::TDBRecordLocker::RecordBloccato)
                QThread::msleep(5);
        } catch (const db::Error &e) {
            c.errori << e.message();
        }
    });
    return stampa(c);
}

int query(db::Attachment &att, int secondi, int utente)
{
    Conti c;
    // The engine tells failures through boxes: recorded, never waited on.
    platform::ScopedServices servizi;
    db::Transaction tra(att);
    ciclo(secondi, [&] {
        qbe::TabIntTmp tab;
        qbe::TabRispTmp risposta;
        qbe::SessioneQuery sessione;
        qbe::TIBFQuerForm motore(utente, att, tra, att, tra, tab, QStringLiteral("LISTINI"), sessione, QString(),
                                 QStringLiteral("DEMO"));
        bool interrogata = false;
        try {
            motore.RiempiTabIntTmp(tab, QStringLiteral("LISTINI"));
            tab.setCondizione(0, QStringLiteral("(CODICELISTINO = 'SOAK')"));
            // Every answer sees what others committed, as the window does.
            if (tra.isActive())
                tra.rollback();
            interrogata = motore.EseguiInterrogazione(tab, QStringLiteral("LISTINI"), risposta);
            if (interrogata)
                risposta.fetchAll();
            else
                c.errori << QStringLiteral("interrogazione: ") + motore.ultimoErrore();
        } catch (const db::Error &e) {
            interrogata = false;
            c.errori << QStringLiteral("interrogazione: ") + e.message();
        }
        if (interrogata) {
            // The answer table a chained query reads.
            try {
                motore.CreaTabellaRisposta(risposta);
                ++c.fatte;
            } catch (const db::Error &e) {
                if (e.isLockConflict())
                    ++c.conflitti;
                else
                    c.errori << QStringLiteral("tabella di risposta: ") + e.message();
            }
        }
        for (const QString &t : servizi.messages().texts())
            c.errori << t;
        servizi.messages().clear();
    });
    return stampa(c);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::setLibraryFormats();
    const QStringList a = app.arguments();
    if (a.size() == 3 && a[1] == QLatin1String("tieni")) {
        db::Attachment att;
        try {
            att.connect(a[2], db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey")));
        } catch (const db::Error &e) {
            std::printf("ERRORE %s\n", e.message().toLocal8Bit().constData());
            return 1;
        }
        std::printf("APERTO\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    if (a.size() < 5)
        return 2;
    db::Attachment att;
    try {
        att.connect(a[2], db::loginParams(QStringLiteral("SYSDBA"), a[3]));
    } catch (const db::Error &e) {
        std::printf("ERRORE %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    const int secondi = a[4].toInt();
    if (a[1] == QLatin1String("semaforo") && a.size() == 7)
        return semaforo(att, secondi, a[5], a[6].toInt());
    if (a[1] == QLatin1String("blocco") && a.size() == 6)
        return blocco(att, secondi, a[5]);
    if (a[1] == QLatin1String("query") && a.size() == 6)
        return query(att, secondi, a[5].toInt());
    return 2;
}
