// The parameter store on a user database of its own in a temporary host folder.

#include "params/TTabXForm.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/FbFixture.h"

#include <QDir>
#include <QFileInfo>

using namespace vardof;

namespace {

class ParamStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::setHostDir(m_host.path());
    }
    void TearDown() override { platform::setHostDir(QString()); }

    // Plays the host: its own tables and a few users.
    void makeHostTables(params::TTabXForm &store)
    {
        db::Attachment &a = store.IBDatabaseUser();
        db::Transaction t(a);
        db::executeSql(a, t, QStringLiteral("CREATE TABLE UTENTI (CODICE INTEGER, NOMEUTENTE VARCHAR(30), DITTA VARCHAR(15), OSTREL BLOB SUB_TYPE 1)"));
        db::executeSql(a, t, QStringLiteral("CREATE TABLE TABOSTREL (UTENTE VARCHAR(10), INTESTAZIONE VARCHAR(30), PARAMETRO VARCHAR(60), VALORE VARCHAR(255), PROGRESSIVO INTEGER)"));
        db::executeSql(a, t, QStringLiteral("CREATE TABLE VELTALOGFUNZ (IDFINESTRA INTEGER, HANDLEFINESTRA VARCHAR(20))"));
        t.commit();
        db::executeSql(a, t, QStringLiteral("INSERT INTO UTENTI VALUES (12, 'Anna Neri', 'D01', NULL)"));
        db::executeSql(a, t, QStringLiteral("INSERT INTO UTENTI VALUES (13, 'Piero Gallo', 'D02', NULL)"));
        db::executeSql(a, t, QStringLiteral("INSERT INTO TABOSTREL VALUES ('13', 'D02', 'X', 'y', 7)"));
        db::executeSql(a, t, QStringLiteral("INSERT INTO VELTALOGFUNZ VALUES (5, NULL)"));
        t.commit();
    }
    QString ostrel(params::TTabXForm &store, int user)
    {
        db::Transaction t(store.IBDatabaseUser());
        return db::toText(db::queryValue(store.IBDatabaseUser(), t,
                                         QStringLiteral("SELECT OSTREL FROM UTENTI WHERE CODICE=%1").arg(user)));
    }

    test::TempDir m_host;
    platform::ScopedServices m_services;
};

