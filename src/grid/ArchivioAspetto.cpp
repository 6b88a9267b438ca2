#include "grid/ArchivioAspetto.h"

#include "context/SqlBuilders.h"
#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <cmath>

namespace vardof::grid {

namespace {

QString num(int v)
{
    return QString::number(v);
}

std::optional<int> intero(const db::ResultSet &rs, const QString &nome)
{
    const int i = rs.indexOf(nome);
    if (i < 0)
        return std::nullopt;
    const std::optional<qint64> v = rs.toInt64(i);
    if (!v)
        return std::nullopt;
    return int(*v);
}

QString testo(const db::ResultSet &rs, const QString &nome)
{
    const int i = rs.indexOf(nome);
    return i < 0 ? QString() : rs.text(i).trimmed();
}

db::FieldValue valore(const std::optional<int> &v)
{
    return v ? db::FieldValue(db::Value(qint64(*v))) : std::nullopt;
}

db::FieldValue valore(const QString &s)
{
    return db::Value(s);
}

QString esistenza(const QString &nome)
{
    return QStringLiteral("select RDB$RELATION_NAME from RDB$RELATIONS\nWHERE RDB$RELATION_NAME ='%1'").arg(nome);
}

QStringList righeChiaveMaiuscole(const ChiaveAspetto &k)
{
    return {QStringLiteral("  CODICESITUAZIONE=") + num(k.situazione), QStringLiteral("  AND"),
            QStringLiteral("  CODICEUTENTE=") + num(k.utente), QStringLiteral("  AND"),
            QStringLiteral("  CODICEPROGETTO=") + num(k.progetto)};
}

} // namespace

QStringList righeChiave(const ChiaveAspetto &k)
{
    return {QStringLiteral("WHERE (CodiceSituazione=%1)").arg(k.situazione),
            QStringLiteral("AND (CodiceUtente=%1)").arg(k.utente),
            QStringLiteral("AND (CodiceProgetto=%1)").arg(k.progetto)};
}

QStringList creazioneStoasp1()
{
    return {QStringLiteral("CREATE TABLE STOASP1("),
            QStringLiteral("CODICEPROGETTO Smallint NOT NULL,"),
            QStringLiteral("CODICESITUAZIONE Smallint NOT NULL,"),
            QStringLiteral("CODICEUTENTE Smallint NOT NULL,"),
            QStringLiteral("NOMECAMPO Varchar(31) NOT NULL,"),
            QStringLiteral("LARGHEZZA Float,"),
            QStringLiteral("POSIZIONE Smallint,"),
            QStringLiteral("NOMECOLONNA Varchar(31),"),
            QStringLiteral("ORDINAMENTO Smallint,"),
            QStringLiteral("VISIBILE Smallint,"),
            QStringLiteral("COLORECOLONNA Integer,"),
            QStringLiteral("ORIGINE Varchar(64),"),
            QStringLiteral("CONSTRAINT STOASP1_CHIAVEPRIMARIA PRIMARY KEY "
                           "(CODICEPROGETTO,CODICESITUAZIONE,CODICEUTENTE,NOMECAMPO));")};
}

QStringList creazioneStopos1()
{
    return {QStringLiteral("CREATE TABLE STOPOS1("),
            QStringLiteral("CODICEPROGETTO Smallint NOT NULL,"),
            QStringLiteral("CODICESITUAZIONE Smallint NOT NULL,"),
            QStringLiteral("CODICEUTENTE Smallint NOT NULL,"),
            QStringLiteral("POSX Smallint,"),
            QStringLiteral("POSY Smallint,"),
            QStringLiteral("DIMX Smallint,"),
            QStringLiteral("DIMY Smallint,"),
            QStringLiteral("INFO1 Float,"),
            QStringLiteral("INFO2 Float,"),
            QStringLiteral("INFO3 Smallint,"),
            QStringLiteral("INFO4 Smallint,"),
            QStringLiteral("INFO5 Varchar(10),"),
            QStringLiteral("INFO6 Varchar(10),"),
            QStringLiteral("CONSTRAINT STOPOS1_CHIAVEPRIMARIA PRIMARY KEY "
                           "(CODICEPROGETTO,CODICESITUAZIONE,CODICEUTENTE));")};
}

QStringList creazioneSetgrid()
{
    return {QStringLiteral("CREATE TABLE SETGRID("),
            QStringLiteral("CODICEPROGETTO Smallint NOT NULL,"),
            QStringLiteral("CODICEUTENTE Smallint NOT NULL,"),
            QStringLiteral("COLORERECORDSELEZ Integer,"),
            QStringLiteral("COLORECAMPIINDIC Integer,"),
            QStringLiteral("ABILITATIMERRIC Smallint,"),
            QStringLiteral("ABILITARICF5SEMPRE Smallint,"),
            QStringLiteral("COLORECAMPOORD Integer,"),
            QStringLiteral("CONSTRAINT SETGRID_CHIAVEPRIMARIA PRIMARY KEY (CODICEPROGETTO,CODICEUTENTE));")};
}

QStringList creazioneTabx()
{
    return {QStringLiteral("CREATE TABLE TABX("),
            QStringLiteral("  CODICE Integer NOT NULL,"),
            QStringLiteral("  CODPROGETTO Smallint,"),
            QStringLiteral("  CODSITUAZIONE Smallint,"),
            QStringLiteral("  TIPO Varchar(10),"),
            QStringLiteral("  NOME Varchar(64),"),
            QStringLiteral("  NUMERO Integer,"),
            QStringLiteral("  TESTO Varchar(128),"),
            QStringLiteral("  DATA Date,"),
            QStringLiteral("  MEMO Blob sub_type 1,"),
            QStringLiteral("  LIVELLO1 Smallint,"),
            QStringLiteral("  LIVELLO2 Smallint,"),
            QStringLiteral("  UTENTE Smallint,"),
            QStringLiteral("CONSTRAINT TABX_CHIAVEPRIMARIA PRIMARY KEY (CODICE))")};
}

void CreaTabelleAspetto(db::Attachment &impostazioni)
{
    db::Transaction tra(impostazioni);
    const std::pair<QString, QStringList> tabelle[] = {
        {QStringLiteral("STOASP1"), creazioneStoasp1()},
        {QStringLiteral("STOPOS1"), creazioneStopos1()},
        {QStringLiteral("SETGRID"), creazioneSetgrid()},
        {QStringLiteral("TABX"), creazioneTabx()},
    };
    for (const auto &[nome, creazione] : tabelle) {
        if (!db::queryValue(impostazioni, tra, esistenza(nome)))
            db::executeSql(impostazioni, tra, creazione.join(QLatin1Char('\n')));
    }
    tra.commit();
}

bool aspettoCambiato(const std::vector<RigaAspetto> &memorizzate, const std::vector<ColonnaAttuale> &colonne,
                     const StatoOrdinamento &ordinamento)
{
    if (memorizzate.size() != colonne.size())
        return true;
    for (size_t i = 0; i < colonne.size(); ++i) {
        const RigaAspetto &r = memorizzate[i];
        if (r.nomeCampo != colonne[i].nomeCampo.toUpper() || r.posizione != int(i)
            || r.larghezza != std::optional<double>(colonne[i].larghezza))
            return true;
    }
    // Every row holds what the sort in force gives it: a key that moved,
    // turned round or went away is a change.
    for (const RigaAspetto &r : memorizzate)
        if (r.ordinamento != codiceOrdinamento(ordinamento, r.nomeCampo))
            return true;
    return false;
}

ArchivioAspetto::ArchivioAspetto(db::Attachment &impostazioni, QString tabellaAspetto, QString tabellaPosizioni,
                                 QString tabellaImpostazioni)
    : m_db(impostazioni)
    , m_aspetto(tabellaAspetto.isEmpty() ? TabellaAspettoPredefinita : tabellaAspetto)
    , m_posizioni(tabellaPosizioni.isEmpty() ? TabellaPosizioniPredefinita : tabellaPosizioni)
    , m_impostazioni(tabellaImpostazioni.isEmpty() ? TabellaImpostazioniPredefinita : tabellaImpostazioni)
{
}

namespace {

RigaAspetto rigaDa(const db::ResultSet &rs)
{
    RigaAspetto r;
    r.nomeCampo = testo(rs, QStringLiteral("NOMECAMPO"));
    const int l = rs.indexOf(QStringLiteral("LARGHEZZA"));
    if (l >= 0)
        r.larghezza = rs.toDouble(l);
    r.posizione = intero(rs, QStringLiteral("POSIZIONE"));
    r.nomeColonna = testo(rs, QStringLiteral("NOMECOLONNA"));
    r.ordinamento = intero(rs, QStringLiteral("ORDINAMENTO"));
    r.visibile = intero(rs, QStringLiteral("VISIBILE"));
    r.colore = intero(rs, QStringLiteral("COLORECOLONNA"));
    r.origine = testo(rs, QStringLiteral("ORIGINE"));
    return r;
}

} // namespace

std::vector<RigaAspetto> ArchivioAspetto::leggi(const ChiaveAspetto &chiave, bool perPosizione) const
{
    db::Transaction tra(m_db);
    QStringList sql{QStringLiteral("SELECT * FROM \"%1\"").arg(m_aspetto)};
    sql << righeChiave(chiave);
    if (perPosizione)
        sql << QStringLiteral("ORDER BY Posizione");
    db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    std::vector<RigaAspetto> righe;
    while (rs.next())
        righe.push_back(rigaDa(rs));
    return righe;
}

void ArchivioAspetto::scrivi(const ChiaveAspetto &chiave, const std::vector<ColonnaAttuale> &colonne,
                             const StatoOrdinamento &ordinamento) const
{
    db::Transaction tra(m_db);
    // The lengths the table declares, so that a long name is cut, not refused.
    int lunghezzaNome = 31, lunghezzaOrigine = 64, lunghezzaTitolo = 31;
    {
        QStringList sql{QStringLiteral("SELECT * FROM \"%1\"").arg(m_aspetto)};
        sql << righeChiave(chiave) << QStringLiteral("ORDER BY Posizione");
        db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
        for (const db::Column &c : st.columns()) {
            const QString nome = c.alias.isEmpty() ? c.name : c.alias;
            if (nome == QLatin1String("NOMECAMPO"))
                lunghezzaNome = c.length;
            else if (nome == QLatin1String("ORIGINE"))
                lunghezzaOrigine = c.length;
            else if (nome == QLatin1String("NOMECOLONNA"))
                lunghezzaTitolo = c.length;
        }
    }
    QStringList cancella{QStringLiteral("DELETE FROM \"%1\"").arg(m_aspetto)};
    cancella << righeChiave(chiave);
    db::executeSql(m_db, tra, cancella.join(QLatin1Char('\n')));

    const QStringList inserisci{
        QStringLiteral("INSERT INTO %1(").arg(m_aspetto),
        QStringLiteral("CODICEPROGETTO,"), QStringLiteral("CODICESITUAZIONE,"), QStringLiteral("CODICEUTENTE,"),
        QStringLiteral("NOMECAMPO,"), QStringLiteral("LARGHEZZA,"), QStringLiteral("POSIZIONE,"),
        QStringLiteral("NOMECOLONNA,"), QStringLiteral("ORDINAMENTO,"), QStringLiteral("VISIBILE,"),
        QStringLiteral("COLORECOLONNA,"), QStringLiteral("ORIGINE"), QStringLiteral(")"), QStringLiteral("VALUES("),
        num(chiave.progetto) + QLatin1Char(','), num(chiave.situazione) + QLatin1Char(','),
        num(chiave.utente) + QLatin1Char(','), QStringLiteral(":NOMECAMPO,"), QStringLiteral(":LARGHEZZA,"),
        QStringLiteral(":POSIZIONE,"), QStringLiteral(":NOMECOLONNA,"), QStringLiteral(":ORDINAMENTO,"),
        QStringLiteral(":VISIBILE,"), QStringLiteral(":COLORECOLONNA,"), QStringLiteral(":ORIGINE"),
        QStringLiteral(")")};
    db::Statement st(m_db, tra, inserisci.join(QLatin1Char('\n')));
    for (size_t i = 0; i < colonne.size(); ++i) {
        const ColonnaAttuale &c = colonne[i];
        const QString nome = c.nomeCampo.left(lunghezzaNome).toUpper();
        st.setParam(QStringLiteral("NOMECAMPO"), valore(nome));
        st.setParam(QStringLiteral("ORIGINE"), valore(c.origine.left(lunghezzaOrigine).toUpper()));
        st.setParam(QStringLiteral("POSIZIONE"), valore(int(i)));
        st.setParam(QStringLiteral("LARGHEZZA"), db::Value(double(c.larghezza)));
        st.setParam(QStringLiteral("NOMECOLONNA"), valore(c.titolo.left(lunghezzaTitolo)));
        st.setParam(QStringLiteral("COLORECOLONNA"), valore(c.colore));
        st.setParam(QStringLiteral("VISIBILE"), valore(c.visibile ? 1 : 0));
        st.setParam(QStringLiteral("ORDINAMENTO"), valore(codiceOrdinamento(ordinamento, c.nomeCampo.toUpper())));
        st.execute();
    }
    tra.commit();
}

bool ArchivioAspetto::salva(const ChiaveAspetto &chiave, const std::vector<ColonnaAttuale> &colonne,
                            const StatoOrdinamento &ordinamento) const
{
    if (!aspettoCambiato(leggi(chiave), colonne, ordinamento))
        return false;
    scrivi(chiave, colonne, ordinamento);
    return true;
}

ModoOrdinamento ArchivioAspetto::leggiModo(const ChiaveAspetto &chiave) const
{
    db::Transaction tra(m_db);
    QStringList sql{QStringLiteral("SELECT * FROM \"%1\"").arg(m_aspetto)};
    sql << righeChiave(chiave) << QStringLiteral("AND (Ordinamento IS NOT NULL)")
        << QStringLiteral("AND (ABS(Ordinamento)>'2')");
    db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    return rs.next() ? ModoOrdinamento::Multiplo : ModoOrdinamento::Singolo;
}

StatoOrdinamento ordinamentoDaRighe(const std::vector<RigaAspetto> &righe, ModoOrdinamento modo,
                                    const CampiPersonalizzati &personalizzati)
{
    std::vector<RigaOrdinamento> chiavi;
    for (const RigaAspetto &r : righe)
        if (r.ordinamento)
            chiavi.push_back({r.nomeCampo, r.origine, r.posizione.value_or(-1), r.ordinamento});
    StatoOrdinamento stato;
    stato.modo = modo == ModoOrdinamento::Indeciso ? modoDaRighe(chiavi) : modo;
    caricaChiavi(stato, chiavi, personalizzati);
    return stato;
}

StatoOrdinamento ArchivioAspetto::leggiOrdinamento(const ChiaveAspetto &chiave, ModoOrdinamento modo,
                                                   const CampiPersonalizzati &personalizzati) const
{
    return ordinamentoDaRighe(leggi(chiave), modo, personalizzati);
}

Impostazioni ArchivioAspetto::leggiImpostazioni(int utente, int progetto) const
{
    Impostazioni imp;
    db::Transaction tra(m_db);
    const QStringList sql{QStringLiteral("SELECT * FROM \"%1\"").arg(m_impostazioni),
                          QStringLiteral("WHERE (CodiceUtente=%1)").arg(utente),
                          QStringLiteral("AND (CodiceProgetto=%1)").arg(progetto)};
    db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    if (rs.next()) {
        auto colore = [&](const char *nome, int predefinito) {
            const std::optional<int> v = intero(rs, QLatin1String(nome));
            return v && *v != 0 ? *v : predefinito;
        };
        imp.coloreRecordSelezionato = colore("COLORERECORDSELEZ", ColoreSistemaDesktop);
        imp.coloreIndicizzati = colore("COLORECAMPIINDIC", Giallo);
        imp.coloreOrdinamento = colore("COLORECAMPOORD", Rosso);
        imp.ricercaConPausa = intero(rs, QStringLiteral("ABILITATIMERRIC")) == 1;
        imp.ricercaSuOgniCampo = intero(rs, QStringLiteral("ABILITARICF5SEMPRE")) == 1;
    }
    return imp;
}

bool ArchivioAspetto::memorizzazioneDisabilitata(int utente) const noexcept
{
    try {
        db::Transaction tra(m_db);
        const QStringList sql{QStringLiteral("SELECT"), QStringLiteral("  TESTO"), QStringLiteral("FROM"),
                              QStringLiteral("  TABX"), QStringLiteral("WHERE"),
                              QStringLiteral("  NOME='DisabilitaMemPosGriglie'"), QStringLiteral("  AND"),
                              QStringLiteral("  UTENTE=%1").arg(utente)};
        db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        if (!rs.next())
            return false;
        bool ok = false;
        const int v = rs.text(0).trimmed().toInt(&ok);
        return ok && v == 1;
    } catch (...) {
        return false;
    }
}

std::optional<MemoriaDialogo> ArchivioAspetto::leggiMemoria(const ChiaveAspetto &chiave) const
{
    db::Transaction tra(m_db);
    QStringList sql{QStringLiteral("SELECT * FROM \"%1\"").arg(m_posizioni)};
    sql << righeChiave(chiave);
    db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    if (!rs.next())
        return std::nullopt;
    MemoriaDialogo m;
    m.posX = intero(rs, QStringLiteral("POSX")).value_or(0);
    m.posY = intero(rs, QStringLiteral("POSY")).value_or(0);
    m.tipo = intero(rs, QStringLiteral("INFO3")).value_or(0);
    m.upper = intero(rs, QStringLiteral("INFO4")) == 1;
    m.ordine = intero(rs, QStringLiteral("INFO1")).value_or(0);
    return m;
}

bool ArchivioAspetto::scriviMemoria(const ChiaveAspetto &chiave, const MemoriaDialogo &memoria) const
{
    const std::optional<MemoriaDialogo> attuale = leggiMemoria(chiave);
    if (attuale && *attuale == memoria)
        return false;
    db::Transaction tra(m_db);
    QStringList lettura{QStringLiteral("SELECT * FROM \"%1\"").arg(m_posizioni)};
    lettura << righeChiave(chiave);
    QStringList colonne;
    {
        db::Statement st(m_db, tra, lettura.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
        for (const db::Column &c : st.columns())
            colonne << (c.alias.isEmpty() ? c.name : c.alias);
    }
    QStringList sql;
    if (attuale) {
        sql << QStringLiteral("UPDATE \"%1\"").arg(m_posizioni) << QStringLiteral("SET");
        for (int i = 0; i < colonne.size(); ++i)
            sql << colonne[i] + QStringLiteral("=:") + colonne[i] + (i + 1 < colonne.size() ? QStringLiteral(",") : QString());
        sql << righeChiave(chiave);
    } else {
        sql << QStringLiteral("INSERT INTO \"%1\"").arg(m_posizioni) << QStringLiteral("(");
        for (int i = 0; i < colonne.size(); ++i)
            sql << colonne[i] + (i + 1 < colonne.size() ? QStringLiteral(",") : QString());
        sql << QStringLiteral(")") << QStringLiteral("VALUES") << QStringLiteral("(");
        for (int i = 0; i < colonne.size(); ++i)
            sql << QLatin1Char(':') + colonne[i] + (i + 1 < colonne.size() ? QStringLiteral(",") : QString());
        sql << QStringLiteral(")");
    }
    db::Statement st(m_db, tra, sql.join(QLatin1Char('\n')));
    // Columns this grid never writes keep what they hold on an update: read
    // them first; an insert leaves them NULL.
    std::vector<db::FieldValue> precedenti(size_t(colonne.size()));
    if (attuale) {
        db::Statement vecchia(m_db, tra, lettura.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
        db::ResultSet rs = vecchia.open();
        if (rs.next())
            for (int i = 0; i < colonne.size(); ++i)
                precedenti[size_t(i)] = rs.value(i);
    }
    for (int i = 0; i < colonne.size(); ++i) {
        const QString &c = colonne[i];
        db::FieldValue v = precedenti[size_t(i)];
        if (c == QLatin1String("CODICEPROGETTO"))
            v = db::Value(qint64(chiave.progetto));
        else if (c == QLatin1String("CODICESITUAZIONE"))
            v = db::Value(qint64(chiave.situazione));
        else if (c == QLatin1String("CODICEUTENTE"))
            v = db::Value(qint64(chiave.utente));
        else if (c == QLatin1String("POSX"))
            v = db::Value(qint64(memoria.posX));
        else if (c == QLatin1String("POSY"))
            v = db::Value(qint64(memoria.posY));
        else if (c == QLatin1String("INFO3"))
            v = db::Value(qint64(memoria.tipo));
        else if (c == QLatin1String("INFO4"))
            v = db::Value(qint64(memoria.upper ? 1 : 0));
        else if (c == QLatin1String("INFO1"))
            v = db::Value(double(memoria.ordine));
        if (st.hasParam(c))
            st.setParam(c, v);
    }
    st.execute();
    tra.commit();
    return true;
}

void ArchivioAspetto::ripristinaBase(const ChiaveAspetto &chiave) const
{
    db::Transaction tra(m_db);
    QStringList aspetto{QStringLiteral("DELETE FROM \"%1\"").arg(m_aspetto)};
    aspetto << righeChiave(chiave);
    db::executeSql(m_db, tra, aspetto.join(QLatin1Char('\n')));
    QStringList posizioni{QStringLiteral("DELETE FROM STOPOS1"), QStringLiteral("WHERE")};
    posizioni << righeChiaveMaiuscole(chiave);
    db::executeSql(m_db, tra, posizioni.join(QLatin1Char('\n')));
    tra.commit();
}

// ---- personalisation -------------------------------------------------------

Personalizzazione::Personalizzazione(db::Attachment &impostazioni, const QString &tabella, const ChiaveAspetto &chiave)
    : m_db(impostazioni)
    , m_tabella(tabella.isEmpty() ? TabellaAspettoPredefinita : tabella)
    , m_chiave(chiave)
    , m_tra(std::make_unique<db::Transaction>(impostazioni))
{
}

Personalizzazione::~Personalizzazione()
{
    annulla();
}

QStringList Personalizzazione::selezione() const
{
    return {QStringLiteral("SELECT NomeCampo, NomeColonna, ColoreColonna, Visibile, Posizione FROM \"%1\"").arg(m_tabella),
            QStringLiteral("WHERE (CodiceSituazione=%1)").arg(m_chiave.situazione),
            QStringLiteral("AND (CodiceUtente=%1)").arg(m_chiave.utente),
            QStringLiteral("AND (CodiceProgetto=%1)").arg(m_chiave.progetto)};
}

std::vector<RigaPersonalizzazione> Personalizzazione::carica()
{
    db::Statement st(m_db, *m_tra, selezione().join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    QStringList campi;
    for (const db::Column &c : st.columns())
        campi << (c.alias.isEmpty() ? c.name : c.alias);
    context::UpdateStatements set;
    context::GeneraSQLAggiornamento(campi, m_tabella, QStringLiteral("UPDATE"), set);
    m_update = set.modifica;
    m_update << QStringLiteral("WHERE (CodiceSituazione=%1)").arg(m_chiave.situazione)
             << QStringLiteral("AND(CodiceUtente=%1)").arg(m_chiave.utente) << QStringLiteral("AND(Posizione=:Posizione)")
             << QStringLiteral("AND(CodiceProgetto=%1)").arg(m_chiave.progetto);
    db::ResultSet rs = st.open();
    std::vector<RigaPersonalizzazione> righe;
    while (rs.next()) {
        RigaPersonalizzazione r;
        r.nomeCampo = testo(rs, QStringLiteral("NOMECAMPO"));
        r.nomeColonna = testo(rs, QStringLiteral("NOMECOLONNA"));
        r.colore = intero(rs, QStringLiteral("COLORECOLONNA"));
        r.visibile = intero(rs, QStringLiteral("VISIBILE"));
        r.posizione = intero(rs, QStringLiteral("POSIZIONE"));
        righe.push_back(r);
    }
    return righe;
}

void Personalizzazione::aggiorna(const RigaPersonalizzazione &riga)
{
    if (m_update.isEmpty())
        carica();
    db::Statement st(m_db, *m_tra, m_update.join(QLatin1Char('\n')));
    st.setParam(QStringLiteral("NOMECAMPO"), valore(riga.nomeCampo));
    st.setParam(QStringLiteral("NOMECOLONNA"), valore(riga.nomeColonna));
    st.setParam(QStringLiteral("COLORECOLONNA"), valore(riga.colore));
    st.setParam(QStringLiteral("VISIBILE"), valore(riga.visibile));
    st.setParam(QStringLiteral("POSIZIONE"), valore(riga.posizione));
    st.execute();
}

void Personalizzazione::conferma()
{
    if (m_tra->isActive())
        m_tra->commit();
}

void Personalizzazione::annulla() noexcept
{
    try {
        if (m_tra->isActive())
            m_tra->rollback();
    } catch (...) {
    }
}

// ---- copy --------------------------------------------------------------------

CopiaAspetto::CopiaAspetto(db::Attachment &impostazioni, const ChiaveAspetto &chiave)
    : m_db(impostazioni)
    , m_chiave(chiave)
    , m_tra(std::make_unique<db::Transaction>(
          impostazioni, QStringList{QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")}))
{
}

CopiaAspetto::~CopiaAspetto()
{
    try {
        if (m_tra->isActive())
            m_tra->rollback();
    } catch (...) {
    }
}

QList<int> CopiaAspetto::utenti()
{
    const QStringList sql{QStringLiteral("SELECT DISTINCT"), QStringLiteral("  CODICEUTENTE"), QStringLiteral("FROM"),
                          QStringLiteral("  STOASP1"), QStringLiteral("WHERE"),
                          QStringLiteral("  CODICEPROGETTO=") + num(m_chiave.progetto), QStringLiteral("  AND"),
                          QStringLiteral("  CODICESITUAZIONE=") + num(m_chiave.situazione), QStringLiteral("  AND"),
                          QStringLiteral("  CODICEUTENTE<>") + num(m_chiave.utente), QStringLiteral("ORDER BY"),
                          QStringLiteral("  CODICEUTENTE")};
    db::Statement st(m_db, *m_tra, sql.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QList<int> utenti;
    while (rs.next())
        if (const std::optional<qint64> u = rs.toInt64(0))
            utenti << int(*u);
    return utenti;
}

void CopiaAspetto::azzera()
{
    QStringList sql{QStringLiteral("DELETE FROM STOASP1"), QStringLiteral("WHERE")};
    sql << righeChiaveMaiuscole(m_chiave);
    db::executeSql(m_db, *m_tra, sql.join(QLatin1Char('\n')));
}

void CopiaAspetto::copiaDa(int utente)
{
    const QStringList sql{
        QStringLiteral("INSERT INTO STOASP1("), QStringLiteral("CODICEPROGETTO,"), QStringLiteral("CODICESITUAZIONE,"),
        QStringLiteral("CODICEUTENTE,"), QStringLiteral("NOMECAMPO,"), QStringLiteral("LARGHEZZA,"),
        QStringLiteral("POSIZIONE,"), QStringLiteral("NOMECOLONNA,"), QStringLiteral("ORDINAMENTO,"),
        QStringLiteral("VISIBILE,"), QStringLiteral("COLORECOLONNA,"), QStringLiteral("ORIGINE"), QStringLiteral(")"),
        QStringLiteral("SELECT"), QStringLiteral("  CODICEPROGETTO,"), QStringLiteral("  CODICESITUAZIONE,"),
        QStringLiteral("  %1 AS CODICEUTENTE,").arg(m_chiave.utente), QStringLiteral("  NOMECAMPO,"),
        QStringLiteral("  LARGHEZZA,"), QStringLiteral("  POSIZIONE,"), QStringLiteral("  NOMECOLONNA,"),
        QStringLiteral("  ORDINAMENTO,"), QStringLiteral("  VISIBILE,"), QStringLiteral("  COLORECOLONNA,"),
        QStringLiteral("  ORIGINE"), QStringLiteral("FROM"), QStringLiteral("  STOASP1"), QStringLiteral("WHERE"),
        QStringLiteral("  CODICESITUAZIONE=") + num(m_chiave.situazione), QStringLiteral("  AND"),
        QStringLiteral("  CODICEUTENTE=") + num(utente), QStringLiteral("  AND"),
        QStringLiteral("  CODICEPROGETTO=") + num(m_chiave.progetto)};
    db::executeSql(m_db, *m_tra, sql.join(QLatin1Char('\n')));
}

void CopiaAspetto::conferma()
{
    m_tra->commit();
}

// ---- cleanup -----------------------------------------------------------------

std::optional<int> codiceUtenteDaVoce(const QString &voce)
{
    const QString primo = voce.section(QLatin1Char('-'), 0, 0).trimmed().section(QLatin1Char(' '), 0, 0).trimmed();
    bool ok = false;
    const int codice = primo.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return codice;
}

QStringList pulizia(const QString &tabella, int utente, const std::optional<QString> &progetto,
                    const std::optional<QString> &situazione)
{
    QStringList sql{QStringLiteral("DELETE FROM %1 WHERE CODICEUTENTE=%2").arg(tabella).arg(utente)};
    if (progetto)
        sql << QStringLiteral("AND CODICEPROGETTO=") + context::quoted(*progetto);
    if (situazione)
        sql << QStringLiteral("AND CODICESITUAZIONE=") + context::quoted(*situazione);
    return sql;
}

void pulisciAspetti(db::Attachment &att, db::Transaction &tra, int utente, const std::optional<QString> &progetto,
                    const std::optional<QString> &situazione)
{
    // An archive whose grids never stored a layout has neither table: there
    // is then nothing to clean, which is no error for the user.
    for (const QString &tabella : {QStringLiteral("STOASP1"), QStringLiteral("STOPOS1")})
        if (db::catalog::relationExists(tra, tabella))
            db::executeSql(att, tra, pulizia(tabella, utente, progetto, situazione).join(QLatin1Char('\n')));
    tra.commit();
}

} // namespace vardof::grid

namespace vardof::grid {

QStringList vociUtenti(db::Attachment &utenti, db::Transaction &tra)
{
    db::Statement st(utenti, tra, QStringLiteral("SELECT CODICE, NOMEUTENTE FROM UTENTI ORDER BY NOMEUTENTE"),
                     db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QStringList voci;
    while (rs.next())
        voci << rs.text(0).trimmed() + QStringLiteral(" - ") + rs.text(1).trimmed();
    return voci;
}

} // namespace vardof::grid
