#include "tabletools/ImportTabella.h"

#include "core/Cp1252.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/Formats.h"
#include "platform/TextFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace vardof::tabletools {

QString nomeTipoSQL(int tipo)
{
    switch (tipo) {
    case SqlInteger: return QStringLiteral("INTEGER");
    case SqlBigint: return QStringLiteral("BIGINT");
    case SqlSmallint: return QStringLiteral("SMALLINT");
    case SqlFloat: return QStringLiteral("FLOAT");
    case SqlDate: return QStringLiteral("DATE");
    case SqlTime: return QStringLiteral("TIME");
    case SqlDecimal: return QStringLiteral("DECIMAL");
    case SqlTimestamp: return QStringLiteral("TIMESTAMP");
    case SqlVarchar: return QStringLiteral("VARCHAR");
    case SqlChar: return QStringLiteral("CHAR");
    case SqlDouble: return QStringLiteral("DOUBLE PRECISION");
    case SqlBlob: return QStringLiteral("BLOB");
    default: return QStringLiteral("SCONOSCIUTO");
    }
}

int tipoDaCatalogo(int t, int sub)
{
    switch (t) {
    case 8: return SqlInteger;
    case 16: return sub == 2 ? SqlDecimal : SqlBigint;
    case 7: return SqlSmallint;
    case 10: return SqlFloat;
    case 12: return SqlDate;
    case 13: return SqlTime;
    case 35: return SqlTimestamp;
    case 37: return SqlVarchar;
    case 14: return SqlChar;
    case 27: return SqlDouble;
    case 261: return SqlBlob;
    default: return SqlSconosciuto;
    }
}

bool TCampoSQLList::LeggiStrutturaTabella(db::Transaction &tra, const QString &tabella)
{
    clear();
    if (tabella.isEmpty())
        return false;
    static const QStringList righe = {
        QStringLiteral("SELECT"),
        QStringLiteral("  TRIM(A.RDB$FIELD_NAME) AS NOME,"),
        QStringLiteral("  COALESCE(B.RDB$FIELD_TYPE,0) AS TIPO,"),
        QStringLiteral("  COALESCE(B.RDB$FIELD_SUB_TYPE,0) AS SUBTIPO,"),
        QStringLiteral("  COALESCE(B.RDB$CHARACTER_LENGTH,0) AS DIMENSIONE,"),
        QStringLiteral("  COALESCE(B.RDB$FIELD_PRECISION,0) AS PRECISIONE,"),
        QStringLiteral("  COALESCE(ABS(B.RDB$FIELD_SCALE),0) AS SCALA,"),
        QStringLiteral("  COALESCE(C.CHIAVE,0) AS CHIAVE"),
        QStringLiteral("FROM"),
        QStringLiteral("  RDB$RELATION_FIELDS A"),
        QStringLiteral("  INNER JOIN RDB$FIELDS B ON"),
        QStringLiteral("  A.RDB$FIELD_SOURCE=B.RDB$FIELD_NAME"),
        QStringLiteral("  LEFT JOIN("),
        QStringLiteral("    --Individuazione campi chiave"),
        QStringLiteral("    SELECT"),
        QStringLiteral("      A1.RDB$RELATION_NAME,"),
        QStringLiteral("      B1.RDB$FIELD_NAME,"),
        QStringLiteral("      1 AS CHIAVE"),
        QStringLiteral("    FROM"),
        QStringLiteral("      RDB$RELATION_CONSTRAINTS A1"),
        QStringLiteral("      LEFT JOIN RDB$INDEX_SEGMENTS B1 ON"),
        QStringLiteral("      A1.RDB$INDEX_NAME=B1.RDB$INDEX_NAME"),
        QStringLiteral("    WHERE"),
        QStringLiteral("      A1.RDB$CONSTRAINT_TYPE='PRIMARY KEY'"),
        QStringLiteral("  ) C ON"),
        QStringLiteral("  A.RDB$RELATION_NAME=C.RDB$RELATION_NAME"),
        QStringLiteral("  AND"),
        QStringLiteral("  A.RDB$FIELD_NAME=C.RDB$FIELD_NAME"),
        QStringLiteral("WHERE"),
        QStringLiteral("  A.RDB$RELATION_NAME=:TABELLA"),
        QStringLiteral("ORDER BY"),
        QStringLiteral("  A.RDB$FIELD_POSITION"),
    };
    // The name is a parameter: a quote in it cannot change the question.
    db::Statement st(tra, righe.join(QLatin1Char('\n')));
    st.setParam(QStringLiteral("TABELLA"), db::FieldValue(tabella));
    db::ResultSet rs = st.open();
    while (rs.next()) {
        CampoSQL c;
        c.nome = rs.text(0).left(31);
        c.tipo = tipoDaCatalogo(int(rs.toInt64(1).value_or(0)), int(rs.toInt64(2).value_or(0)));
        c.dimensione = int(rs.toInt64(3).value_or(0));
        c.precisione = int(rs.toInt64(4).value_or(0));
        c.scala = int(rs.toInt64(5).value_or(0));
        c.chiave = rs.toInt64(6).value_or(0) == 1;
        add(std::move(c));
    }
    return count() > 0;
}

