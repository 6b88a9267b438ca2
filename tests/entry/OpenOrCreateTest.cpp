// The names the connection procedure tries, read from dati.ini, and what the
// user is told along the way. The attempts are recorded instead of made.

#include "context/OpenOrCreate.h"

#include "platform/IniFile.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vardof;

namespace {

class RecordingAttempts : public context::ConnectionAttempts
{
public:
    QStringList tried;     // "connect NAME" / "create NAME"
    QStringList accepted;  // names that connect
    bool connect(db::Attachment &, const QString &name, const QStringList &params) override
    {
        tried << QStringLiteral("connect ") + name;
        EXPECT_TRUE(params.contains(QStringLiteral("user_name=SYSDBA")));
        return accepted.contains(name);
    }
    bool create(db::Attachment &, const QString &name, const QStringList &params) override
    {
        tried << QStringLiteral("create ") + name;
        EXPECT_TRUE(params.contains(QStringLiteral("USER \"SYSDBA\"")));
        EXPECT_TRUE(params.contains(QStringLiteral("PAGE_SIZE 4096")));
        return false;
    }
};

struct Case
{
    const char *label;
    const char *directory;  // "%D" stands for the temp folder holding dati.ini
    const char *datiIni;    // key=value lines of [CONFIG], '|' separated
    const char *accepted;   // name that connects, or ""
    std::optional<std::pair<const char *, const char *>> typed; // the server dialog's answer
    const char *tried;      // expected attempts, '|' separated
    const char *messages;   // expected message texts, '|' separated
    bool result;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.label; }

class NamesTried : public ::testing::TestWithParam<Case>
{
};

// %D is the temp folder, %E the same with its first character replaced by
// the drive letter E (what a typed drive letter does to the name).
QString expand(const char *text, const QString &dir)
{
    QString e = dir;
    e.replace(0, 1, QLatin1Char('E'));
    return QString::fromUtf8(text).replace(QStringLiteral("%D"), dir).replace(QStringLiteral("%E"), e);
}

TEST_P(NamesTried, followDatiIni)
{
    const Case &c = GetParam();
    test::TempDir tmp;
    const QString dir = tmp.path() + QLatin1Char('/');
    platform::ScopedServices services;
    platform::IniFile ini(dir + QStringLiteral("dati.ini"));
    for (const QString &line : QString::fromUtf8(c.datiIni).split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const auto kv = line.split(QLatin1Char('='));
        ini.writeString(QStringLiteral("CONFIG"), kv[0], kv[1]);
    }
    RecordingAttempts attempts;
    if (*c.accepted)
        attempts.accepted << expand(c.accepted, dir);
    context::setConnectionAttempts(&attempts);
    int prompts = 0;
    context::setServerDiskPrompt([&](const QString &caption, const QString &label)
                                   -> std::optional<std::pair<QString, QString>> {
        ++prompts;
        EXPECT_EQ(caption, QStringLiteral("Non trovato dati.ini"));
        EXPECT_TRUE(label.startsWith(QStringLiteral("Inserire il nome del computer")));
        if (!c.typed)
            return std::nullopt;
        return std::make_pair(QString::fromUtf8(c.typed->first), QString::fromUtf8(c.typed->second));
    });

    db::Attachment connection;
    const bool result = context::ApriOCreaDatabase(connection, expand(c.directory, dir), QStringLiteral("archivio.fdb"));
    context::setConnectionAttempts(nullptr);
    context::setServerDiskPrompt({});

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(attempts.tried.join(QLatin1Char('|')), expand(c.tried, dir));
    EXPECT_EQ(services.messages().texts().join(QLatin1Char('|')), expand(c.messages, dir));
    if (c.typed && *c.typed->first) {
        EXPECT_EQ(ini.readString(QStringLiteral("CONFIG"), QStringLiteral("Nome Server")), QString::fromUtf8(c.typed->first));
        EXPECT_EQ(ini.readString(QStringLiteral("CONFIG"), QStringLiteral("Lettera Disco Server")), QString::fromUtf8(c.typed->second));
    }
}

const char *kAskServer = "Non trovato dati.ini";
const char *kShareWarning =
    "Attenzione: il disco con gli archivi è stato condiviso in rete con un nome - DATI - e non con la lettera che lo "
    "identifica. Si consiglia di correggere la condivisione oppure di correggere manualmente la sezione Percorso Nel "
    "Server nel file Dati.ini accanto al database";

INSTANTIATE_TEST_SUITE_P(
    Cases, NamesTried,
    ::testing::Values(
        Case{"local path, connects", "%D", "", "%Darchivio.fdb", std::nullopt, "connect %Darchivio.fdb", "", true},
        Case{"local path, nothing works, dialog cancelled", "%D", "", "", std::nullopt,
             "connect %Darchivio.fdb|create %Darchivio.fdb",
             "Non trovato dati.ini|Apertura / creazione del database non riuscita!", false},
        Case{"server and alias first", "%D", "Nome Server=SRV|Alias=ARCH", "SRV:ARCH", std::nullopt,
             "connect SRV:ARCH", "", true},
        Case{"alias fails, directory next, no dialog since the server is known", "%D",
             "Nome Server=SRV|Alias=ARCH", "", std::nullopt,
             "connect SRV:ARCH|create SRV:ARCH|connect %Darchivio.fdb|create %Darchivio.fdb|"
             "connect SRV:%Darchivio.fdb|create SRV:%Darchivio.fdb",
             "", false},
        Case{"PercorsoDatabase gives a named-pipe name, tried once", "%D",
             "Nome Server=SRV|PercorsoDatabase=D:\\ARCHIVI", "", std::nullopt,
             "connect \\\\SRV\\D:\\ARCHIVI\\archivio.fdb|create \\\\SRV\\D:\\ARCHIVI\\archivio.fdb", "", false},
        Case{"disk shared by its letter", "\\\\SRV\\C\\DATI\\", "", "SRV:C:\\DATI\\archivio.fdb", std::nullopt,
             "connect SRV:C:\\DATI\\archivio.fdb", "", true},
        Case{"typed server and drive letter", "%D", "", "", std::make_pair("SRV", "E"),
             "connect %Darchivio.fdb|create %Darchivio.fdb|connect SRV:%Earchivio.fdb|create SRV:%Earchivio.fdb",
             kAskServer, false},
        Case{"typed server without letter", "%D", "", "SRV:%Darchivio.fdb", std::make_pair("SRV", ""),
             "connect %Darchivio.fdb|create %Darchivio.fdb|connect SRV:%Darchivio.fdb", kAskServer, true}));

TEST(ChiediServerEDisco, windowsDriveLetterReplacesTheFirstCharacter)
{
    platform::ScopedServices services;
    RecordingAttempts attempts;
    context::setConnectionAttempts(&attempts);
    db::Attachment c;
    context::ConnettiOCrea(c, QStringLiteral("C:\\DATI\\archivio.fdb"), QStringLiteral("SRV"), QStringLiteral("E"));
    context::setConnectionAttempts(nullptr);
    EXPECT_EQ(attempts.tried.first(), QStringLiteral("connect SRV:E:\\DATI\\archivio.fdb"));
}

TEST(ConvertiPercorsoRete, shareNamedByAWord)
{
    platform::ScopedServices services;
    const auto withKey = context::ConvertiPercorsoRete(QStringLiteral("\\\\SRV\\DATI\\"), QStringLiteral("E:\\ARCHIVI\\"));
    EXPECT_EQ(withKey.name, QStringLiteral("SRV:E:\\ARCHIVI\\"));
    EXPECT_TRUE(withKey.byWord);
    EXPECT_FALSE(withKey.errorShown);
    const auto without = context::ConvertiPercorsoRete(QStringLiteral("\\\\SRV\\DATI\\"), QString());
    EXPECT_TRUE(without.errorShown);
    EXPECT_EQ(services.messages().texts(), QStringList{QString::fromUtf8(kShareWarning)});
    const auto slashes = context::ConvertiPercorsoRete(QStringLiteral("//SRV/C/DATI/"), QString());
    EXPECT_EQ(slashes.name, QStringLiteral("SRV:C:/DATI/"));
}

TEST(ApriOCreaDatabase, shareByWordWithoutKeyTriesNothing)
{
    platform::ScopedServices services;
    RecordingAttempts attempts;
    context::setConnectionAttempts(&attempts);
    db::Attachment c;
    EXPECT_FALSE(context::ApriOCreaDatabase(c, QStringLiteral("\\\\SRV\\DATI\\"), QString()));
    context::setConnectionAttempts(nullptr);
    EXPECT_TRUE(attempts.tried.isEmpty());
    EXPECT_EQ(services.messages().texts(), QStringList{QString::fromUtf8(kShareWarning)});
}

TEST(ApriOCreaDatabase, createsAnEmptyDatabaseWhenNoneExists)
{
    platform::ScopedServices services;
    test::TempDir tmp;
    db::Attachment c;
    ASSERT_TRUE(context::ApriOCreaDatabase(c, tmp.path() + QLatin1Char('/'), QStringLiteral("nuovo.fdb")));
    EXPECT_TRUE(c.isConnected());
    EXPECT_EQ(services.messages().texts(), QStringList{QStringLiteral("Effettuata creazione data base")});
    c.disconnect();
    // The second time it is opened, not created again.
    services.messages().clear();
    ASSERT_TRUE(context::ApriOCreaDatabase(c, tmp.path() + QLatin1Char('/'), QStringLiteral("nuovo.fdb")));
    EXPECT_TRUE(services.messages().texts().isEmpty());
    c.dropDatabase();
}

} // namespace
