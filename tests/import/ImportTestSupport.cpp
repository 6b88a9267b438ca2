#include "ImportTestSupport.h"

#include "db/Statement.h"
#include "core/Cp1252.h"

#include <QFile>

namespace vardof::importcsv::test {

void scriviByte(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void scriviFile(const QString &path, const QStringList &righe)
{
    QByteArray b;
    for (const QString &r : righe)
        b += core::toCp1252(r) + "\r\n";
    scriviByte(path, b);
}

QStringList senzaOra(const QStringList &righe)
{
    static const QRegularExpression ora(QStringLiteral("^- \\d\\d:\\d\\d:\\d\\d: "));
    QStringList r;
    for (QString s : righe)
        r << s.replace(ora, QStringLiteral("- {ora}: "));
    return r;
}

QString conControlli(const char *testo)
{
    static const QRegularExpression codice(QStringLiteral("\\{([0-9A-F]{2})\\}"));
    QString s = QString::fromUtf8(testo);
    QString r;
    qsizetype da = 0;
    for (QRegularExpressionMatchIterator it = codice.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        r += s.mid(da, m.capturedStart() - da);
        r += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        da = m.capturedEnd();
    }
    return r + s.mid(da);
}

void RecordingSink::line(const QString &testo)
{
    righe << testo;
    if (!m_dopo.isEmpty() && m_contati < 0 && testo.endsWith(m_dopo))
        m_contati = 0;
    if (suRiga)
        suRiga(testo);
}

bool RecordingSink::interruptRequested()
{
    if (m_contati < 0)
        return false;
    if (++m_contati == m_n) {
        m_dopo.clear();
        m_contati = -1;
        return true;
    }
    return false;
}

void RecordingSink::interrompiDopo(const QString &dopo, int n)
{
    m_dopo = dopo;
    m_n = n;
    m_contati = -1;
}

bool RecordingSink::risposta()
{
    if (risposte.empty())
        return true;
    const bool r = risposte.front();
    risposte.pop_front();
    return r;
}

platform::Answer RecordingSink::ask(platform::MessageKind kind, const QString &testo, platform::Buttons buttons)
{
    if (buttons == platform::Buttons::YesNo) {
        messaggi << (kind == platform::Warning ? QStringLiteral("domanda: ") : QStringLiteral("conferma: ")) + testo;
        return risposta() ? platform::Answer::Yes : platform::Answer::No;
    }
    switch (kind) {
    case platform::Warning:
        messaggi << QStringLiteral("avviso: ") + testo;
        break;
    case platform::Error:
        messaggi << QStringLiteral("errore: ") + testo;
        break;
    default:
        messaggi << QStringLiteral("informazione: ") + testo;
        break;
    }
    return platform::Answer::Ok;
}

void ImportFixture::SetUp()
{
    FbFixture::SetUp();
    exec(QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60),"
                        " UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), ALIQUOTAIVA NUMERIC(5,2),"
                        " GIACENZA NUMERIC(15,3), DATAULTIMOCARICO DATE, NOTE BLOB SUB_TYPE 1)"));
    exec(QStringLiteral("CREATE TABLE LISTINO (ID INTEGER NOT NULL PRIMARY KEY, CODICE VARCHAR(10),"
                        " PREZZO NUMERIC(15,2), INFO3 VARCHAR(30), QTA INTEGER)"));
    exec(QStringLiteral("CREATE UNIQUE INDEX LISTINO_CODICE ON LISTINO (CODICE)"));
    exec(QStringLiteral("CREATE GENERATOR CONTATOREIDLISTINO"));
    exec(QStringLiteral("CREATE TABLE CHIAVECHAR (CODICE CHAR(5) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(20))"));
    exec(QStringLiteral("CREATE TABLE MOVIMENTI (NUMERO INTEGER, CAUSALE VARCHAR(10), IMPORTO NUMERIC(9,2), ORA TIME,"
                        " MOMENTO TIMESTAMP, GRANDE BIGINT)"));
}

CaricamentoScript ImportFixture::carica(const QStringList &script, const QStringList &dati, const QString &nome)
{
    scriviFile(file(nome), dati);
    scriviFile(percorsoScript(file(nome)), script);
    CaricamentoScript c;
    ScriptLoader(att(), tra()).carica(percorsoScript(file(nome)), c);
    return c;
}

EsitoImport ImportFixture::esegui(const CaricamentoScript &c, bool saltaPrimaRiga, const QString &nome)
{
    ImportRun run(att(), tra(), c.parametri, c.colonne, c.chiavi);
    const EsitoImport e = run.esegui(file(nome), saltaPrimaRiga, sink, OpzioniImport(), &sink);
    contatori = run.contatori();
    return e;
}

QStringList ImportFixture::righe(const QString &sql)
{
    db::Transaction t(att());
    db::Statement st(att(), t, sql, db::ParamStyle::AsWritten);
    QStringList out;
    db::ResultSet rs = st.open();
    while (rs.next()) {
        QStringList v;
        for (int i = 0; i < rs.columnCount(); ++i)
            v << (rs.isNull(i) ? QStringLiteral("<null>") : rs.text(i));
        out << v.join(u'|');
    }
    return out;
}

} // namespace vardof::importcsv::test