bool EsisteTabella(db::Transaction &tra, const QString &tabella)
{
    db::Statement st(tra, QStringLiteral("SELECT\n  COUNT(*) AS TOT\nFROM\n  RDB$RELATIONS\nWHERE\n  RDB$RELATION_NAME=:T"));
    st.setParam(QStringLiteral("T"), db::FieldValue(tabella));
    db::ResultSet rs = st.open();
    return rs.next() && rs.toInt64(0).value_or(0) > 0;
}

// ---- the importer ----------------------------------------------------------

struct TImportFile::Dati
{
    std::unique_ptr<db::Statement> insert;
};

TImportFile::TImportFile(db::Transaction &tra, OpzioniImport opzioni, platform::RunFeedback &feedback)
    : m_tra(tra), m_opz(std::move(opzioni)), m_feedback(feedback), d(std::make_unique<Dati>())
{
}

TImportFile::~TImportFile() = default;

qint64 TImportFile::contaRighe()
{
    platform::TextLineReader reader(64 * 1024);
    if (!reader.open(m_opz.file))
        throw std::runtime_error(QStringLiteral("Impossibile leggere il file \"%1\": %2")
                                     .arg(m_opz.file, reader.errorString())
                                     .toStdString());
    QByteArray riga;
    qint64 n = 0;
    while (reader.readRawLine(riga))
        ++n;
    if (reader.failed())
        throw std::runtime_error(QStringLiteral("Lettura del file \"%1\" fallita: %2")
                                     .arg(m_opz.file, reader.errorString())
                                     .toStdString());
    if (m_opz.saltaPrimaRiga && n > 0)
        --n;
    return n;
}

int TImportFile::VerificaImportazione()
{
    int esito = 0;
    if (m_opz.tabella.isEmpty()) {
        m_feedback.line(QStringLiteral("Tabella di appoggio non definita"));
        esito = -1;
    }
    if (m_opz.file.isEmpty()) {
        m_feedback.line(QStringLiteral("File da importare non definito"));
        esito = -1;
    }
    if (esito)
        return esito;
    if (m_opz.perNumeroCampi && m_opz.campiPerRecord <= 0) {
        m_feedback.line(QStringLiteral("Con l'opzione \"Abilita import CR\" va impostato anche \"Totale campi per record\""));
        return -1;
    }
    if (!EsisteTabella(m_tra, m_opz.tabella)) {
        m_feedback.line(QStringLiteral("Tabella di appoggio non definita"));
        return -1;
    }
    m_campi.LeggiStrutturaTabella(m_tra, m_opz.tabella);
    if (m_opz.perNumeroCampi && m_campi.count() != m_opz.campiPerRecord) {
        m_feedback.line(QStringLiteral("La tabella ha %1 campi, mentre \"Totale campi per record\" è stato impostato a %2")
                            .arg(m_campi.count())
                            .arg(m_opz.campiPerRecord));
        return -1;
    }
    m_righe = contaRighe();
    if (m_righe == 0) {
        m_feedback.line(QStringLiteral("Il file non ha righe da importare"));
        return -1;
    }
    return 0;
}

