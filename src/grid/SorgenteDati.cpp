#include "grid/SorgenteDati.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <algorithm>
#include <stdexcept>

namespace vardof::grid {

// ---- any source ----------------------------------------------------------------

SorgenteDati::~SorgenteDati() = default;

void SorgenteDati::open()
{
    if (m_aperta)
        return;
    if (primaDellApertura)
        primaDellApertura(*this);
    apri();
    m_aperta = true;
    emit aperta();
    if (dopoLApertura)
        dopoLApertura(*this);
}

void SorgenteDati::close()
{
    if (!m_aperta)
        return;
    if (primaDellaChiusura)
        primaDellaChiusura(*this);
    chiudiSenzaGestori();
}

void SorgenteDati::chiudiSenzaGestori() noexcept
{
    const bool eraAperta = m_aperta;
    m_aperta = false;
    chiudi();
    if (eraAperta)
        emit chiusa();
}

QString SorgenteDati::nomeCampo(int i) const
{
    const db::Column &c = colonna(i);
    return c.alias.isEmpty() ? c.name : c.alias;
}

QString SorgenteDati::origine(int i) const
{
    const db::Column &c = colonna(i);
    if (c.relation.isEmpty() || c.name.isEmpty())
        return QString();
    return c.relation + QLatin1Char('.') + c.name;
}

int SorgenteDati::indiceCampo(const QString &nome) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (nomeCampo(i).compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// ---- statement -----------------------------------------------------------------

SorgenteQuery::SorgenteQuery(QObject *parent)
    : SorgenteDati(parent)
{
}

SorgenteQuery::~SorgenteQuery()
{
    chiudi();
}

void SorgenteQuery::attach(db::Attachment &att, db::Transaction &tra)
{
    chiudiSenzaGestori();
    m_att = &att;
    m_tra = &tra;
}

void SorgenteQuery::apri()
{
    chiudi();
    if (!m_att || !m_tra)
        throw db::Error(QStringLiteral("La sorgente dati non è collegata a un database"));
    try {
        m_statement = std::make_unique<db::Statement>(*m_att, *m_tra, testo(),
                                                      m_parametri.empty() ? db::ParamStyle::AsWritten
                                                                          : db::ParamStyle::Named);
        for (const auto &[nome, valore] : m_parametri)
            m_statement->setParam(nome, valore);
        m_cursore = m_statement->open();
        m_colonne = m_cursore.columns();
        m_fine = false;
    } catch (...) {
        chiudi();
        throw;
    }
}

void SorgenteQuery::chiudi() noexcept
{
    m_cursore.close();
    if (m_statement) {
        m_statement->close();
        m_statement.reset();
    }
    m_righe.clear();
    m_colonne.clear();
    m_fine = true;
}

int SorgenteQuery::fetchMore(int count)
{
    if (!isOpen() || m_fine)
        return 0;
    int aggiunte = 0;
    try {
        while (aggiunte < count) {
            if (!m_cursore.next()) {
                m_fine = true;
                break;
            }
            m_righe.append(m_cursore);
            ++aggiunte;
        }
    } catch (...) {
        chiudiSenzaGestori();
        throw;
    }
    return aggiunte;
}

void SorgenteQuery::fetchAll()
{
    const int prima = fetchedCount();
    while (isOpen() && !m_fine)
        fetchMore(4096);
    if (fetchedCount() != prima)
        emit righeAggiunte();
}

db::FieldValue SorgenteQuery::value(int row, int column) const
{
    if (column < 0 || column >= columnCount())
        throw std::out_of_range("SorgenteQuery::value");
    return m_righe.value(row, column);
}

std::vector<db::Column> SorgenteQuery::descrivi(const QString &testo) const
{
    if (!m_att || !m_tra)
        return {};
    db::Statement st(*m_att, *m_tra, testo, db::ParamStyle::AsWritten);
    return st.columns();
}

// ---- in-memory table -----------------------------------------------------------

TabellaMemoria::TabellaMemoria(QObject *parent)
    : SorgenteDati(parent)
{
}

void TabellaMemoria::setColonne(std::vector<db::Column> colonne)
{
    m_colonne = std::move(colonne);
}

void TabellaMemoria::aggiungiRiga(std::vector<db::FieldValue> riga)
{
    riga.resize(m_colonne.size());
    m_righe.push_back(std::move(riga));
    if (isOpen())
        ricostruisci();
}

void TabellaMemoria::svuota()
{
    m_righe.clear();
    m_vista.clear();
}

void TabellaMemoria::setFiltroAttivo(bool attivo)
{
    m_filtroAttivo = attivo;
    if (isOpen()) {
        ricostruisci();
        emit aperta();
    }
}

void TabellaMemoria::ordina(const QStringList &campi, bool decrescente)
{
    m_ordine = campi;
    m_decrescente = decrescente;
    if (isOpen()) {
        ricostruisci();
        emit aperta();
    }
}

void TabellaMemoria::ricostruisci()
{
    m_vista.clear();
    for (int i = 0; i < int(m_righe.size()); ++i)
        if (!m_filtroAttivo || !m_filtro || m_filtro(m_righe[size_t(i)]))
            m_vista.push_back(i);
    std::vector<int> indici;
    for (const QString &c : m_ordine) {
        const int i = indiceCampo(c);
        if (i >= 0)
            indici.push_back(i);
    }
    if (indici.empty())
        return;
    std::stable_sort(m_vista.begin(), m_vista.end(), [&](int a, int b) {
        for (int c : indici) {
            const int r = db::toText(m_righe[size_t(a)][size_t(c)])
                              .compare(db::toText(m_righe[size_t(b)][size_t(c)]), Qt::CaseInsensitive);
            if (r != 0)
                return m_decrescente ? r > 0 : r < 0;
        }
        return false;
    });
}

db::FieldValue TabellaMemoria::value(int row, int column) const
{
    return m_righe.at(size_t(m_vista.at(size_t(row)))).at(size_t(column));
}

void TabellaMemoria::apri()
{
    ricostruisci();
}

void TabellaMemoria::chiudi() noexcept
{
    m_vista.clear();
}

} // namespace vardof::grid
