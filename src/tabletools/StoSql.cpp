#include "tabletools/StoSql.h"

#include "context/SqlBuilders.h"
#include "core/Cp1252.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/SqlParams.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/Formats.h"

#include <QDateTime>

namespace vardof::tabletools {

QStringList creazioneStoSql()
{
    return {QStringLiteral("CREATE TABLE STOSQL("),
            QStringLiteral("Codice Integer NOT NULL,"),
            QStringLiteral("Titolo VarChar(40),"),
            QStringLiteral("SQL Blob,"),
            QStringLiteral("Classificazione1 Varchar(10),"),
            QStringLiteral("Classificazione2 VarChar(10),"),
            QStringLiteral("CONSTRAINT STOSQL_INDICEPRIMARIO PRIMARY KEY (Codice))")};
}

void apriOCreaStoSql(db::Transaction &tra)
{
    try {
        db::Statement probe(tra, QStringLiteral("SELECT CODICE, TITOLO, SQL FROM STOSQL"), db::ParamStyle::AsWritten);
        probe.prepare();
        return;
    } catch (const db::Error &) {
    }
    db::executeSql(tra, creazioneStoSql().join(QLatin1Char('\n')));
    tra.commit();
}

std::vector<RigaStoSql> leggiStoSql(db::Transaction &tra)
{
    std::vector<RigaStoSql> righe;
    db::Statement st(tra, QStringLiteral("SELECT CODICE, TITOLO, SQL FROM STOSQL ORDER BY CODICE"),
                     db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    while (rs.next()) {
        RigaStoSql r;
        r.codice = int(rs.toInt64(0).value_or(0));
        r.titolo = rs.text(1);
        const db::FieldValue sql = rs.value(2);
        if (sql) {
            if (const auto *b = std::get_if<QByteArray>(&*sql))
                r.sql = core::fromCp1252(*b); // a blob without subtype holds the text's bytes
            else
                r.sql = db::toText(sql);
        }
        righe.push_back(std::move(r));
    }
    return righe;
}

int prossimoCodice(db::Transaction &tra)
{
    const db::FieldValue max = db::queryValue(tra, QStringLiteral("SELECT MAX(CODICE) FROM STOSQL"));
    const qint64 n = max ? db::toInt64(*max).value_or(0) : 0;
    return n <= 0 ? 1 : int(n + 1);
}

void scriviRiga(db::Transaction &tra, const RigaStoSql &riga, bool nuova)
{
    db::Statement st(tra, nuova ? QStringLiteral("INSERT INTO STOSQL (CODICE, TITOLO, SQL) VALUES (:C, :T, :S)")
                                : QStringLiteral("UPDATE STOSQL SET TITOLO = :T, SQL = :S WHERE CODICE = :C"));
    st.setParam(QStringLiteral("C"), db::Value(qint64(riga.codice)));
    st.setParam(QStringLiteral("T"), riga.titolo.isEmpty() ? db::FieldValue() : db::FieldValue(riga.titolo));
    st.setParam(QStringLiteral("S"), riga.sql.isEmpty() ? db::FieldValue() : db::FieldValue(riga.sql));
    st.execute();
}

void cancellaRiga(db::Transaction &tra, int codice)
{
    db::Statement st(tra, QStringLiteral("DELETE FROM STOSQL WHERE CODICE = :C"));
    st.setParam(QStringLiteral("C"), db::Value(qint64(codice)));
    st.execute();
}

bool eComando(const QString &testo)
{
    static const char *const parole[] = {"DELETE", "UPDATE", "DROP", "CREATE", "ALTER", "INSERT"};
    for (const char *p : parole)
        if (testo.contains(QLatin1String(p), Qt::CaseSensitive))
            return true;
    return false;
}

QStringList nomiParametri(const QString &testo)
{
    QStringList nomi;
    for (const QString &n : db::parseNamedParameters(testo).markerNames)
        if (!nomi.contains(n))
            nomi << n;
    return nomi;
}

std::vector<db::Column> tipiParametri(db::Transaction &tra, const QString &testo, const QStringList &nomi)
{
    const QStringList marcatori = db::parseNamedParameters(testo).markerNames;
    db::Statement st(tra, testo, db::ParamStyle::Named);
    const std::vector<db::Column> &colonne = st.paramColumns();
    std::vector<db::Column> tipi;
    for (const QString &nome : nomi) {
        const qsizetype i = marcatori.indexOf(nome);
        tipi.push_back(i >= 0 && size_t(i) < colonne.size() ? colonne[size_t(i)] : db::Column());
    }
    return tipi;
}

std::optional<db::FieldValue> valoreDaTesto(const db::Column &tipo, const QString &testo, DataPerTimestamp data)
{
    if (testo.isEmpty())
        return db::FieldValue();
    switch (tipo.typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        if (tipo.scale > 0) {
            if (auto v = platform::strToFloat(testo))
                return db::FieldValue(db::Value(*v));
            return std::nullopt;
        }
        if (auto v = platform::strToInt64(testo))
            return db::FieldValue(db::Value(*v));
        return std::nullopt;
    case db::TypeFloat:
    case db::TypeDouble:
        if (auto v = platform::strToFloat(testo))
            return db::FieldValue(db::Value(*v));
        return std::nullopt;
    case db::TypeDate:
        if (auto v = platform::strToDate(testo))
            return db::FieldValue(db::Value(*v));
        return std::nullopt;
    case db::TypeTime:
        if (auto v = platform::strToTime(testo))
            return db::FieldValue(db::Value(*v));
        return std::nullopt;
    case db::TypeTimestamp:
        if (auto v = platform::strToDateTime(testo))
            return db::FieldValue(db::Value(*v));
        if (data == DataPerTimestamp::Mezzanotte) {
            if (auto v = platform::strToDate(testo))
                return db::FieldValue(db::Value(QDateTime(*v, QTime(0, 0))));
        }
        return std::nullopt;
    default: return db::FieldValue(testo);
    }
}

void eseguiComando(db::Transaction &tra, const QString &testo, const ValoriParametri &parametri)
{
    db::Statement st(tra, testo, db::ParamStyle::Named);
    for (const QString &nome : st.paramNames())
        st.setNull(nome);
    for (const auto &[nome, valore] : parametri)
        if (st.hasParam(nome))
            st.setParam(nome, valore);
    st.execute();
    st.close();
    tra.commit();
}

void eseguiBlocco(db::Transaction &tra, const QString &testo)
{
    db::Statement st(tra, testo, db::ParamStyle::AsWritten);
    st.execute();
    st.close();
    tra.commitRetaining();
}

QString titoloGruppo(GruppoWizard gruppo)
{
    switch (gruppo) {
    case GruppoWizard::Delete: return QStringLiteral("Delete");
    case GruppoWizard::Update: return QStringLiteral("Update");
    case GruppoWizard::Alter: return QStringLiteral("Alter");
    case GruppoWizard::Select: return QStringLiteral("Select");
    }
    return QString();
}

QStringList sceltePerGruppo(GruppoWizard gruppo)
{
    switch (gruppo) {
    case GruppoWizard::Delete:
        return {QStringLiteral("Cancella Tutte Le Righe"), QStringLiteral("Cancella Alcune Righe"),
                QStringLiteral("Cancella Fisicamente Una Tabella")};
    case GruppoWizard::Update:
        return {QStringLiteral("Aggiorna Tutte Le Righe"), QStringLiteral("Aggiorna Alcune Righe")};
    case GruppoWizard::Alter: return {QStringLiteral("Elimina Campo")};
    case GruppoWizard::Select:
        return {QStringLiteral("Visualizza Completamente"), QStringLiteral("Visualizza Alcune Righe")};
    }
    return {};
}

QString testoWizard(GruppoWizard gruppo, int scelta, const QString &t)
{
    const QString cr = QStringLiteral("\r");
    const QString where = cr + QStringLiteral("WHERE <Condizione>");
    const QString set = cr + QStringLiteral("SET <Campo1, ..., CampoN='Valore'>");
    switch (gruppo) {
    case GruppoWizard::Delete:
        if (scelta == 0)
            return QStringLiteral("DELETE FROM ") + t;
        if (scelta == 1)
            return QStringLiteral("DELETE FROM ") + t + where;
        return QStringLiteral("DROP TABLE ") + t;
    case GruppoWizard::Update:
        return QStringLiteral("UPDATE ") + t + set + (scelta == 1 ? where : QString());
    case GruppoWizard::Alter: return QStringLiteral("ALTER TABLE ") + t + cr + QStringLiteral("DROP <NomeCampo>");
    case GruppoWizard::Select: return QStringLiteral("SELECT * FROM ") + t + (scelta == 1 ? where : QString());
    }
    return QString();
}

QString tipoColonnaCopia(const db::Column &c)
{
    switch (c.typeCode) {
    case db::TypeVarchar:
    case db::TypeChar: return QStringLiteral(" VARCHAR(%1)").arg(c.length > 0 ? c.length : 1);
    case db::TypeFloat:
    case db::TypeDouble: return QStringLiteral(" DOUBLE PRECISION");
    case db::TypeDate: return QStringLiteral(" DATE");
    case db::TypeTime: return QStringLiteral(" TIME");
    case db::TypeTimestamp: return QStringLiteral(" TIMESTAMP");
    case db::TypeBlob: return QStringLiteral(" BLOB SUB_TYPE 1");
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        if (c.scale > 0)
            return QStringLiteral(" Numeric(18, 4)");
        if (c.typeCode == db::TypeSmallint)
            return QStringLiteral(" SMALLINT");
        if (c.typeCode == db::TypeInteger)
            return QStringLiteral(" INTEGER");
        return QStringLiteral(" Numeric(18, 0)");
    case db::TypeBoolean: return QStringLiteral(" VARCHAR(5)");
    default: return QString();
    }
}

namespace {

QString nomeColonna(const db::Column &c)
{
    return (c.alias.isEmpty() ? c.name : c.alias).toUpper();
}

} // namespace

QString creazioneCopia(const std::vector<db::Column> &colonne)
{
    QStringList definizioni;
    for (const db::Column &c : colonne) {
        const QString tipo = tipoColonnaCopia(c);
        if (!tipo.isEmpty())
            definizioni << db::quotedName(nomeColonna(c)) + tipo;
    }
    return QStringLiteral("Create Table ") + db::quotedName(kTabellaCopia) + QStringLiteral(" (")
           + definizioni.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString valoreCopia(const db::Column &c, const db::FieldValue &valore)
{
    const QString testo = db::toText(valore);
    if (testo.isEmpty())
        return QStringLiteral("NULL");
    const auto tra = [](QString s) { return QLatin1Char('\'') + s + QLatin1Char('\''); };
    if (c.typeCode == db::TypeFloat || c.typeCode == db::TypeDouble || c.scale > 0)
        return tra(QString(testo).replace(QLatin1Char(','), QLatin1Char('.')));
    const auto tempo = [](const QTime &t) {
        return t.toString(t.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
    };
    if (const auto *d = std::get_if<QDate>(&*valore))
        return tra(d->toString(QStringLiteral("MM/dd/yyyy")));
    if (const auto *t = std::get_if<QTime>(&*valore))
        return tra(tempo(*t));
    if (const auto *dt = std::get_if<QDateTime>(&*valore))
        return tra(dt->date().toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char(' ') + tempo(dt->time()));
    // A quote inside a text is doubled, so the copy holds the value as it is.
    return context::quoted(testo);
}

EsitoCopia copiaInTmp222(db::Transaction &tra, const std::vector<db::Column> &colonne,
                         const std::function<bool(std::vector<db::FieldValue> &)> &prossima)
{
    EsitoCopia esito;
    try {
        if (db::catalog::relationExists(tra, kTabellaCopia)) {
            db::executeSql(tra, QStringLiteral("DROP TABLE TMP222"));
            tra.commitRetaining();
        }
    } catch (const db::Error &e) {
        esito.fallito = PassoCopia::Drop;
        esito.messaggio = e.message();
        return esito;
    }
    std::vector<int> copiate;
    QStringList nomi;
    for (size_t i = 0; i < colonne.size(); ++i) {
        if (tipoColonnaCopia(colonne[i]).isEmpty())
            continue;
        copiate.push_back(int(i));
        nomi << db::quotedName(nomeColonna(colonne[i]));
    }
    try {
        db::executeSql(tra, creazioneCopia(colonne));
        tra.commitRetaining();
    } catch (const db::Error &e) {
        esito.fallito = PassoCopia::Create;
        esito.messaggio = e.message();
        return esito;
    }
    const QString testa = QStringLiteral("INSERT INTO TMP222 (") + nomi.join(QLatin1Char(',')) + QStringLiteral(") VALUES\n(");
    std::vector<db::FieldValue> riga;
    try {
        while (prossima(riga)) {
            QStringList valori;
            for (int i : copiate)
                valori << valoreCopia(colonne[size_t(i)], size_t(i) < riga.size() ? riga[size_t(i)] : db::FieldValue());
            db::executeSql(tra, testa + valori.join(QLatin1Char(',')) + QLatin1Char(')'));
            ++esito.righe;
        }
        tra.commitRetaining();
    } catch (const db::Error &e) {
        esito.fallito = PassoCopia::Insert;
        esito.messaggio = e.message();
    }
    return esito;
}

} // namespace vardof::tabletools