QString TImportFile::testoInsert() const
{
    QStringList righe;
    righe << QStringLiteral("INSERT INTO ") + db::quotedName(m_opz.tabella) + QStringLiteral("(");
    for (int i = 0; i < m_campi.count(); ++i) {
        if (i)
            righe << QStringLiteral(",");
        righe << db::quotedName(m_campi[i].nome);
    }
    righe << QStringLiteral(")") << QStringLiteral("VALUES(");
    for (int i = 0; i < m_campi.count(); ++i) {
        if (i)
            righe << QStringLiteral(",");
        righe << QStringLiteral(":C%1").arg(i + 1);
    }
    righe << QStringLiteral(")");
    return righe.join(QLatin1Char('\n'));
}

namespace {

// nullopt: the value does not convert.
std::optional<db::FieldValue> converti(const CampoSQL &c, const QString &testo, const QString *tag)
{
    switch (c.tipo) {
    case SqlInteger:
    case SqlSmallint: {
        const auto v = platform::strToInt(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(qint64(*v)));
    }
    case SqlBigint: {
        const auto v = platform::strToInt64(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(*v));
    }
    case SqlDate: {
        const auto v = platform::strToDate(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(*v));
    }
    case SqlTime: {
        const auto v = platform::strToTime(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(*v));
    }
    case SqlTimestamp: {
        const auto v = platform::strToDateTime(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(*v));
    }
    case SqlVarchar:
    case SqlChar:
    case SqlBlob:
        if (tag && !tag->isEmpty() && testo.contains(*tag))
            return db::FieldValue(QString(testo).replace(*tag, QStringLiteral("\r\n")));
        return db::FieldValue(testo);
    case SqlFloat:
    case SqlDecimal:
    case SqlDouble: {
        const auto v = platform::strToFloat(testo);
        if (!v)
            return std::nullopt;
        return db::FieldValue(db::Value(*v));
    }
    default: return db::FieldValue();
    }
}

QString ora(const QTime &t) { return t.toString(QStringLiteral("hh:mm:ss")); }

} // namespace

void TImportFile::record(const QString &testo, qint64 riga)
{
    if (!d->insert) {
        d->insert = std::make_unique<db::Statement>(m_tra, testoInsert(), db::ParamStyle::Named);
        d->insert->prepare();
    }
    db::Statement &st = *d->insert;
    const QString *tag = (!m_opz.perNumeroCampi && m_opz.tagACapo) ? &m_opz.tag : nullptr;
    const int colonne = m_campi.count();
    int campo = 0;
    bool fallito = false;
    qsizetype inizio = 0;
    while (campo < colonne && inizio <= testo.size()) {
        qsizetype fine = testo.indexOf(QLatin1Char(';'), inizio);
        const bool ultimo = fine < 0;
        if (ultimo)
            fine = testo.size();
        const QString valore = testo.mid(inizio, fine - inizio);
        if (ultimo && valore.isEmpty())
            break; // nothing after the last ";"
        if (valore.isEmpty()) {
            st.setParam(campo, db::FieldValue());
        } else if (std::optional<db::FieldValue> v = converti(m_campi[campo], valore, tag)) {
            st.setParam(campo, std::move(*v));
        } else {
            st.setParam(campo, db::FieldValue());
            fallito = true;
            ++m_errori;
            if (m_opz.perCampo)
                m_feedback.line(QStringLiteral("Errore nel Campo %1 della riga %2: tipo campo non compatibile con il "
                                               "valore nel file in importazione")
                                    .arg(m_campi[campo].nome)
                                    .arg(riga));
        }
        ++campo;
        inizio = fine + 1;
        if (ultimo)
            break;
    }
    for (; campo < colonne; ++campo)
        st.setParam(campo, db::FieldValue());
    if (fallito && !m_opz.perCampo)
        m_feedback.line(QStringLiteral("Errore nella riga %1: tipo campo non compatibile con il valore nel file in "
                                       "importazione")
                            .arg(riga));
    try {
        st.execute();
        ++m_inserite;
    } catch (const db::Error &e) {
        if (e.isConnectionLost())
            throw;
        ++m_errori;
        ++m_rifiutate;
        m_feedback.line(QStringLiteral("Fallito iserimento riga %1: %2").arg(riga).arg(e.message()));
    }
}

