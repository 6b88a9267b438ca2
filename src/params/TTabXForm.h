#pragma once

// The per-user parameter store: the host's user database user.fdb (in the
// folder "user" next to the host executable), the user's name and company,
// the user's named parameters, the host's log of opened windows, a second
// connection on which a tool may open the user's archive, and the in-memory
// table through which an entry passes values to the work context.
//
// Statements on the user database throw db::Error when it could not be
// opened or lacks the host's tables; the entries catch it.

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vardof::params {

// One row of MemTabX. Empty text given to Inserisci becomes a null value.
struct MemTabXRow
{
    int Codice = 0;
    QString Tipo;
    QString Nome;
    std::optional<qint64> Numero;
    QString Testo;
    std::optional<QDate> Data;
    QString Memo;
    std::optional<int> Livello1;
    std::optional<int> Livello2;
    std::optional<int> Utente;
};

class TTabXForm
{
public:
    TTabXForm();
    ~TTabXForm();
    TTabXForm(const TTabXForm &) = delete;
    TTabXForm &operator=(const TTabXForm &) = delete;

    void SetUserPerNum(int userNumber);
    int GetNumUser() const { return NumeroUtente; }
    QString GetNomeUser() const { return NomeUtente; }

    QString CaricaParametro(const QString &name);
    void ScriviParametroOstrel(const QString &heading, const QString &name, const std::optional<QString> &value);
    void ScriviOstrel(int userNumber);

    void Inserisci(const QString &tipo, const QString &nome, const QString &numero, const QString &testo,
                   const QString &data, const QString &memo, const QString &livello1, const QString &livello2,
                   const QString &utente);
    QString GetV(const QString &key) const;
    bool SetV(const QString &key, const QString &text);
    QString GetM(const QString &key) const;
    bool SetM(const QString &key, const QString &text);
    const std::vector<MemTabXRow> &MemTabX() const { return m_memTabX; }

    // Opens the archive whose path GetV(key) gives on IBDatabase1.
    bool ConnettiDatabase1(const QString &key);
    bool ScritturaHandleDiApertura(qint64 windowId, qint64 windowHandle);

    db::Attachment &IBDatabase1() { return m_database1; }
    db::Transaction &IBTransaction1() { return *m_transaction1; }
    db::Attachment &IBDatabaseUser() { return m_databaseUser; }
    db::Transaction &TransazioneUser() { return *m_transazioneUser; }
    bool userDatabaseOpen() const { return m_databaseUser.isConnected(); }

    int NumeroUtente = 0;
    QString NomeUtente;
    QString Ditta;

private:
    void restartUserTransaction();
    db::Statement &query(const QStringList &lines);

    db::Attachment m_databaseUser;
    std::unique_ptr<db::Transaction> m_transazioneUser;
    db::Attachment m_database1;
    std::unique_ptr<db::Transaction> m_transaction1;
    std::unique_ptr<db::Statement> m_queryOstrel;
    std::vector<MemTabXRow> m_memTabX;
    int m_nextCodice = 1;
};

} // namespace vardof::params
