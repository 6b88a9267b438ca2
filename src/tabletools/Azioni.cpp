#include "tabletools/Azioni.h"

#include "context/SqlBuilders.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "tabletools/TabellaEditor.h"

namespace vardof::tabletools {

const QStringList &didascalieAzioni()
{
    static const QStringList testi = {
        QStringLiteral("Elimina spazi su Campo 1"),
        QStringLiteral("Elimina record con Campo 1 nullo"),
        QStringLiteral("Elimina record con Campo 1 pari a Valore 1"),
        QStringLiteral("Sostituisci Valore 1 su Campo 1 con Valore 2"),
        QStringLiteral("Togli Valore 1 da Campo 1"),
        QStringLiteral("Sostituisci sotto-stringa Valore 1 su Campo 1 con sotto-stringa Valore 2"),
        QStringLiteral("Sostituisci carriage return e line feed nel Campo1 con Valore1"),
        QStringLiteral("Togli Valore 1 da Campo 1 con eliminazione del record se crea duplicato"),
    };
    return testi;
}

QStringList controlliAggiunta(int codice, const QString &campo1, const QString &valore1, const QString &valore2)
{
    QStringList msg;
    switch (codice) {
    case 0:
    case 1:
        if (campo1.isEmpty())
            msg << QStringLiteral("Specificare un valore per Campo1");
        break;
    case 3:
    case 5:
        if (campo1.isEmpty())
            msg << QStringLiteral("Specificare un valore per Campo 1");
        if (valore1.isEmpty())
            msg << QStringLiteral("Specificare un valore per Valore 1");
        if (valore2.isEmpty())
            msg << QStringLiteral("Specificare un valore per Valore 2");
        break;
    case 2:
    case 4:
    case 6:
        if (campo1.isEmpty())
            msg << QStringLiteral("Specificare un valore per Campo 1");
        if (valore1.isEmpty())
            msg << QStringLiteral("Specificare un valore per Valore 1");
        break;
    default: break;
    }
    return msg;
}

bool datiCompleti(const Azione &a)
{
    if (!a.azione)
        return false;
    if (a.campo1.isEmpty())
        return false;
    switch (*a.azione) {
    case 2: return !a.valore1.isEmpty() && !a.cs.isEmpty();
    case 3:
    case 5: return !a.valore1.isEmpty() && !a.valore2.isEmpty() && !a.cs.isEmpty();
    case 4:
    case 6:
    case 7: return !a.valore1.isEmpty();
    default: return true;
    }
}

QString rigaFile(const Azione &a)
{
    const QStringList campi = {QString::number(a.nriga), a.azione ? QString::number(*a.azione) : QString(),
                               a.descrizione, a.campo1, a.campo2, a.valore1, a.valore2, a.cs};
    QString riga;
    for (const QString &c : campi)
        riga += c + QLatin1Char(';');
    return riga;
}

std::optional<Azione> azioneDaRiga(const QString &riga)
{
    QStringList valori = riga.split(QLatin1Char(';'));
    // Every ';' ends a value; what follows the last one is a value when present.
    if (!valori.isEmpty() && valori.last().isEmpty())
        valori.removeLast();
    if (valori.size() != 8)
        return std::nullopt;
    Azione a;
    a.nriga = valori[0].trimmed().toInt();
    bool ok = false;
    const int codice = valori[1].trimmed().toInt(&ok);
    if (ok)
        a.azione = codice;
    a.descrizione = valori[2].left(80);
    a.campo1 = valori[3].left(31);
    a.campo2 = valori[4].left(20);
    a.valore1 = valori[5].left(256);
    a.valore2 = valori[6].left(256);
    a.cs = valori[7].left(1);
    return a;
}

QString nomeFileSequenza(const QString &scelto)
{
    if (scelto.toUpper().contains(QLatin1String(".TXT")))
        return scelto;
    return scelto + QStringLiteral(".TXT");
}

QString togliSpazi(const QString &testo) { return QString(testo).remove(QLatin1Char(' ')); }

QString togli(const QString &testo, const QString &valore)
{
    if (valore.isEmpty())
        return testo;
    return QString(testo).remove(valore, Qt::CaseSensitive);
}

std::optional<QString> sostituisciPrima(const QString &testo, const QString &da, const QString &a, bool sensibile)
{
    if (da.isEmpty())
        return std::nullopt;
    const qsizetype pos = testo.indexOf(da, 0, sensibile ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (pos < 0)
        return std::nullopt;
    return testo.left(pos) + a + testo.mid(pos + da.size());
}

QString sostituisciACapo(const QString &testo, const QString &con)
{
    QString t = testo;
    t.replace(QLatin1Char('\r'), con);
    t.replace(QLatin1Char('\n'), con);
    return t;
}

namespace {

QString tq(const TabellaEditor &t) { return t.tabellaQuotata(); }

// Row by row over the statement: `cambia` gives the new text or nullopt to
// leave the row alone.
void perRiga(TabellaEditor &tabella, const QStringList &statement, const QString &campo,
             platform::RunFeedback &feedback, const std::function<std::optional<QString>(const QString &)> &cambia,
             const std::function<bool(const RigaLetta &, const QString &vecchio, const QString &nuovo,
                                      const db::Error &)> &rifiutata = {})
{
    const std::vector<RigaLetta> righe = tabella.leggi(statement, {campo});
    const QString nome = tabella.nomeColonna(campo);
    qint64 fatte = 0;
    feedback.report(0, qint64(righe.size()));
    for (const RigaLetta &r : righe) {
        const QString vecchio = db::toText(r.valori.front());
        if (const std::optional<QString> nuovo = cambia(vecchio); nuovo && *nuovo != vecchio) {
            try {
                tabella.aggiorna(r.identita, {{nome, db::FieldValue(*nuovo)}});
            } catch (const db::Error &e) {
                if (!rifiutata || !rifiutata(r, vecchio, *nuovo, e))
                    throw;
            }
        }
        feedback.step(++fatte, qint64(righe.size()));
    }
    feedback.report(fatte, qint64(righe.size()));
}

} // namespace

void eseguiAzione(TabellaEditor &tabella, const QStringList &statement, const Azione &a,
                  platform::RunFeedback &feedback)
{
    const int codice = a.azione.value_or(-1);
    const auto colonna = [&] { return db::quotedName(tabella.nomeColonna(a.campo1)); };
    db::Transaction &tra = tabella.transazione();
    switch (codice) {
    case 0:
        perRiga(tabella, statement, a.campo1, feedback, [](const QString &t) { return togliSpazi(t); });
        break;
    case 1:
        db::executeSql(tra, QStringLiteral("DELETE FROM ") + tq(tabella) + QStringLiteral(" WHERE\n") + colonna()
                                + QStringLiteral(" IS NULL"));
        break;
    case 2:
        db::executeSql(tra, QStringLiteral("DELETE FROM ") + tq(tabella) + QStringLiteral(" WHERE\n")
                                + (a.sensibile() ? colonna() + QLatin1Char('=') + context::quoted(a.valore1)
                                                 : QStringLiteral("UPPER(") + colonna() + QStringLiteral(")=")
                                                       + context::quoted(a.valore1.toUpper())));
        break;
    case 3:
        db::executeSql(tra, QStringLiteral("UPDATE ") + tq(tabella) + QStringLiteral(" SET\n")
                                + (a.sensibile() ? colonna() + QLatin1Char('=') + context::quoted(a.valore2)
                                                       + QStringLiteral("\nWHERE ") + colonna() + QLatin1Char('=')
                                                       + context::quoted(a.valore1)
                                                 : colonna() + QLatin1Char('=') + context::quoted(a.valore2.toUpper())
                                                       + QStringLiteral("\nWHERE UPPER(") + colonna()
                                                       + QStringLiteral(")=") + context::quoted(a.valore1.toUpper())));
        break;
    case 4:
        perRiga(tabella, statement, a.campo1, feedback, [&](const QString &t) { return togli(t, a.valore1); });
        break;
    case 5:
        perRiga(tabella, statement, a.campo1, feedback,
                [&](const QString &t) { return sostituisciPrima(t, a.valore1, a.valore2, a.sensibile()); });
        break;
    case 6:
        perRiga(tabella, statement, a.campo1, feedback, [&](const QString &t) -> std::optional<QString> {
            if (t.isEmpty())
                return std::nullopt;
            return sostituisciACapo(t, a.valore1);
        });
        break;
    case 7:
        perRiga(
            tabella, statement, a.campo1, feedback, [&](const QString &t) { return togli(t, a.valore1); },
            [&](const RigaLetta &r, const QString &vecchio, const QString &nuovo, const db::Error &e) {
                if (!e.isDuplicateKey())
                    return false;
                feedback.line(QStringLiteral("La sostituzione del valore \"%1\" con \"%2\" per il campo %3 genera un "
                                             "potenziale duplicato: il record verrà eliminato")
                                  .arg(vecchio, nuovo, a.campo1));
                tabella.cancella(r.identita);
                return true;
            });
        break;
    default: throw std::invalid_argument("azione sconosciuta");
    }
}

EsitoSequenza eseguiSequenza(TabellaEditor &tabella, const QStringList &statement, const std::vector<Azione> &azioni,
                             platform::RunFeedback &feedback, QString *errore)
{
    db::Transaction &tra = tabella.transazione();
    const auto annulla = [&](EsitoSequenza esito) {
        tra.rollback();
        return esito;
    };
    for (const Azione &a : azioni) {
        if (!a.azione) {
            if (feedback.confirm(QStringLiteral("L'azione riportata nella riga %1 è invalida e non verrà eseguita. "
                                                "Annullare tutta l'elaborazione?")
                                     .arg(a.nriga),
                                 platform::Warning))
                return annulla(EsitoSequenza::Annullata);
            continue;
        }
        if (!datiCompleti(a)) {
            if (feedback.confirm(QStringLiteral("L'azione riportata nella riga %1 non può essere eseguita per "
                                                "incompletezza di dati. Annullare tutta l'elaborazione?")
                                     .arg(a.nriga),
                                 platform::Warning))
                return annulla(EsitoSequenza::Annullata);
            continue;
        }
        try {
            eseguiAzione(tabella, statement, a, feedback);
        } catch (const db::Error &e) {
            if (errore)
                *errore = e.message();
            feedback.tell(platform::Error, QStringLiteral("Elaborazione fallita") + QLatin1Char('\r') + e.message());
            return annulla(EsitoSequenza::Fallita);
        } catch (const std::exception &e) {
            if (errore)
                *errore = QString::fromUtf8(e.what());
            feedback.tell(platform::Error,
                          QStringLiteral("Elaborazione fallita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
            return annulla(EsitoSequenza::Fallita);
        }
    }
    tra.commit();
    return EsitoSequenza::Completata;
}

qint64 sostituisciApici(TabellaEditor &tabella, const QStringList &statement, platform::RunFeedback &feedback)
{
    QStringList testi;
    for (const db::TableColumn &c : tabella.colonne())
        if (c.typeCode == db::TypeChar || c.typeCode == db::TypeVarchar
            || (c.typeCode == db::TypeBlob && c.subType == 1))
            testi << c.name;
    const db::TableColumn *codice = tabella.colonna(QStringLiteral("CODICE"));
    QStringList campi = testi;
    if (codice)
        campi << codice->name;
    const std::vector<RigaLetta> righe = tabella.leggi(statement, campi);
    const QChar acuto(0x00B4);
    qint64 cambiate = 0, fatte = 0;
    feedback.report(0, qint64(righe.size()));
    for (const RigaLetta &r : righe) {
        std::vector<std::pair<QString, db::FieldValue>> nuovi;
        for (qsizetype i = 0; i < testi.size(); ++i) {
            QString t = db::toText(r.valori[size_t(i)]);
            const qsizetype apici = t.count(QLatin1Char('\''));
            if (apici == 0)
                continue;
            if (!codice)
                throw std::invalid_argument(
                    QStringLiteral("Il campo Codice non esiste nella tabella %1").arg(tabella.tabella()).toStdString());
            for (qsizetype k = 0; k < apici; ++k)
                feedback.line(QStringLiteral("Art.") + db::toText(r.valori.back()) + QStringLiteral(" aggiornato"));
            t.replace(QLatin1Char('\''), acuto);
            nuovi.emplace_back(testi[i], db::FieldValue(t));
        }
        if (!nuovi.empty()) {
            tabella.aggiorna(r.identita, nuovi);
            ++cambiate;
        }
        feedback.step(++fatte, qint64(righe.size()));
    }
    feedback.report(fatte, qint64(righe.size()));
    return cambiate;
}

} // namespace vardof::tabletools