qint64 TImportFile::EseguiImportazione()
{
    const QTime inizio = QTime::currentTime();
    QElapsedTimer tempo;
    tempo.start();
    m_feedback.line(QStringLiteral("Inizio ") + ora(inizio));
    QFile file(m_opz.file);
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(QStringLiteral("Impossibile leggere il file \"%1\": %2")
                                         .arg(m_opz.file, file.errorString())
                                         .toStdString());
        const qint64 totale = std::max<qint64>(m_righe, 1);
        QByteArray buffer;
        buffer.resize(64 * 1024);
        QByteArray corrente;
        qint64 riga = 0;     // physical line of the file
        qint64 lette = 0;    // lines read after the skipped one
        int campiContati = 0;
        bool primaSaltata = !m_opz.saltaPrimaRiga;
        bool crPrecedente = false;
        m_feedback.report(0, totale);
        const auto fermati = [&] {
            if (m_feedback.interruptRequested()) {
                m_feedback.line(QStringLiteral("Elaborazione interrotta"));
                m_interrotta = true;
                return true;
            }
            return false;
        };
        const auto rigaCompleta = [&]() -> bool {
            // Line mode: one record per line; an empty line is skipped.
            ++riga;
            if (!primaSaltata) {
                primaSaltata = true;
                corrente.clear();
                return false;
            }
            ++lette;
            m_feedback.step(lette, totale);
            if (!corrente.isEmpty())
                record(core::fromCp1252(corrente), riga);
            corrente.clear();
            return fermati();
        };
        bool fine = false;
        while (!fine) {
            const qint64 n = file.read(buffer.data(), buffer.size());
            if (n < 0)
                throw std::runtime_error(QStringLiteral("Lettura del file \"%1\" fallita: %2")
                                             .arg(m_opz.file, file.errorString())
                                             .toStdString());
            if (n == 0)
                break;
            const char *p = buffer.constData();
            if (!m_opz.perNumeroCampi) {
                qint64 i = 0;
                while (i < n && !fine) {
                    const char c = p[i];
                    if (c == '\n') {
                        if (crPrecedente) {
                            crPrecedente = false;
                            ++i;
                            continue; // the LF of a CR LF
                        }
                        fine = rigaCompleta();
                    } else if (c == '\r') {
                        crPrecedente = true;
                        fine = rigaCompleta();
                        ++i;
                        continue;
                    } else {
                        // Copy the run of ordinary bytes at once.
                        qint64 j = i;
                        while (j < n && p[j] != '\n' && p[j] != '\r')
                            ++j;
                        corrente.append(p + i, j - i);
                        crPrecedente = false;
                        i = j;
                        continue;
                    }
                    crPrecedente = false;
                    ++i;
                }
            } else {
                for (qint64 i = 0; i < n && !fine; ++i) {
                    const char c = p[i];
                    if (!primaSaltata) {
                        // The header ends at its first line break; a LF
                        // that follows is a leading one of the next record.
                        if (c == '\n' || c == '\r') {
                            riga = 1;
                            primaSaltata = true;
                        }
                        continue;
                    }
                    if (crPrecedente && c == '\n') {
                        crPrecedente = false;
                        corrente.append(c);
                        continue;
                    }
                    crPrecedente = false;
                    corrente.append(c);
                    if (c == '\r') {
                        ++riga;
                        crPrecedente = true;
                        m_feedback.step(riga, totale);
                    } else if (c == ';') {
                        if (++campiContati >= m_opz.campiPerRecord) {
                            qsizetype k = 0;
                            while (k < corrente.size() && (corrente[k] == '\r' || corrente[k] == '\n'))
                                ++k;
                            record(core::fromCp1252(corrente.mid(k)), riga + 1);
                            corrente.clear();
                            campiContati = 0;
                        }
                    }
                    fine = fermati();
                }
            }
        }
        if (!fine && !m_opz.perNumeroCampi && (!corrente.isEmpty()))
            rigaCompleta();
        m_tra.commitRetaining();
    } catch (...) {
        try {
            m_tra.rollbackRetaining();
        } catch (...) {
        }
        throw;
    }
    const qint64 ms = tempo.elapsed();
    m_feedback.line(QStringLiteral("Fine ") + ora(QTime::currentTime()) + QStringLiteral(" (tempo elaborazione: ")
                    + ora(QTime(0, 0).addMSecs(int(ms % (24LL * 3600 * 1000)))) + QStringLiteral(")"));
    return m_inserite;
}