TEST_F(ParamStore, firstRunCreatesUserDatabaseWithTabscript)
{
    params::TTabXForm store;
    EXPECT_TRUE(QFileInfo::exists(m_host.file(QStringLiteral("user/user.fdb"))));
    EXPECT_TRUE(store.userDatabaseOpen());
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Effettuata creazione data base")});
    db::Transaction t(store.IBDatabaseUser());
    EXPECT_EQ(db::queryValue(store.IBDatabaseUser(), t,
                             QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='TABSCRIPT'")),
              db::FieldValue(db::Value(qint64(1))));
    // Without the host's UTENTI, setting the user is a database error for the entry to catch.
    EXPECT_THROW(store.SetUserPerNum(1), db::Error);
}

TEST_F(ParamStore, userFolderThatCannotBeMadeIsReported)
{
    // A plain file where the folder should be.
    QFile blocker(m_host.file(QStringLiteral("user")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    params::TTabXForm store;
    EXPECT_FALSE(store.userDatabaseOpen());
    EXPECT_EQ(m_services.messages().texts().last(), QStringLiteral("Errore inizializzazione database utenti"));
    EXPECT_THROW(store.SetUserPerNum(1), db::Error);
}

TEST_F(ParamStore, userNameCompanyAndParameters)
{
    params::TTabXForm store;
    makeHostTables(store);
    store.SetUserPerNum(12);
    EXPECT_EQ(store.GetNomeUser(), QStringLiteral("Anna Neri"));
    EXPECT_EQ(store.Ditta, QStringLiteral("D01"));
    EXPECT_EQ(store.CaricaParametro(QStringLiteral("Archivio")), QString());

    store.ScriviParametroOstrel(QStringLiteral("D01"), QStringLiteral("A"), QStringLiteral("1"));
    store.ScriviParametroOstrel(QStringLiteral("D01"), QStringLiteral("B"), QStringLiteral("2"));
    store.ScriviParametroOstrel(QStringLiteral("D02"), QStringLiteral("C"), QStringLiteral("3"));
    EXPECT_EQ(ostrel(store, 12), QStringLiteral("[D01]\nA=1\nB=2\n[D02]\nC=3\n"));
    EXPECT_EQ(store.CaricaParametro(QStringLiteral("B")), QStringLiteral("2"));

    // Rewriting updates in place; a value with a quote is stored, not refused.
    store.ScriviParametroOstrel(QStringLiteral("D01"), QStringLiteral("B"), QStringLiteral("Dell'Orto"));
    EXPECT_EQ(store.CaricaParametro(QStringLiteral("B")), QStringLiteral("Dell'Orto"));
    store.ScriviParametroOstrel(QStringLiteral("D01"), QStringLiteral("P"), std::nullopt);
    EXPECT_EQ(ostrel(store, 12), QStringLiteral("[D01]\nA=1\nB=Dell'Orto\nP=\n[D02]\nC=3\n"));
    EXPECT_TRUE(m_services.messages().texts().filter(QStringLiteral("Errore")).isEmpty());
}

TEST_F(ParamStore, progressiveNumberFollowsTheUsersHighest)
{
    params::TTabXForm store;
    makeHostTables(store);
    store.SetUserPerNum(13);
    store.ScriviParametroOstrel(store.Ditta, QStringLiteral("P"), QStringLiteral("v"));
    db::Transaction t(store.IBDatabaseUser());
    EXPECT_EQ(db::queryValue(store.IBDatabaseUser(), t,
                             QStringLiteral("SELECT PROGRESSIVO FROM TABOSTREL WHERE UTENTE='13' AND PARAMETRO='P'")),
              db::FieldValue(db::Value(qint64(8))));
    t.rollback();
    store.NumeroUtente = 12;
    store.ScriviParametroOstrel(store.Ditta, QStringLiteral("P"), QStringLiteral("v"));
    EXPECT_EQ(db::queryValue(store.IBDatabaseUser(), t,
                             QStringLiteral("SELECT PROGRESSIVO FROM TABOSTREL WHERE UTENTE='12' AND PARAMETRO='P'")),
              db::FieldValue(db::Value(qint64(1))));
}

TEST_F(ParamStore, unknownUserHasEmptyNameAndCompany)
{
    params::TTabXForm store;
    makeHostTables(store);
    store.SetUserPerNum(99);
    EXPECT_TRUE(store.GetNomeUser().isEmpty());
    EXPECT_TRUE(store.Ditta.isEmpty());
    EXPECT_TRUE(store.CaricaParametro(QStringLiteral("Archivio")).isEmpty());
}

TEST_F(ParamStore, handleLogWritesTheRowAndIgnoresAMissingOne)
{
    params::TTabXForm store;
    makeHostTables(store);
    EXPECT_TRUE(store.ScritturaHandleDiApertura(5, 123456));
    EXPECT_TRUE(store.ScritturaHandleDiApertura(77, 1));
    db::Transaction t(store.IBDatabaseUser());
    EXPECT_EQ(db::queryValue(store.IBDatabaseUser(), t, QStringLiteral("SELECT HANDLEFINESTRA FROM VELTALOGFUNZ")),
              db::FieldValue(db::Value(QStringLiteral("123456"))));
}

TEST_F(ParamStore, memTabX)
{
    params::TTabXForm store;
    store.Inserisci(QStringLiteral("QMT"), QStringLiteral("Archivio"), QString(), QStringLiteral("C:\\DATI\\archivio.fdb"),
                    QString(), QString(), QString(), QString(), QStringLiteral("12"));
    EXPECT_EQ(store.GetV(QStringLiteral("Archivio")), QStringLiteral("C:\\DATI\\archivio.fdb"));
    EXPECT_EQ(store.GetV(QStringLiteral("archivio")), QString());
    store.Inserisci(QStringLiteral("QMT"), QStringLiteral("Archivio"), QStringLiteral("4"), QStringLiteral("D:\\b.fdb"),
                    QStringLiteral("05/01/2024"), QStringLiteral("memo"), QString(), QString(), QStringLiteral("12"));
    ASSERT_EQ(store.MemTabX().size(), 1u);
    EXPECT_EQ(store.MemTabX()[0].Testo, QStringLiteral("D:\\b.fdb"));
    EXPECT_EQ(store.MemTabX()[0].Numero, 4);
    EXPECT_EQ(store.MemTabX()[0].Data, QDate(2024, 1, 5));
    EXPECT_EQ(store.GetM(QStringLiteral("Archivio")), QStringLiteral("memo"));
    store.Inserisci(QStringLiteral("OSL"), QStringLiteral("Archivio"), QString(), QStringLiteral("x"), QString(),
                    QString(), QString(), QString(), QStringLiteral("12"));
    EXPECT_EQ(store.MemTabX().size(), 2u);
    EXPECT_EQ(store.MemTabX()[1].Codice, 2);
    EXPECT_TRUE(store.SetV(QStringLiteral("Archivio"), QStringLiteral("nuovo")));
    EXPECT_EQ(store.GetV(QStringLiteral("Archivio")), QStringLiteral("nuovo"));
    EXPECT_FALSE(store.SetV(QStringLiteral("Nessuno"), QStringLiteral("x")));
    EXPECT_FALSE(store.SetM(QStringLiteral("Nessuno"), QStringLiteral("x")));
}

} // namespace
