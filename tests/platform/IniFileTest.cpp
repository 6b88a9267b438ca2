#include "platform/HostPaths.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

class IniFileTest : public testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("prova.ini")) const
    {
        return m_dir.path() + u'/' + name;
    }
    void put(const QByteArray &bytes, const QString &name = QStringLiteral("prova.ini")) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes(const QString &name = QStringLiteral("prova.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndIsNotCreated)
{
    const IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("k"), 7), 7);
    EXPECT_TRUE(ini.readBool(QStringLiteral("S"), QStringLiteral("k"), true));
    EXPECT_FALSE(ini.sectionExists(QStringLiteral("S")));
    EXPECT_TRUE(ini.readSection(QStringLiteral("S")).isEmpty());
    EXPECT_TRUE(ini.readSections().isEmpty());
    IniFile writable(path());
    EXPECT_TRUE(writable.deleteKey(QStringLiteral("S"), QStringLiteral("k")));
    EXPECT_TRUE(writable.eraseSection(QStringLiteral("S")));
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(IniFileTest, SectionAndKeyNamesIgnoreCase)
{
    put("[Connessione]\r\nDatabase=C:\\dati\\ditta.fdb\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("CONNESSIONE"), QStringLiteral("database")),
              QStringLiteral("C:\\dati\\ditta.fdb"));
    EXPECT_TRUE(ini.sectionExists(QStringLiteral("connessione")));
    EXPECT_TRUE(ini.valueExists(QStringLiteral("connessione"), QStringLiteral("DATABASE")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("connessione"), QStringLiteral("Utente")));
}

struct ValueCase
{
    const char *line;
    const char *expected; // nullptr: the key is not found
};

void PrintTo(const ValueCase &c, std::ostream *os)
{
    *os << '"' << c.line << '"';
}

class IniValueTest : public IniFileTest, public testing::WithParamInterface<ValueCase>
{};

TEST_P(IniValueTest, ReadsLikeWindows)
{
    put(QByteArray("[S]\r\n") + GetParam().line + "\r\n");
    const QString got = IniFile(path()).readString(QStringLiteral("S"), QStringLiteral("k"),
                                                   QStringLiteral("<default>"));
    EXPECT_EQ(got, GetParam().expected ? QString::fromUtf8(GetParam().expected)
                                       : QStringLiteral("<default>"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniValueTest,
    testing::Values(ValueCase{"k=v", "v"},
                    ValueCase{"k=  v w  ", "v w"},
                    ValueCase{"  k  =  v", "v"},
                    ValueCase{"k=\"  v \"", "  v "},
                    ValueCase{"k='x'", "x"},
                    ValueCase{"k=\"x", "\"x"},
                    ValueCase{"k=\"x'", "\"x'"},
                    ValueCase{"k=\"\"", ""},
                    ValueCase{"k=\"", "\""},
                    ValueCase{"k==v", "=v"},
                    ValueCase{"k=a=b", "a=b"},
                    ValueCase{"k=", ""},
                    ValueCase{"k=\t", ""},
                    ValueCase{";k=v", nullptr},
                    ValueCase{"k", nullptr},
                    ValueCase{"kk=v", nullptr}));

TEST_F(IniFileTest, AcceptsLfAloneAndNoFinalLineEnd)
{
    put("[A]\nx=1\n[B]\ny=2");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("A"), QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("y")), QStringLiteral("2"));
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWin)
{
    put("k=fuori\r\n[S]\r\nk=primo\r\nk=secondo\r\n[Altro]\r\nk=altro\r\n[s]\r\nk=ripetuto\r\nz=1\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("primo"));
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("z"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(ini.readSection(QStringLiteral("S")), QStringList{QStringLiteral("k")});
    EXPECT_EQ(ini.readSections(), (QStringList{QStringLiteral("S"), QStringLiteral("Altro")}));
}

TEST_F(IniFileTest, SectionHeadersToleratesBlanks)
{
    put("  [ Spazi ]  \r\nk=v\r\n[Aperta\r\nj=w\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("Spazi"), QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_EQ(ini.readString(QStringLiteral("Aperta"), QStringLiteral("j")), QStringLiteral("w"));
}

TEST_F(IniFileTest, ReadSectionListsKeysAndValuesInFileOrder)
{
    put("[Colonne]\r\n; commento\r\nZeta=1\r\nalfa = \"due\"\r\n\r\nMedio=3\r\n[Dopo]\r\nx=9\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readSection(QStringLiteral("colonne")),
              (QStringList{QStringLiteral("Zeta"), QStringLiteral("alfa"), QStringLiteral("Medio")}));
    const QList<QPair<QString, QString>> expected{{QStringLiteral("Zeta"), QStringLiteral("1")},
                                                  {QStringLiteral("alfa"), QStringLiteral("due")},
                                                  {QStringLiteral("Medio"), QStringLiteral("3")}};
    EXPECT_EQ(ini.readSectionValues(QStringLiteral("COLONNE")), expected);
}

TEST_F(IniFileTest, WriteCreatesFileAndSectionWithCrLf)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString(QStringLiteral("Stampa"), QStringLiteral("Copie"), QStringLiteral("2")));
    EXPECT_EQ(bytes(), QByteArray("[Stampa]\r\nCopie=2\r\n"));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Finestra"), QStringLiteral("Alto"), QStringLiteral("10")));
    EXPECT_EQ(bytes(), QByteArray("[Stampa]\r\nCopie=2\r\n[Finestra]\r\nAlto=10\r\n"));
}

TEST_F(IniFileTest, WritePreservesOtherLinesCommentsAndOrder)
{
    put("; configurazione\n[A]\nuno=1\n; nota su due\nDue = 2\n\n[B]\ntre=3\n");
    IniFile ini(path());

    ASSERT_TRUE(ini.writeString(QStringLiteral("a"), QStringLiteral("DUE"), QStringLiteral("22")));
    EXPECT_EQ(bytes(),
              QByteArray("; configurazione\r\n[A]\r\nuno=1\r\n; nota su due\r\nDue=22\r\n\r\n"
                         "[B]\r\ntre=3\r\n"));

    // A new key goes after the section's last entry, before the blank line.
    ASSERT_TRUE(ini.writeString(QStringLiteral("A"), QStringLiteral("quattro"), QStringLiteral("4")));
    EXPECT_EQ(bytes(),
              QByteArray("; configurazione\r\n[A]\r\nuno=1\r\n; nota su due\r\nDue=22\r\n"
                         "quattro=4\r\n\r\n[B]\r\ntre=3\r\n"));

    ASSERT_TRUE(ini.writeString(QStringLiteral("B"), QStringLiteral("cinque"), QStringLiteral("5")));
    EXPECT_TRUE(bytes().endsWith("[B]\r\ntre=3\r\ncinque=5\r\n"));
}

TEST_F(IniFileTest, WriteIntoEmptySectionGoesRightAfterTheHeader)
{
    put("[Vuota]\r\n\r\n[Dopo]\r\nx=1\r\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString(QStringLiteral("vuota"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(bytes(), QByteArray("[Vuota]\r\nk=v\r\n\r\n[Dopo]\r\nx=1\r\n"));
}

TEST_F(IniFileTest, TextIsCp1252OnDisk)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString(QStringLiteral("Città"), QStringLiteral("Valuta"),
                                QString::fromUtf16(u"€ perché")));
    EXPECT_EQ(bytes(), QByteArray("[Citt\xE0]\r\nValuta=\x80 perch\xE9\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("CITTÀ"), QStringLiteral("valuta")),
              QString::fromUtf16(u"€ perché"));
}

TEST_F(IniFileTest, ReadsCp1252BytesWrittenByOthers)
{
    put("[Ditta]\r\nNome=Caff\xE8 \x93Il Moro\x94\r\n");
    EXPECT_EQ(IniFile(path()).readString(QStringLiteral("Ditta"), QStringLiteral("Nome")),
              QString::fromUtf16(u"Caffè “Il Moro”"));
}

TEST_F(IniFileTest, LineBreaksInAValueDoNotSplitTheEntry)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\r\nb=c")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("S"), QStringLiteral("j"), QStringLiteral("1")));
    EXPECT_EQ(ini.readSection(QStringLiteral("S")), (QStringList{QStringLiteral("k"), QStringLiteral("j")}));
}

TEST_F(IniFileTest, EraseSectionRemovesItsLinesOnly)
{
    put("[A]\r\nx=1\r\n; di A\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.eraseSection(QStringLiteral("a")));
    EXPECT_EQ(bytes(), QByteArray("[B]\r\ny=2\r\n"));
    EXPECT_FALSE(ini.sectionExists(QStringLiteral("A")));
}

TEST_F(IniFileTest, DeleteKeyRemovesTheEntryAndKeepsTheRest)
{
    put("[A]\r\nx=1\r\ny=2\r\nX=3\r\n[B]\r\nx=4\r\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.deleteKey(QStringLiteral("A"), QStringLiteral("x")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\ny=2\r\n[B]\r\nx=4\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("x")), QStringLiteral("4"));
    // Nothing to delete: the file is not rewritten.
    put("[A]\ny=2\n");
    ASSERT_TRUE(ini.deleteKey(QStringLiteral("A"), QStringLiteral("manca")));
    EXPECT_EQ(bytes(), QByteArray("[A]\ny=2\n"));
}

struct NumberCase
{
    const char *value;
    int integer;      // readInteger with default -1
    bool boolean;     // readBool with default true
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << '"' << c.value << '"';
}

class IniNumberTest : public IniFileTest, public testing::WithParamInterface<NumberCase>
{};

TEST_P(IniNumberTest, IntegerAndBoolReadings)
{
    put(QByteArray("[S]\r\nk=") + GetParam().value + "\r\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("k"), -1), GetParam().integer);
    EXPECT_EQ(ini.readBool(QStringLiteral("S"), QStringLiteral("k"), true), GetParam().boolean);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniNumberTest,
    testing::Values(NumberCase{"12", 12, true},
                    NumberCase{" 12 ", 12, true},
                    NumberCase{"-3", -3, true},
                    NumberCase{"$10", 16, true},
                    NumberCase{"0", 0, false},
                    NumberCase{"1", 1, true},
                    NumberCase{"abc", -1, true},
                    NumberCase{"", -1, true},
                    NumberCase{"1.5", -1, true},
                    NumberCase{"12abc", -1, true},
                    NumberCase{"true", -1, true},
                    NumberCase{"false", -1, true}));

TEST_F(IniFileTest, TypedWritesReadBack)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("S"), QStringLiteral("i"), -42));
    ASSERT_TRUE(ini.writeBool(QStringLiteral("S"), QStringLiteral("b"), false));
    ASSERT_TRUE(ini.writeFloat(QStringLiteral("S"), QStringLiteral("f"), 12.5));
    EXPECT_EQ(bytes(), QByteArray("[S]\r\ni=-42\r\nb=0\r\nf=12,5\r\n"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("i"), 0), -42);
    EXPECT_FALSE(ini.readBool(QStringLiteral("S"), QStringLiteral("b"), true));
    EXPECT_DOUBLE_EQ(ini.readFloat(QStringLiteral("S"), QStringLiteral("f"), 0), 12.5);
    put("[S]\r\nf=3.25\r\n");
    EXPECT_DOUBLE_EQ(ini.readFloat(QStringLiteral("S"), QStringLiteral("f"), 0), 3.25);
}

TEST_F(IniFileTest, WriteFailsWhenTheFolderDoesNotExist)
{
    IniFile ini(m_dir.path() + QStringLiteral("/manca/prova.ini"));
    EXPECT_FALSE(ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
}

TEST_F(IniFileTest, BareNameLivesInTheWindowsFolder)
{
    setWindowsDir(m_dir.path());
    IniFile ini(QStringLiteral("VARDOF.INI"));
    setWindowsDir({});
    EXPECT_EQ(QFileInfo(ini.path()).absoluteFilePath(),
              QFileInfo(path(QStringLiteral("VARDOF.INI"))).absoluteFilePath());
    ASSERT_TRUE(ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("VARDOF.INI"))));
}

#ifndef Q_OS_WIN
TEST_F(IniFileTest, PathWithBackslashesWorks)
{
    put("[S]\r\nk=v\r\n");
    QString stored = path();
    stored.replace(u'/', u'\\');
    EXPECT_EQ(IniFile(stored).readString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("v"));
}
#endif

} // namespace