// ---- the work table ----------------------------------------------------------

void leggiQualifica(const QString &qualifica, CampoSQL &campo)
{
    const auto nonRiconosciuta = [&] {
        return ErroreTracciato(QStringLiteral("Qualifica non riconosciuta \"%1\"").arg(qualifica), true);
    };
    qsizetype i = 0;
    while (i < qualifica.size() && (qualifica[i] == QLatin1Char('*') || qualifica[i] == QLatin1Char('#'))) {
        if (qualifica[i] == QLatin1Char('*'))
            campo.chiave = true;
        else
            campo.indice = true;
        ++i;
    }
    const QString resto = qualifica.mid(i);
    if (resto.isEmpty())
        throw nonRiconosciuta();
    const QChar lettera = resto[0].toUpper();
    const QString numero = resto.mid(1);
    bool ok = false;
    switch (lettera.unicode()) {
    case 'A': {
        const int n = numero.toInt(&ok);
        if (!ok)
            throw ErroreTracciato(QStringLiteral("Dimensione VARCHAR non riconosciuta nella qualifica \"%1\"").arg(qualifica), true);
        if (n <= 0)
            throw ErroreTracciato(QStringLiteral("Dimensione VARCHAR %1 non valida").arg(n), true);
        if (n > 32765)
            throw ErroreTracciato(QStringLiteral("Dimensione VARCHAR %1 non valida (max 32765)").arg(n), true);
        campo.tipo = SqlVarchar;
        campo.dimensione = n;
        return;
    }
    case 'N': {
        if (numero.isEmpty()) {
            campo.tipo = SqlFloat;
            return;
        }
        const int s = numero.toInt(&ok);
        if (!ok)
            throw ErroreTracciato(QStringLiteral("Precisione DECIMAL non riconosciuta nella qualifica \"%1\"").arg(qualifica), true);
        if (s <= 0)
            throw ErroreTracciato(QStringLiteral("Dimensione DECIMAL %1 non valida").arg(s), true);
        if (s > 6)
            throw ErroreTracciato(QStringLiteral("Dimensione DECIMAL %1 non valida (max 6)").arg(s), true);
        campo.tipo = SqlDecimal;
        campo.precisione = 15;
        campo.scala = s;
        return;
    }
    case 'D': campo.tipo = SqlDate; break;
    case 'I': campo.tipo = SqlInteger; break;
    case 'S': campo.tipo = SqlSmallint; break;
    case 'M': campo.tipo = SqlBlob; break;
    case 'T':
        if (resto.startsWith(QLatin1String("TS"))) {
            campo.tipo = SqlTimestamp;
            return;
        }
        campo.tipo = SqlTime;
        return; // "Ts" and the like read as TIME
    default: throw nonRiconosciuta();
    }
    // A size after a letter that takes none is not a qualifier we know.
    if (!numero.isEmpty())
        throw nonRiconosciuta();
}

namespace {

QString ridotto(const QString &testo)
{
    QString r;
    for (const QChar c : testo.toUpper())
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || c == QLatin1Char('_'))
            r += c;
    return r;
}

} // namespace

