#include "tabletools/ui/ModelloEditabile.h"

#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "platform/Formats.h"
#include "tabletools/TabellaEditor.h"

#include <QBrush>
#include <QColor>

namespace vardof::tabletools {

ModelloEditabile::ModelloEditabile(QObject *parent) : QIdentityProxyModel(parent) {}

void ModelloEditabile::setGriglia(grid::ModelloGriglia *griglia)
{
    m_griglia = griglia;
    setSourceModel(griglia);
    connect(griglia, &QAbstractItemModel::modelReset, this, [this] {
        m_postati.clear();
        m_pendenti.clear();
    });
}

void ModelloEditabile::setTabella(TabellaEditor *tabella) { m_tabella = tabella; }

void ModelloEditabile::azzera()
{
    m_postati.clear();
    m_pendenti.clear();
}

db::FieldValue ModelloEditabile::valore(int row, int column) const
{
    const auto it = m_postati.constFind(chiave(row, column));
    if (it != m_postati.constEnd())
        return *it;
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!s || row >= s->fetchedCount())
        return {};
    return s->value(row, column);
}

std::vector<db::FieldValue> ModelloEditabile::valori(int row) const
{
    std::vector<db::FieldValue> v;
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!s)
        return v;
    for (int c = 0; c < s->columnCount(); ++c)
        v.push_back(valore(row, c));
    return v;
}

Qt::ItemFlags ModelloEditabile::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QIdentityProxyModel::flags(index);
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (m_tabella && s && index.isValid()) {
        const db::Column &c = s->colonna(index.column());
        // RDB$DB_KEY (no column of the table) and binary blobs are not typed into.
        if (!(c.typeCode == db::TypeBlob && !c.isTextBlob()) && m_tabella->colonna(c.name))
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant ModelloEditabile::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const quint64 k = chiave(index.row(), index.column());
    const auto pendente = m_pendenti.constFind(k);
    if (pendente != m_pendenti.constEnd()) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return *pendente;
        if (role == Qt::ForegroundRole)
            return QBrush(QColor(Qt::red));
        if (role == Qt::ToolTipRole)
            return m_errore;
    }
    const auto postato = m_postati.constFind(k);
    if (postato != m_postati.constEnd() && (role == Qt::DisplayRole || role == Qt::EditRole))
        return db::toText(*postato);
    if (role == Qt::EditRole)
        return db::toText(valore(index.row(), index.column()));
    return QIdentityProxyModel::data(index, role);
}

std::optional<db::FieldValue> ModelloEditabile::daTesto(int column, const QString &testo) const
{
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!s)
        return std::nullopt;
    if (testo.isEmpty())
        return db::FieldValue();
    const db::Column &c = s->colonna(column);
    switch (c.typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        if (c.scale > 0) {
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
        return std::nullopt;
    default: return db::FieldValue(testo);
    }
}

bool ModelloEditabile::posta(int row, int column, const db::FieldValue &value)
{
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!m_tabella || !s)
        return false;
    std::vector<db::Column> colonne;
    for (int c = 0; c < s->columnCount(); ++c)
        colonne.push_back(s->colonna(c));
    const IdentitaRiga id = m_tabella->identita(colonne, valori(row));
    const QString nome = s->colonna(column).name;
    try {
        m_tabella->aggiorna(id, {{nome, value}});
    } catch (const db::Error &e) {
        m_errore = QStringLiteral("Salvataggio della riga non riuscito") + QLatin1Char('\r') + e.message();
        return false;
    } catch (const RigaNonTrovata &) {
        m_errore = QStringLiteral("Salvataggio della riga non riuscito") + QLatin1Char('\r') + kMsgRigaNonTrovata;
        return false;
    }
    m_postati.insert(chiave(row, column), value);
    m_pendenti.remove(chiave(row, column));
    return true;
}

bool ModelloEditabile::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString testo = value.toString();
    if (testo == db::toText(valore(index.row(), index.column())) && !m_pendenti.contains(chiave(index.row(), index.column())))
        return false;
    const std::optional<db::FieldValue> v = daTesto(index.column(), testo);
    bool ok = false;
    if (!v) {
        m_errore = QStringLiteral("Valore non valido per il campo %1: \"%2\"")
                       .arg(m_griglia->sorgente()->colonna(index.column()).name, testo);
    } else {
        ok = posta(index.row(), index.column(), *v);
    }
    if (!ok) {
        // What was typed stays on screen, marked, until it is posted or the grid reloads.
        m_pendenti.insert(chiave(index.row(), index.column()), testo);
        if (rifiutato)
            rifiutato(m_errore);
    }
    emit dataChanged(index, index);
    return ok;
}

} // namespace vardof::tabletools
