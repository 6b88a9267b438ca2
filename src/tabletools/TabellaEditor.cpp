#include "tabletools/TabellaEditor.h"

#include "context/SqlBuilders.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"

namespace vardof::tabletools {

namespace {

QString q(const QString &nome) { return db::quotedName(nome); }

QString parametro(std::vector<db::FieldValue> &parametri, const db::FieldValue &v)
{
    parametri.push_back(v);
    return QStringLiteral(":P%1").arg(parametri.size());
}

void esegui(db::Transaction &tra, const QString &sql, const std::vector<db::FieldValue> &parametri,
            qint64 *righe = nullptr)
{
    db::Statement st(tra, sql, db::ParamStyle::Named);
    for (size_t i = 0; i < parametri.size(); ++i)
        st.setParam(QStringLiteral("P%1").arg(i + 1), parametri[i]);
    st.execute();
    if (righe)
        *righe = st.rowsAffected();
}

bool iniziaCon(const QString &riga, const char *parola)
{
    return riga.trimmed().startsWith(QLatin1String(parola), Qt::CaseInsensitive);
}

bool numerica(const db::TableColumn &c)
{
    switch (c.typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
    case db::TypeFloat:
    case db::TypeDouble: return true;
    default: return false;
    }
}

} // namespace

TabellaEditor::TabellaEditor(db::Transaction &tra, const QString &tabella)
    : m_tra(tra), m_tabella(tabella)
{
    m_colonne = db::catalog::columns(tra, tabella);
    for (const db::TableColumn &c : m_colonne)
        if (!c.nullable)
            m_chiaveNotNull << c.name;
    m_pk = db::catalog::primaryKeyFields(tra, tabella);
}

QString TabellaEditor::tabellaQuotata() const { return q(m_tabella); }

const db::TableColumn *TabellaEditor::colonna(const QString &nome) const
{
    for (const db::TableColumn &c : m_colonne)
        if (c.name == nome)
            return &c;
    for (const db::TableColumn &c : m_colonne)
        if (c.name.compare(nome, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString TabellaEditor::nomeColonna(const QString &scritto) const
{
    const QString nome = db::catalog::columnName(m_tra, m_tabella, scritto);
    if (nome.isEmpty())
        throw std::invalid_argument(
            QStringLiteral("Il campo %1 non esiste nella tabella %2").arg(scritto, m_tabella).toStdString());
    return nome;
}

QStringList TabellaEditor::statementGriglia() const
{
    QStringList sql;
    if (usaDbKey())
        sql << QStringLiteral("SELECT ") + tabellaQuotata() + QStringLiteral(".RDB$DB_KEY, ") + tabellaQuotata()
                   + QStringLiteral(".* FROM ") + tabellaQuotata();
    else
        sql << QStringLiteral("SELECT * FROM ") + tabellaQuotata();
    if (!m_chiaveNotNull.isEmpty()) {
        sql << QStringLiteral("ORDER BY");
        for (qsizetype i = 0; i < m_chiaveNotNull.size(); ++i) {
            if (i)
                sql << QStringLiteral(",");
            sql << q(m_chiaveNotNull[i]);
        }
    }
    return sql;
}

QStringList TabellaEditor::statementSenzaFiltro() const
{
    if (usaDbKey())
        return {QStringLiteral("SELECT ") + tabellaQuotata() + QStringLiteral(".RDB$DB_KEY, ") + tabellaQuotata()
                + QStringLiteral(".* FROM ") + tabellaQuotata()};
    return {QStringLiteral("SELECT * FROM ") + tabellaQuotata()};
}

QStringList TabellaEditor::statementFiltrato(const QString &filtro) const
{
    QStringList sql = filtro.split(QLatin1Char('\n'));
    if (!m_chiaveNotNull.isEmpty()) {
        sql << QStringLiteral("ORDER BY");
        for (qsizetype i = 0; i < m_chiaveNotNull.size(); ++i) {
            if (i)
                sql << QStringLiteral(",");
            sql << q(m_chiaveNotNull[i]);
        }
    }
    return sql;
}

qint64 TabellaEditor::conta(const QStringList &statement) const
{
    QString sql;
    if (statement.isEmpty()) {
        sql = QStringLiteral("SELECT COUNT(*) FROM ") + tabellaQuotata();
    } else {
        // The ordering lines are not needed (and not allowed) in a derived table.
        QStringList righe;
        for (const QString &r : statement) {
            if (iniziaCon(r, "ORDER"))
                break;
            righe << r;
        }
        sql = QStringLiteral("SELECT COALESCE(COUNT(*),0) TOT FROM(\n") + righe.join(QLatin1Char('\n'))
              + QStringLiteral("\n)");
    }
    const db::FieldValue v = db::queryValue(m_tra, sql);
    return v ? db::toInt64(*v).value_or(0) : 0;
}

IdentitaRiga TabellaEditor::identita(const std::vector<db::Column> &colonne,
                                     const std::vector<db::FieldValue> &valori) const
{
    IdentitaRiga id;
    const auto indice = [&](const QString &nome) {
        for (size_t i = 0; i < colonne.size(); ++i) {
            const QString n = colonne[i].alias.isEmpty() ? colonne[i].name : colonne[i].alias;
            if (n == nome)
                return int(i);
        }
        return -1;
    };
    if (usaDbKey()) {
        for (size_t i = 0; i < colonne.size(); ++i)
            if (colonne[i].name == QLatin1String("DB_KEY") && !colonna(QStringLiteral("DB_KEY")) && i < valori.size()
                && valori[i] && std::holds_alternative<QByteArray>(*valori[i])) {
                id.dbKey = std::get<QByteArray>(*valori[i]);
                return id;
            }
    } else {
        bool tutte = true;
        for (const QString &k : m_pk) {
            const int i = indice(k);
            if (i < 0 || size_t(i) >= valori.size()) {
                tutte = false;
                break;
            }
            id.chiave.push_back(valori[size_t(i)]);
        }
        if (tutte)
            return id;
        id.chiave.clear();
    }
    for (const db::TableColumn &c : m_colonne) {
        if (c.typeCode == db::TypeBlob)
            continue;
        const int i = indice(c.name);
        if (i >= 0 && size_t(i) < valori.size())
            id.vecchiValori.emplace_back(c.name, valori[size_t(i)]);
    }
    return id;
}

QString TabellaEditor::condizioneRiga(const IdentitaRiga &riga, std::vector<db::FieldValue> &parametri) const
{
    QStringList parti;
    if (!riga.dbKey.isEmpty()) {
        parti << QStringLiteral("RDB$DB_KEY = ") + parametro(parametri, db::Value(riga.dbKey));
    } else if (!riga.chiave.empty()) {
        for (size_t i = 0; i < riga.chiave.size() && i < size_t(m_pk.size()); ++i)
            parti << QStringLiteral("(") + q(m_pk[qsizetype(i)]) + QStringLiteral("=") + parametro(parametri, riga.chiave[i])
                         + QStringLiteral(")");
    } else {
        for (const auto &[nome, valore] : riga.vecchiValori)
            parti << q(nome) + (valore ? QStringLiteral(" = ") + parametro(parametri, valore) : QStringLiteral(" IS NULL"));
    }
    if (parti.isEmpty())
        throw RigaNonTrovata();
    QString sql = QStringLiteral("\nWHERE ") + parti.join(QStringLiteral("\nAND "));
    if (riga.dbKey.isEmpty() && riga.chiave.empty())
        sql += QStringLiteral("\nROWS 1");
    return sql;
}

void TabellaEditor::aggiorna(const IdentitaRiga &riga, const std::vector<std::pair<QString, db::FieldValue>> &nuovi,
                             bool commit)
{
    if (nuovi.empty())
        return;
    std::vector<db::FieldValue> parametri;
    QStringList set;
    for (const auto &[nome, valore] : nuovi)
        set << q(nome) + QStringLiteral(" = ") + parametro(parametri, valore);
    const QString sql = QStringLiteral("UPDATE ") + tabellaQuotata() + QStringLiteral("\nSET ")
                        + set.join(QStringLiteral(",\n")) + condizioneRiga(riga, parametri);
    qint64 righe = 0;
    esegui(m_tra, sql, parametri, &righe);
    if (righe == 0)
        throw RigaNonTrovata();
    if (commit)
        m_tra.commitRetaining();
}

void TabellaEditor::cancella(const IdentitaRiga &riga, bool commit)
{
    std::vector<db::FieldValue> parametri;
    const QString sql = QStringLiteral("DELETE FROM ") + tabellaQuotata() + condizioneRiga(riga, parametri);
    qint64 righe = 0;
    esegui(m_tra, sql, parametri, &righe);
    if (righe == 0)
        throw RigaNonTrovata();
    if (commit)
        m_tra.commitRetaining();
}

std::vector<db::FieldValue> TabellaEditor::inserisci(const std::vector<std::pair<QString, db::FieldValue>> &valori,
                                                     const std::vector<db::Column> &griglia, bool commit)
{
    std::vector<db::FieldValue> parametri;
    QStringList nomi, marcatori;
    for (const auto &[nome, valore] : valori) {
        nomi << q(nome);
        marcatori << parametro(parametri, valore);
    }
    QString sql = QStringLiteral("INSERT INTO ") + tabellaQuotata();
    if (nomi.isEmpty())
        sql += QStringLiteral("\nDEFAULT VALUES");
    else
        sql += QStringLiteral(" (") + nomi.join(QLatin1Char(',')) + QStringLiteral(")\nVALUES (")
               + marcatori.join(QLatin1Char(',')) + QLatin1Char(')');
    // What the server stored, read back in the same statement: a key a
    // trigger or an identity gave is known without guessing.
    QStringList ritorno;
    std::vector<int> daRitorno(griglia.size(), -1);
    for (size_t i = 0; i < griglia.size(); ++i) {
        const db::Column &c = griglia[i];
        if (c.name == QLatin1String("DB_KEY") && !colonna(c.name)) {
            daRitorno[i] = int(ritorno.size());
            ritorno << QStringLiteral("RDB$DB_KEY");
        } else if (const db::TableColumn *t = colonna(c.name); t && t->typeCode != db::TypeBlob) {
            daRitorno[i] = int(ritorno.size());
            ritorno << q(t->name);
        }
    }
    if (!ritorno.isEmpty())
        sql += QStringLiteral("\nRETURNING ") + ritorno.join(QLatin1Char(','));
    db::Statement st(m_tra, sql, db::ParamStyle::Named);
    for (size_t i = 0; i < parametri.size(); ++i)
        st.setParam(QStringLiteral("P%1").arg(i + 1), parametri[i]);
    st.execute();
    const std::vector<db::FieldValue> tornati = st.returned();
    std::vector<db::FieldValue> riga(griglia.size());
    for (size_t i = 0; i < griglia.size(); ++i) {
        if (daRitorno[i] >= 0 && size_t(daRitorno[i]) < tornati.size()) {
            riga[i] = tornati[size_t(daRitorno[i])];
            continue;
        }
        for (const auto &[nome, valore] : valori)
            if (nome.compare(griglia[i].name, Qt::CaseInsensitive) == 0)
                riga[i] = valore;
    }
    if (commit)
        m_tra.commitRetaining();
    return riga;
}

std::vector<RigaLetta> TabellaEditor::leggi(const QStringList &statement, const QStringList &campi) const
{
    std::vector<RigaLetta> righe;
    db::Statement st(m_tra, statement.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    const std::vector<db::Column> &colonne = rs.columns();
    std::vector<int> indici;
    for (const QString &c : campi) {
        int trovato = -1;
        for (size_t i = 0; i < colonne.size(); ++i) {
            const QString n = colonne[i].alias.isEmpty() ? colonne[i].name : colonne[i].alias;
            if (n.compare(c, Qt::CaseInsensitive) == 0) {
                trovato = int(i);
                break;
            }
        }
        if (trovato < 0)
            throw std::invalid_argument(
                QStringLiteral("Il campo %1 non esiste nella tabella %2").arg(c, m_tabella).toStdString());
        indici.push_back(trovato);
    }
    std::vector<db::FieldValue> tutti(colonne.size());
    while (rs.next()) {
        for (size_t i = 0; i < colonne.size(); ++i)
            tutti[i] = colonne[i].typeCode == db::TypeBlob && !colonne[i].isTextBlob() ? db::FieldValue() : rs.value(int(i));
        RigaLetta r;
        r.identita = identita(colonne, tutti);
        for (int i : indici)
            r.valori.push_back(tutti[size_t(i)]);
        righe.push_back(std::move(r));
    }
    return righe;
}

bool TabellaEditor::filtrato(const QStringList &statement)
{
    for (const QString &r : statement)
        if (iniziaCon(r, "WHERE"))
            return true;
    return false;
}

QString TabellaEditor::condizioneFiltro(const QStringList &statement)
{
    QString condizione;
    bool dentro = false;
    for (const QString &r : statement) {
        if (!dentro && iniziaCon(r, "WHERE"))
            dentro = true;
        else if (dentro && (iniziaCon(r, "GROUP") || iniziaCon(r, "ORDER")))
            break;
        if (dentro)
            condizione += QLatin1Char(' ') + r;
    }
    return condizione;
}

qint64 TabellaEditor::ripetiValore(const QString &campo, const QString &valore, const QStringList &statement)
{
    const QString nome = nomeColonna(campo);
    if (!filtrato(statement)) {
        qint64 righe = 0;
        esegui(m_tra,
               QStringLiteral("UPDATE ") + tabellaQuotata() + QStringLiteral(" \n SET ") + q(nome)
                   + QStringLiteral(" = ") + context::quoted(valore),
               {}, &righe);
        m_tra.commitRetaining();
        return righe;
    }
    qint64 n = 0;
    for (const RigaLetta &r : leggi(statement, {}))
        aggiorna(r.identita, {{nome, db::FieldValue(valore)}}), ++n;
    return n;
}

qint64 TabellaEditor::riempiConZeri(const QString &campo, int lunghezza, const QStringList &statement)
{
    const QString nome = nomeColonna(campo);
    const QString n = QString::number(lunghezza);
    qint64 righe = 0;
    if (filtrato(statement)) {
        QString condizione = condizioneFiltro(statement).trimmed();
        condizione = condizione.mid(5); // after WHERE
        esegui(m_tra,
               QStringLiteral("UPDATE ") + tabellaQuotata() + QStringLiteral(" XX \n SET XX.") + q(nome)
                   + QStringLiteral(" = LPAD(XX.") + q(nome) + QStringLiteral(", ") + n + QStringLiteral(", '0')\n WHERE (")
                   + condizione + QStringLiteral(")\n AND CHAR_LENGTH(XX.") + q(nome) + QStringLiteral(") < ") + n,
               {}, &righe);
    } else {
        esegui(m_tra,
               QStringLiteral("UPDATE ") + tabellaQuotata() + QStringLiteral(" \n SET ") + q(nome) + QStringLiteral(" = LPAD(")
                   + q(nome) + QStringLiteral(", ") + n + QStringLiteral(", '0')\n WHERE CHAR_LENGTH(") + q(nome)
                   + QStringLiteral(") < ") + n,
               {}, &righe);
    }
    m_tra.commitRetaining();
    return righe;
}

void TabellaEditor::azzera()
{
    try {
        db::executeSql(m_tra, QStringLiteral("DELETE FROM ") + tabellaQuotata());
    } catch (...) {
        m_tra.commitRetaining();
        throw;
    }
    m_tra.commitRetaining();
}

QString campiPrimoIndice(db::Transaction &tra, const QString &tabella)
{
    db::Statement st(tra,
                     QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I\n"
                                    "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME\n"
                                    "WHERE I.RDB$RELATION_NAME = :T AND I.RDB$INDEX_ID = (\n"
                                    "  SELECT MIN(J.RDB$INDEX_ID) FROM RDB$INDICES J WHERE J.RDB$RELATION_NAME = :T)\n"
                                    "ORDER BY S.RDB$FIELD_POSITION"));
    st.setParam(QStringLiteral("T"), db::FieldValue(tabella));
    db::ResultSet rs = st.open();
    QStringList campi;
    while (rs.next())
        campi << rs.text(0);
    return campi.join(QLatin1Char(','));
}

QStringList TabellaEditor::colonneProgressivo() const
{
    const QString indice = campiPrimoIndice(m_tra, m_tabella);
    QStringList candidati;
    for (const db::TableColumn &c : m_colonne)
        if (numerica(c) && !indice.contains(c.name))
            candidati << c.name;
    return candidati;
}

qint64 TabellaEditor::generaProgressivo(const QString &campo, qint64 partenza, const QStringList &statement,
                                        const std::function<void(qint64, qint64)> &avanzamento)
{
    const QString nome = nomeColonna(campo);
    const std::vector<RigaLetta> righe = leggi(statement, {});
    qint64 numero = partenza;
    qint64 fatte = 0;
    try {
        for (const RigaLetta &r : righe) {
            aggiorna(r.identita, {{nome, db::Value(numero)}}, false);
            ++numero;
            ++fatte;
            if (avanzamento)
                avanzamento(fatte, qint64(righe.size()));
        }
    } catch (...) {
        // A numbering that stops half way would leave a gap nobody sees.
        m_tra.rollbackRetaining();
        throw;
    }
    m_tra.commitRetaining();
    return fatte;
}

} // namespace vardof::tabletools