TCampoSQLList leggiTracciato(const QString &intestazione)
{
    TCampoSQLList campi;
    const QStringList parti = intestazione.split(QLatin1Char(';'));
    int k = 0;
    for (const QString &campo : parti) {
        if (campo.isEmpty())
            break;
        ++k;
        const qsizetype sep = campo.indexOf(QLatin1Char('_'));
        if (sep < 0)
            throw ErroreTracciato(
                QStringLiteral("%1° campo: non riconosciuti qualificatore e nome (\"%2\")").arg(k).arg(campo), false);
        CampoSQL c;
        leggiQualifica(campo.left(sep), c);
        c.nome = ridotto(campo.mid(sep + 1)).left(31);
        if (c.nome.isEmpty())
            throw ErroreTracciato(QStringLiteral("%1° campo: non riconosciuto il nome (\"%2\")").arg(k).arg(campo), false);
        campi.add(std::move(c));
    }
    if (campi.count() == 0)
        throw ErroreTracciato(QStringLiteral("Tracciato non riconosciuto"), false);
    return campi;
}

QString nomeTabellaLavoro(const QString &file)
{
    return QStringLiteral("TMP_") + ridotto(QFileInfo(file).completeBaseName().left(24));
}

QString creazioneTabellaLavoro(const QString &tabella, const TCampoSQLList &campi)
{
    QStringList righe;
    QStringList chiavi;
    righe << QStringLiteral("CREATE TABLE ") + tabella + QStringLiteral("(");
    for (int i = 0; i < campi.count(); ++i) {
        const CampoSQL &c = campi[i];
        QString r = c.nome + QLatin1Char(' ') + nomeTipoSQL(c.tipo);
        if (c.tipo == SqlDecimal)
            r += QStringLiteral("(%1,%2)").arg(c.precisione).arg(c.scala);
        else if (c.tipo == SqlVarchar)
            r += QStringLiteral("(%1)").arg(c.dimensione);
        else if (c.tipo == SqlBlob)
            r += QStringLiteral(" sub_type text");
        if (c.chiave) {
            r += QStringLiteral(" NOT NULL");
            chiavi << c.nome;
        }
        if (i + 1 < campi.count())
            r += QLatin1Char(',');
        righe << r;
    }
    if (!chiavi.isEmpty())
        righe << QStringLiteral(",")
              << QStringLiteral("CONSTRAINT ") + tabella + QStringLiteral("_PK PRIMARY KEY (") + chiavi.join(QLatin1Char(','))
                     + QStringLiteral(")");
    righe << QStringLiteral(")");
    return righe.join(QLatin1Char('\n'));
}

