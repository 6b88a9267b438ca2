#include "demo/DemoQuery.h"

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "context/WorkContext.h"
#include "platform/RunFeedback.h"
#include "storedqueries/Classificazioni.h"
#include "storedqueries/StoredQueryTables.h"

#include <vector>

namespace vardof::app {

namespace {

struct Colonna
{
    const char *nome;
    int mostra;             // 1 shown, 0 not
    const char *condizione; // as a user types it
    int larghezza;          // of the answer column, when shown
    int raggruppa;          // ordering and grouping code of the answer column
};

struct DemoQuery
{
    int codice;
    const char *titolo;
    const char *tabella;
    const char *classe1;
    const char *classe2;
    const char *nomeExport;
    const char *note;
    std::vector<Colonna> colonne; // every column of the table, in catalogue order
};

// Codes of the answer columns: 00100 first in the order, 00200 second;
// 10 adds the total, 1 groups the digits with two decimals.
const std::vector<DemoQuery> &queries()
{
    static const std::vector<DemoQuery> q{
        {1, "Clienti per città", "CLIENTI", "Anagrafiche", "", "clienti_citta.csv",
         "Tutti i clienti, ordinati per città e ragione sociale.",
         {{"CODICE", 1, "", 8, 0},
          {"RAGIONESOCIALE", 1, "", 40, 200},
          {"INDIRIZZO", 0, "", 0, 0},
          {"CAP", 0, "", 0, 0},
          {"CITTA", 1, "", 24, 100},
          {"PROVINCIA", 1, "", 4, 0},
          {"ZONA", 0, "", 0, 0},
          {"PARTITAIVA", 0, "", 0, 0},
          {"FIDO", 1, "", 14, 11},
          {"DATAINSERIMENTO", 0, "", 0, 0},
          {"NOTE", 0, "", 0, 0}}},
        {2, "Ordini del primo semestre 2024", "ORDINI", "Vendite", "Semestrali", "ordini_semestre.csv",
         "Le date si scrivono gg/mm/aaaa: cambiarle per un altro periodo.",
         {{"NUMERO", 1, "", 8, 0},
          {"DATAORDINE", 1, "(DATAORDINE BETWEEN '01/01/2024' AND '30/06/2024')", 12, 100},
          {"CLIENTE", 1, "", 8, 0},
          {"TOTALE", 1, "", 14, 11},
          {"STATO", 1, "", 4, 0},
          {"NOTE", 0, "", 0, 0}}},
        {3, "Articoli con i prezzi", "ARTICOLI", "Magazzino", "Mensili", "articoli_prezzi.csv", "",
         {{"CODICE", 1, "", 15, 100},
          {"DESCRIZIONE", 1, "", 40, 0},
          {"UNITAMISURA", 1, "", 4, 0},
          {"PREZZO", 1, "", 12, 1},
          {"ALIQUOTAIVA", 1, "", 6, 0},
          {"GIACENZA", 0, "", 0, 0},
          {"DATAULTIMOCARICO", 0, "", 0, 0},
          {"NOTE", 0, "", 0, 0}}},
    };
    return q;
}

db::FieldValue testo(const char *t)
{
    const QString s = QString::fromUtf8(t);
    return s.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(s));
}

} // namespace

void storeDemoQueries(const QString &archivePath)
{
    db::Attachment a = db::Attachment::attach(archivePath, context::adminLoginParams());
    db::Transaction t(a);
    storedqueries::installaPreparaClassificazioni();
    platform::RecordingFeedback silenzio;
    storedqueries::PreparaTabelleQuery(a, t, silenzio);

    const std::pair<int, QStringList> classi[] = {
        {1, {QStringLiteral("Anagrafiche"), QStringLiteral("Magazzino"), QStringLiteral("Vendite")}},
        {2, {QStringLiteral("Mensili"), QStringLiteral("Semestrali")}},
    };
    for (const auto &[n, descrizioni] : classi) {
        int codice = 0;
        for (const QString &d : descrizioni)
            storedqueries::inserisciClassificazione(a, t, n, ++codice, d);
    }

    db::Statement quer(t, QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, CLASSIFICAZIONE1, "
                                         "CLASSIFICAZIONE2, NOMEEXPORT, NOTE) VALUES (:C, :T, :TAB, :C1, :C2, :E, :N)"));
    for (const DemoQuery &q : queries()) {
        quer.setParam(QStringLiteral("C"), db::Value(qint64(q.codice)));
        quer.setParam(QStringLiteral("T"), testo(q.titolo));
        quer.setParam(QStringLiteral("TAB"), testo(q.tabella));
        quer.setParam(QStringLiteral("C1"), testo(q.classe1));
        quer.setParam(QStringLiteral("C2"), testo(q.classe2));
        quer.setParam(QStringLiteral("E"), testo(q.nomeExport));
        quer.setParam(QStringLiteral("N"), testo(q.note));
        quer.execute();

        std::vector<storedqueries::RigaStoInt> righe;
        std::vector<storedqueries::RigaStoAsp> aspetto;
        int numero = 0;
        for (const Colonna &c : q.colonne) {
            righe.push_back({++numero, QString::fromLatin1(c.nome), c.mostra, QString::fromUtf8(c.condizione)});
            if (c.mostra) {
                const int n = int(aspetto.size());
                aspetto.push_back({n, QString::fromLatin1(c.nome), c.larghezza, 1, n, c.raggruppa});
            }
        }
        storedqueries::scriviStoIntSenzaCommit(a, t, storedqueries::kCodice1Storico, q.codice, righe);
        storedqueries::scriviStoAspSenzaCommit(a, t, storedqueries::kCodice1Storico, q.codice, aspetto);
    }
    t.commit();
    a.disconnect();
}

} // namespace vardof::app
