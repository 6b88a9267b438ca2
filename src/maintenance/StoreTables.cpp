#include "maintenance/StoreTables.h"

#include "db/Statement.h"
#include "maintenance/SqlText.h"

namespace vardof::maintenance {

QStringList creaStoAggFdbFdb()
{
    return {QStringLiteral("CREATE TABLE STOAGGFDBFDB("), QStringLiteral("CODICE INTEGER NOT NULL,"),
            QStringLiteral("TITOLO VARCHAR(40),"), QStringLiteral("NOMETABELLAFDB1 VARCHAR(31),"),
            QStringLiteral("ARCHIVIOTABELLAFDB2 VARCHAR(128),"), QStringLiteral("NOMETABELLAFDB2 VARCHAR(31),"),
            QStringLiteral("NOTE BLOB,"), QStringLiteral("SCRIPT BLOB,"),
            QStringLiteral("CONSTRAINT STOAGGFDBFDB_PK PRIMARY KEY(CODICE))")};
}

QStringList creaStoAggSincroDbFast()
{
    return {QStringLiteral("CREATE TABLE STOAGGSINCRODBFAST("), QStringLiteral("CODICE INTEGER NOT NULL,"),
            QStringLiteral("TITOLO VARCHAR(40),"), QStringLiteral("DBORIGINE VARCHAR(128),"),
            QStringLiteral("TABELLAORIGINE VARCHAR(31),"), QStringLiteral("DBDESTINAZIONE VARCHAR(128),"),
            QStringLiteral("TABELLADESTINAZIONE VARCHAR(31),"), QStringLiteral("NOTE BLOB SUB_TYPE TEXT,"),
            QStringLiteral("TIPOELABORAZIONE VARCHAR(50),"), QStringLiteral("ELABORAZIONEABILITATA INTEGER,"),
            QStringLiteral("CONSTRAINT STOAGGSINCRODBFAST_PK PRIMARY KEY(CODICE)"), QStringLiteral(")")};
}

bool esisteTabella(db::Attachment &att, db::Transaction &tra, const QString &table)
{
    db::Statement s(att, tra,
                    QStringLiteral("SELECT\n  RDB$RELATION_NAME\nFROM\n  RDB$RELATIONS\nWHERE\n  RDB$RELATION_NAME=")
                        + sqlQuote(table),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    return rs.next();
}

void assicuraStoAggFdbFdb(db::Attachment &att, db::Transaction &tra)
{
    if (esisteTabella(att, tra, QStringLiteral("STOAGGFDBFDB")))
        return;
    db::executeSql(att, tra, creaStoAggFdbFdb().join(QLatin1Char('\n')));
    tra.commitRetaining();
}

void assicuraStoAggSincroDbFast(db::Attachment &att, db::Transaction &tra)
{
    if (esisteTabella(att, tra, QStringLiteral("STOAGGSINCRODBFAST")))
        return;
    db::executeSql(att, tra, creaStoAggSincroDbFast().join(QLatin1Char('\n')));
    tra.commitRetaining();
}

int prossimoCodice(db::Attachment &att, db::Transaction &tra, const QString &table)
{
    const db::FieldValue v = db::queryValue(att, tra, QStringLiteral("SELECT\n  MAX(CODICE) AS VALORE\nFROM\n  ") + table);
    const qint64 max = v ? db::toInt64(*v).value_or(0) : 0;
    return int(max) + 1;
}

namespace {

ScriptFDB scriptFrom(const db::ResultSet &rs)
{
    ScriptFDB s;
    s.codice = int(rs.toInt64(rs.indexOf(QStringLiteral("CODICE"))).value_or(0));
    s.titolo = rs.text(QStringLiteral("TITOLO"));
    s.tabellaOrigine = rs.text(QStringLiteral("NOMETABELLAFDB1")).trimmed();
    s.archivioDestinazione = rs.text(QStringLiteral("ARCHIVIOTABELLAFDB2")).trimmed();
    s.tabellaDestinazione = rs.text(QStringLiteral("NOMETABELLAFDB2")).trimmed();
    s.note = rs.text(QStringLiteral("NOTE"));
    s.script = rs.text(QStringLiteral("SCRIPT"));
    return s;
}

} // namespace

std::vector<ScriptFDB> leggiScript(db::Attachment &att, db::Transaction &tra)
{
    db::Statement s(att, tra, QStringLiteral("SELECT * FROM STOAGGFDBFDB ORDER BY CODICE"), db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    std::vector<ScriptFDB> out;
    while (rs.next())
        out.push_back(scriptFrom(rs));
    return out;
}

std::optional<ScriptFDB> leggiScript(db::Attachment &att, db::Transaction &tra, int codice)
{
    db::Statement s(att, tra, QStringLiteral("SELECT * FROM STOAGGFDBFDB WHERE CODICE=:CODICE"));
    s.setParam(QStringLiteral("CODICE"), db::Value(qint64(codice)));
    db::ResultSet rs = s.open();
    if (!rs.next())
        return std::nullopt;
    return scriptFrom(rs);
}

std::vector<SincroFDB> leggiSincroAbilitate(db::Attachment &att, db::Transaction &tra)
{
    const QStringList lines{QStringLiteral("SELECT"), QStringLiteral("  CODICE,"), QStringLiteral("  TITOLO,"),
                            QStringLiteral("  TIPOELABORAZIONE,"), QStringLiteral("  DBORIGINE,"),
                            QStringLiteral("  TABELLAORIGINE,"), QStringLiteral("  DBDESTINAZIONE,"),
                            QStringLiteral("  TABELLADESTINAZIONE"), QStringLiteral("FROM"),
                            QStringLiteral("  STOAGGSINCRODBFAST"), QStringLiteral("WHERE"),
                            QStringLiteral("  ELABORAZIONEABILITATA=1"), QStringLiteral("ORDER BY"),
                            QStringLiteral("  CODICE")};
    db::Statement s(att, tra, lines.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    std::vector<SincroFDB> out;
    while (rs.next()) {
        SincroFDB r;
        r.codice = int(rs.toInt64(0).value_or(0));
        r.titolo = rs.text(1);
        r.tipoElaborazione = rs.text(2);
        r.dbOrigine = rs.text(3).trimmed();
        r.tabellaOrigine = rs.text(4).trimmed();
        r.dbDestinazione = rs.text(5).trimmed();
        r.tabellaDestinazione = rs.text(6).trimmed();
        out.push_back(r);
    }
    return out;
}

} // namespace vardof::maintenance
