#include "grid/SorgenteDati.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vardof::grid {

// ---- packed rows -------------------------------------------------------------

namespace {

constexpr size_t kBlocco = size_t(1) << 20;

enum Tag : quint8 { TNull, TFalse, TTrue, TInt, TDouble, TDecimal, TText, TDate, TTime, TDateTime, TBytes };

constexpr qint64 kDataNonValida = std::numeric_limits<qint64>::min() / 2;

void putVarint(QByteArray &b, quint64 v)
{
    while (v >= 0x80) {
        b.append(char(quint8(v) | 0x80));
        v >>= 7;
    }
    b.append(char(quint8(v)));
}

quint64 getVarint(const char *&p)
{
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        const quint8 c = quint8(*p++);
        v |= quint64(c & 0x7f) << shift;
        if (!(c & 0x80))
            return v;
        shift += 7;
    }
}

quint64 zig(qint64 v)
{
    return (quint64(v) << 1) ^ quint64(v >> 63);
}

qint64 unzig(quint64 v)
{
    return qint64(v >> 1) ^ -qint64(v & 1);
}

void putBytes(QByteArray &b, const QByteArray &bytes)
{
    putVarint(b, quint64(bytes.size()));
    b.append(bytes);
}

void encode(QByteArray &b, const db::FieldValue &fv)
{
    if (!fv) {
        b.append(char(TNull));
        return;
    }
    std::visit(
        [&b](const auto &v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                b.append(char(v ? TTrue : TFalse));
            } else if constexpr (std::is_same_v<T, qint64>) {
                b.append(char(TInt));
                putVarint(b, zig(v));
            } else if constexpr (std::is_same_v<T, double>) {
                b.append(char(TDouble));
                char raw[sizeof(double)];
                std::memcpy(raw, &v, sizeof raw);
                b.append(raw, sizeof raw);
            } else if constexpr (std::is_same_v<T, db::Decimal>) {
                b.append(char(TDecimal));
                putVarint(b, zig(v.units));
                putVarint(b, quint64(v.scale));
            } else if constexpr (std::is_same_v<T, QString>) {
                b.append(char(TText));
                putBytes(b, v.toUtf8());
            } else if constexpr (std::is_same_v<T, QDate>) {
                b.append(char(TDate));
                putVarint(b, zig(v.isValid() ? v.toJulianDay() : kDataNonValida));
            } else if constexpr (std::is_same_v<T, QTime>) {
                b.append(char(TTime));
                putVarint(b, v.isValid() ? quint64(v.msecsSinceStartOfDay()) + 1 : 0);
            } else if constexpr (std::is_same_v<T, QDateTime>) {
                b.append(char(TDateTime));
                const QDate d = v.date();
                putVarint(b, zig(d.isValid() ? d.toJulianDay() : kDataNonValida));
                putVarint(b, v.time().isValid() ? quint64(v.time().msecsSinceStartOfDay()) + 1 : 0);
            } else if constexpr (std::is_same_v<T, QByteArray>) {
                b.append(char(TBytes));
                putBytes(b, v);
            }
        },
        *fv);
}

QDate dateFrom(qint64 jd)
{
    return jd == kDataNonValida ? QDate() : QDate::fromJulianDay(jd);
}

QTime timeFrom(quint64 v)
{
    return v == 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(int(v - 1));
}

db::FieldValue decode(const char *&p)
{
    const quint8 tag = quint8(*p++);
    switch (tag) {
    case TFalse:
        return db::Value(false);
    case TTrue:
        return db::Value(true);
    case TInt:
        return db::Value(unzig(getVarint(p)));
    case TDouble: {
        double d;
        std::memcpy(&d, p, sizeof d);
        p += sizeof d;
        return db::Value(d);
    }
    case TDecimal: {
        db::Decimal d;
        d.units = unzig(getVarint(p));
        d.scale = int(getVarint(p));
        return db::Value(d);
    }
    case TText: {
        const auto n = qsizetype(getVarint(p));
        const QString s = QString::fromUtf8(p, n);
        p += n;
        return db::Value(s);
    }
    case TDate:
        return db::Value(dateFrom(unzig(getVarint(p))));
    case TTime:
        return db::Value(timeFrom(getVarint(p)));
    case TDateTime: {
        const QDate d = dateFrom(unzig(getVarint(p)));
        const QTime t = timeFrom(getVarint(p));
        return db::Value(QDateTime(d, t));
    }
    case TBytes: {
        const auto n = qsizetype(getVarint(p));
        QByteArray b(p, n);
        p += n;
        return db::Value(b);
    }
    default:
        return std::nullopt;
    }
}

void skip(const char *&p)
{
    const quint8 tag = quint8(*p++);
    switch (tag) {
    case TInt:
    case TDate:
    case TTime:
        getVarint(p);
        break;
    case TDecimal:
    case TDateTime:
        getVarint(p);
        getVarint(p);
        break;
    case TDouble:
        p += sizeof(double);
        break;
    case TText:
    case TBytes: {
        const auto n = getVarint(p);
        p += n;
        break;
    }
    default:
        break;
    }
}

} // namespace

RigheImpacchettate::RigheImpacchettate() = default;
RigheImpacchettate::~RigheImpacchettate() = default;
RigheImpacchettate::RigheImpacchettate(RigheImpacchettate &&) noexcept = default;
RigheImpacchettate &RigheImpacchettate::operator=(RigheImpacchettate &&) noexcept = default;

void RigheImpacchettate::clear()
{
    m_righe.clear();
    m_righe.shrink_to_fit();
    m_blocchi.clear();
    m_usato = 0;
    m_dimensione = 0;
}

void RigheImpacchettate::aggiungi(const std::vector<db::FieldValue> &riga)
{
    QByteArray packed;
    for (const db::FieldValue &v : riga)
        encode(packed, v);
    accoda(packed);
}

void RigheImpacchettate::aggiungi(const db::ResultSet &cursore)
{
    QByteArray packed;
    for (int i = 0; i < cursore.columnCount(); ++i)
        encode(packed, cursore.value(i));
    accoda(packed);
}

void RigheImpacchettate::accoda(const QByteArray &packed)
{
    const size_t n = size_t(packed.size());
    if (m_blocchi.empty() || m_usato + n > m_dimensione) {
        m_dimensione = std::max(kBlocco, n);
        // Not zero-filled: every byte handed out is written first.
        m_blocchi.push_back(std::unique_ptr<char[]>(new char[m_dimensione]));
        m_usato = 0;
    }
    std::memcpy(m_blocchi.back().get() + m_usato, packed.constData(), n);
    m_righe.push_back((quint64(m_blocchi.size() - 1) << 32) | quint64(m_usato));
    m_usato += n;
}

const char *RigheImpacchettate::dati(int riga) const
{
    const quint64 ref = m_righe.at(size_t(riga));
    return m_blocchi[size_t(ref >> 32)].get() + (ref & 0xffffffffu);
}

db::FieldValue RigheImpacchettate::value(int riga, int colonna) const
{
    const char *p = dati(riga);
    for (int i = 0; i < colonna; ++i)
        skip(p);
    return decode(p);
}

std::vector<db::FieldValue> RigheImpacchettate::riga(int riga, int colonne) const
{
    std::vector<db::FieldValue> valori;
    const char *p = dati(riga);
    for (int i = 0; i < colonne; ++i)
        valori.push_back(decode(p));
    return valori;
}

size_t RigheImpacchettate::byte() const
{
    return m_blocchi.size() * kBlocco + m_righe.capacity() * sizeof(quint64);
}

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
            m_righe.aggiungi(m_cursore);
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
