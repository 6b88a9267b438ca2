#pragma once

// Text pages for the simple prints: the answer turned into pages of
// fixed-width lines with "|" between the columns, kept in two local tables
// of the working folder that the print engines read page by page:
//
//   {working folder}STAMPE/TEXT/TESTATT/TESTATT.DB  NumeroPagina
//   {working folder}STAMPE/TEXT/RIGHET/RIGHET.DB    NumeroPagina, NumeroRiga,
//                                                    TipoRiga, Descrizione
//
// Several copies of the system may share a working folder: a table someone
// else holds is left alone and the pages go to the next free alternative
// name (TESTA01.DB, TESTA02.DB, ...), which is deleted when the builder
// goes; a table under its standard name stays for the next print.
//
// Readers: open the two tables through platform::localTables() (after the
// builder is gone) or ask the builder for its rows while it lives.

#include "output/Risposta.h"
#include "platform/LocalTable.h"
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vardof::output {

enum class StatoTabella { NonEsiste, EsisteLibera, EsisteOccupata };

inline const QString kTestatt = QStringLiteral("TESTATT.DB");
inline const QString kRighet = QStringLiteral("RIGHET.DB");

// TESTATT.DB -> TESTA01.DB, RIGHET.DB -> RIGHE01.DB, TESTA01.DB -> TESTA02.DB.
QString ProssimoNomeAlternativo(const QString &nome);

// The free-table rule. Given a table by folder and name: "Non Esiste" when
// there is no such file; otherwise the table is opened for exclusive use
// and emptied, and when someone else holds it the name moves on to the
// next alternative until a free table or a free name is found. The answer
// is decided by the first attempt. `nome` ends as the name to use; `aperta`
// holds the table when a free one was found (else it must be created).
StatoTabella VerificaTabellaLibera(const QString &cartella, QString &nome,
                                   std::unique_ptr<platform::ILocalTable> &aperta);

// Lines per page: "RigheStampaQuery" of the company's section of the
// Windows-folder ostrel.ini, 50 when missing or not a number.
int RigheStampaQuery(const QString &ditta);

// Memo wrapping: pieces of at most `larghezza` characters, broken at line
// breaks and before a word that would not fit (a longer word is cut).
QStringList pezziMemo(const QString &testo, int larghezza);

// The most lines a record needs: the largest count of wrapped pieces
// among its memo and blob texts (0 when it has none). `memo` holds those
// texts with the width of their columns.
int DeterminaNumeroMassimoRighe(const std::vector<std::pair<QString, int>> &memo);

// "|" + each text padded with blanks and cut to its width + "|".
QString rigaColonne(const QStringList &testi, const std::vector<int> &larghezze);

class GeneratorePagine
{
public:
    // `intestazioni` are the five page-header lines H0..H4. `righePerPagina`
    // 0 reads the setting.
    GeneratorePagine(const QStringList &intestazioni, bool numerazione, const QString &ditta,
                     const QString &dirLavoro, int righePerPagina = 0);
    ~GeneratorePagine();
    GeneratorePagine(const GeneratorePagine &) = delete;
    GeneratorePagine &operator=(const GeneratorePagine &) = delete;

    // Settles and empties the two tables and starts page 1 with its header
    // lines. False with the system's reason in errore().
    bool Prepara();

    void AggiungiPagina();
    void AggiungiRiga(const QString &testo);
    void TerminaUltimaPagina();

    // Rows written; a failed write makes the rest fail and is kept here.
    bool fallito() const { return !m_errore.isEmpty(); }
    const QString &errore() const { return m_errore; }

    int righePerPagina() const { return m_n; }
    int paginaCorrente() const { return m_pagina; }
    QString percorsoTestate() const { return m_cartellaTestate + QLatin1Char('/') + m_nomeTestate; }
    QString percorsoRighe() const { return m_cartellaRighe + QLatin1Char('/') + m_nomeRighe; }
    StatoTabella statoTestate() const { return m_statoTestate; }
    StatoTabella statoRighe() const { return m_statoRighe; }
    platform::ILocalTable *tabellaTestate() { return m_testate.get(); }
    platform::ILocalTable *tabellaRighe() { return m_righeTab.get(); }

private:
    bool preparaTabella(const QString &cartella, QString &nome, const platform::LocalTableLayout &layout,
                        std::unique_ptr<platform::ILocalTable> &tabella, StatoTabella &stato);
    void aggiungiLinea(const QString &testo);
    void fallisci(const QString &motivo);

    QStringList m_h;
    bool m_numerazione;
    QString m_ditta;
    int m_n;
    int m_pagina = 0;
    int m_l = 0;
    QString m_cartellaTestate, m_nomeTestate = kTestatt;
    QString m_cartellaRighe, m_nomeRighe = kRighet;
    StatoTabella m_statoTestate = StatoTabella::NonEsiste;
    StatoTabella m_statoRighe = StatoTabella::NonEsiste;
    std::unique_ptr<platform::ILocalTable> m_testate;
    std::unique_ptr<platform::ILocalTable> m_righeTab;
    QString m_errore;
};

struct OpzioniPagine
{
    QString titolo;          // H0
    QString note;            // H1
    bool numerazione = true; // "Pagina N° " at the foot of each page
    bool memoEstesi = false; // memos wrapped over as many lines as they need
    int righePerPagina = 0;  // 0: the setting
    // One-record view: the value column (the second) takes the query
    // window's value width, kept between 45 and 100; 0 otherwise.
    int larghezzaValoreRecord = 0;
};

// The page header H3 and the column widths of an answer.
struct ColonneStampa
{
    std::vector<int> larghezze;
    QString intestazione; // H3
};
ColonneStampa colonneStampa(const std::vector<CampoEsportato> &campi, const std::vector<db::Column> &colonne,
                            int larghezzaValoreRecord = 0);

// The whole answer as pages: header lines, one or more lines per record,
// the totals when some shown column carries one, the last page completed.
// nullptr with `errore` when the tables or the answer fail. The builder
// returned holds the tables for the printer.
std::unique_ptr<GeneratorePagine> GeneraPagineRisposta(const RispostaDaEsportare &risposta, const OpzioniPagine &opzioni,
                                                       const QString &ditta, const QString &dirLavoro,
                                                       platform::RunFeedback &feedback, QString *errore);

} // namespace vardof::output
