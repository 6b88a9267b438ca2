#pragma once

// Tables joined to a query: each one a run of rows at the end of the
// interrogation, a header (table name + " = " + alias letter; code 9 or 3),
// its link rows (code 8) and the rows of its columns. Adding and removing
// work on the rows only; the dialogs gather the choices.

#include "qbe/Interrogazione.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace vardof::qbe {

enum class ModoJoin {
    Left,                 // "Left": LEFT JOIN, conditions in the WHERE clause
    Right,                // "Right (con buchi)": RIGHT JOIN
    LeftCondizioniPrima,  // "Left (con condizioni prima)": conditions in the ON clause
};

inline const QString kMsgQueryBloccata =
    QStringLiteral("Attenzione: operazione non possibile, la Query è bloccata!");
inline const QString kMsgTabellaPresente = QStringLiteral("Tabella gia presente nella Query!");
inline const QString kMsgScegliereTabella = QStringLiteral("Si prega di scegliere una tabella da collegare!!");
inline const QString kMsgCreareCollegamento = QStringLiteral("Si prega di creare almeno un collegamento!!");
inline const QString kMsgScegliereCampo =
    QStringLiteral("Si prega di scegliere almeno un campo da visualizzare!!");
inline const QString kMsgTabellaCollegata = QStringLiteral(
    "Cancellazione Impossibile: la tabella da eliminare\rha un collegamento con una tabella presente nella query!");

struct TabellaDaAggiungere
{
    QString nome;
    // (interrogation column, column of the table being added), in list order.
    std::vector<std::pair<QString, QString>> collegamenti;
    // The columns to report, in the table's column order.
    QStringList colonne;
    ModoJoin modo = ModoJoin::Left;

    // Adds a link pair unless it is listed already.
    void aggiungiCollegamento(const QString &colonnaQuery, const QString &colonnaTabella);
};

// The alias prefix of the next added table, from the last row's Nome.
QString prefissoAlias(const TabIntTmp &tab);
// The interrogation columns a link may point at: every row of code 0 or 1.
QStringList colonneCollegabili(const TabIntTmp &tab);
// Whether the table is joined already with the plain "Left" mode.
bool tabellaGiaPresente(const TabIntTmp &tab, const QString &nome);
// The reason "&Riporta" refuses; empty when the table can be added.
QString controlloRiporta(const TabellaDaAggiungere &t);
// Appends the header, the links and the reported columns; refuses (returns
// the message, nothing added) as controlloRiporta does.
QString aggiungiTabella(TabIntTmp &tab, const TabellaDaAggiungere &t);

// The Nome of every header row, in order.
QStringList testate(const TabIntTmp &tab);
// Removes the added table of header `testata`: refused with
// kMsgTabellaCollegata when another row's condition begins with its alias.
// Rows keep their Numero. Returns the refusal, empty when removed or when
// there is no such header.
QString controlloEliminazione(const TabIntTmp &tab, const QString &testata);
QString eliminaTabella(TabIntTmp &tab, const QString &testata);

} // namespace vardof::qbe