QString creazioneIndiceLavoro(const QString &tabella, const TCampoSQLList &campi)
{
    QStringList colonne;
    for (const CampoSQL &c : campi.campi())
        if (c.indice)
            colonne << c.nome;
    if (colonne.isEmpty())
        return QString();
    return QStringLiteral("CREATE INDEX ") + tabella + QStringLiteral("IDX ON ") + tabella + QStringLiteral("\n(")
           + colonne.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString differenzaTracciato(const TCampoSQLList &file, const TCampoSQLList &tabella)
{
    if (file.count() != tabella.count())
        return QStringLiteral("Numero campi differente");
    for (int i = 0; i < file.count(); ++i) {
        const CampoSQL &f = file[i];
        const CampoSQL &t = tabella[i];
        const int k = i + 1;
        if (f.nome != t.nome)
            return QStringLiteral("Il %1° campo nel file è \"%2\" mentre il corrispondente campo nella tabella è \"%3\"")
                .arg(k)
                .arg(f.nome, t.nome);
        const QString testa =
            QStringLiteral("Il %1° campo nel file è di tipo diverso rispetto al corrispondente campo nella tabella").arg(k);
        if (f.tipo != t.tipo)
            return testa + QStringLiteral("\rFile: ") + nomeTipoSQL(f.tipo) + QStringLiteral("\rTabella: ") + nomeTipoSQL(t.tipo);
        if ((f.tipo == SqlVarchar || f.tipo == SqlChar) && t.dimensione < f.dimensione)
            return testa + QStringLiteral("\rFile: %1(%2)\rTabella: %3(%4)")
                               .arg(nomeTipoSQL(f.tipo))
                               .arg(f.dimensione)
                               .arg(nomeTipoSQL(t.tipo))
                               .arg(t.dimensione);
        if (f.tipo == SqlDecimal && t.scala < f.scala)
            return testa + QStringLiteral("\rFile: %1, scala %2\rTabella: %3, scala %4")
                               .arg(nomeTipoSQL(f.tipo))
                               .arg(f.scala)
                               .arg(nomeTipoSQL(t.tipo))
                               .arg(t.scala);
    }
    return QString();
}

QString avvisoTracciatoDiverso(const QString &tabella, const QString &differenza)
{
    return QStringLiteral("L'import prevede l'uso della tabella \"%1\" che è già esistente, ma il tracciato nel DB è "
                          "differente da quello del file:\r\r> ")
               .arg(tabella)
           + differenza;
}

QString preparaTabellaLavoro(db::Transaction &tra, const QString &file, const QStringList &esistenti)
{
    platform::TextLineReader reader(64 * 1024);
    if (!reader.open(file))
        throw ErroreTracciato(QStringLiteral("Impossibile leggere il file \"%1\":\r%2").arg(file, reader.errorString()), true);
    QString intestazione;
    reader.readLine(intestazione);
    reader.close();
    const TCampoSQLList campi = leggiTracciato(intestazione);
    const QString tabella = nomeTabellaLavoro(file);
    if (!esistenti.contains(tabella)) {
        try {
            db::executeSql(tra, creazioneTabellaLavoro(tabella, campi));
        } catch (const db::Error &e) {
            throw ErroreTracciato(QStringLiteral("Fallita creazione tabella %1:\r%2").arg(tabella, e.message()), true);
        }
        const QString indice = creazioneIndiceLavoro(tabella, campi);
        if (!indice.isEmpty()) {
            try {
                db::executeSql(tra, indice);
            } catch (const db::Error &e) {
                throw ErroreTracciato(QStringLiteral("Fallita creazione indice IDX%1:\r%2").arg(tabella, e.message()), true);
            }
        }
        tra.commitRetaining();
        return tabella;
    }
    TCampoSQLList nelDb;
    nelDb.LeggiStrutturaTabella(tra, tabella);
    const QString diff = differenzaTracciato(campi, nelDb);
    if (!diff.isEmpty())
        throw ErroreTracciato(avvisoTracciatoDiverso(tabella, diff), false);
    return tabella;
}

QString testoAiutoTabellaLavoro()
{
    return QStringLiteral(
        "Per importare un file creando una tabella di lavoro, la prima riga del file deve contenere il tracciato: "
        "un campo per colonna, separati da \";\", nella forma qualificatore_NOME.\r"
        "La tabella aperta viene sostituita da quella importata.\r"
        "La tabella si chiama TMP_NomeFile (al massimo 24 caratteri del nome del file); se esiste già viene "
        "riutilizzata dopo aver verificato che il tracciato sia compatibile.\r\r"
        "Qualificatori:\r"
        "AXX_ (A= varchar, XX = numero di caratteri varchar - max 32765)\r"
        "D_ (D= data)\r"
        "I_ (l= long integer)\r"
        "S_ (S= small integer)\r"
        "N_ (N= float)\r"
        "NXX_ (N= decimal e XX precisione del decimal - max 6)\r"
        "M_ (M= memo testo)\r"
        "T_ (T= time)\r"
        "TS_ (TS= timestamp)\r\r"
        "Anteponendo * il campo fa parte della chiave primaria, anteponendo # il campo viene indicizzato.\r"
        "Es.: *A10_CODICE\r"
        "Es.: #A50_DESCRIZIONE");
}

} // namespace vardof::tabletools
