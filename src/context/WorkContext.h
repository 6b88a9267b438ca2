#pragma once

// The work context of one entry call: the user's archive connection with its
// default transaction, the project name (company code) and the directories.
// Built by CreaContestoLavoro (Context.h) or from the settings file; owned by
// the entry, lent to the one tool window, released when the window closes
// (which closes the connection). Windows use the connection and transaction
// and never release them.

#include "db/Attachment.h"
#include "db/Transaction.h"

#include <QString>

#include <memory>

namespace vardof::context {

class TTabForm
{
public:
    // Plain creation: the start directory (ends with a separator), no file read.
    explicit TTabForm(const QString &directoryAvvio);
    // Creation from the settings: plain creation, then LetturaNomeProgetto and,
    // when the project name was read, SettaLavoroDir.
    static std::unique_ptr<TTabForm> fromSettings(const QString &directoryAvvio);
    ~TTabForm();

    TTabForm(const TTabForm &) = delete;
    TTabForm &operator=(const TTabForm &) = delete;

    db::Attachment &database() { return m_database; }
    db::Transaction &transaction() { return *m_transaction; }
    bool isConnected() const { return m_database.isConnected(); }

    void SettaArchivio(const QString &value) { Archivio = value; }
    void SettaNomeProgetto(const QString &value) { NomeProgetto = value; }
    void SettaDirectoryLavoro(const QString &value) { DirectoryLavoro = value; }
    void SettaDirectoryBin(const QString &value) { DirectoryBin = value; }
    void SettaDirectoryTemp(const QString &value) { DirectoryTemp = value; }

    void LetturaNomeProgetto();
    void SettaLavoroDir();
    // Opens (or creates) the database named by Archivio; on failure shows
    // "Errore apertura archivio" and stays disconnected.
    void ConnettiDatabase();

    // ostrel.ini: in ini_log_err next to the host executable when that folder
    // exists, otherwise in the Windows folder.
    QString settingsFile() const { return m_settingsFile; }
    static QString PercorsoFileImpostazioni();

    QString NomeProgetto;
    QString Archivio;
    QString DirectoryLavoro;
    QString DirectoryBin;
    QString DirectoryTemp;
    QString DirectoryDitta;
    QString DirectoryAvvio;
    int CodiceProgetto = 526;
    int SituazioneClass1 = 1;
    int SituazioneClass2 = 2;
    int SituazioneStorico = 3;

private:
    void InizializzaSituazioni();

    db::Attachment m_database;
    std::unique_ptr<db::Transaction> m_transaction;
    QString m_settingsFile;
};

// The administrator login every connection of the library uses. The password
// is the product's default unless VARDOF_DB_PASSWORD gives another.
QString adminPassword();
QStringList adminLoginParams();
QStringList creationParams();

} // namespace vardof::context
