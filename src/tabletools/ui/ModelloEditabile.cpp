#include "tabletools/ui/ModelloEditabile.h"

#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "tabletools/StoSql.h"
#include "tabletools/TabellaEditor.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace vardof::tabletools {

namespace {

const QString kInserimentoFallito = QStringLiteral("Inserimento della riga non riuscito");
const QString kCancellazioneFallita = QStringLiteral("Cancellazione della riga non riuscita");

} // namespace

ModelloEditabile::ModelloEditabile(QObject *parent) : QAbstractTableModel(parent) {}

void ModelloEditabile::setGriglia(grid::ModelloGriglia *griglia)
{
    beginResetModel();
    if (m_griglia)
        disconnect(m_griglia, nullptr, this, nullptr);
    m_griglia = griglia;
    ricomincia();
    endResetModel();
    if (!griglia)
        return;
    connect(griglia, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(griglia, &QAbstractItemModel::modelReset, this, [this] {
        ricomincia();
        endResetModel();
    });
    // The grid only ever appends the rows it fetched.
    connect(griglia, &QAbstractItemModel::rowsAboutToBeInserted, this, [this](const QModelIndex &, int first, int last) {
        const int n = int(m_righe.size());
        beginInsertRows(QModelIndex(), n, n + last - first);
    });
    connect(griglia, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        for (int r = first; r <= last; ++r)
            m_righe.push_back(r);
        m_righeGriglia = last + 1;
        endInsertRows();
    });
    connect(griglia, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &ruoli) {
                if (rowCount() > 0 && columnCount() > 0)
                    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), ruoli);
            });
    connect(griglia, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o, int first, int last) {
        if (o == Qt::Horizontal)
            emit headerDataChanged(o, first, last);
    });
}

void ModelloEditabile::setTabella(TabellaEditor *tabella) { m_tabella = tabella; }

void ModelloEditabile::ricomincia()
{
    m_righe.clear();
    m_nuove.clear();
    m_postati.clear();
    m_pendenti.clear();
    m_righeGriglia = m_griglia ? m_griglia->rowCount() : 0;
    m_righe.reserve(size_t(m_righeGriglia));
    for (int r = 0; r < m_righeGriglia; ++r)
        m_righe.push_back(r);
}

void ModelloEditabile::azzera()
{
    beginResetModel();
    ricomincia();
    endResetModel();
}

int ModelloEditabile::riga(int id) const
{
    // Rows of the grid keep their order: a short search from where the id
    // would be without additions and removals.
    const auto it = std::find(m_righe.begin(), m_righe.end(), id);
    return it == m_righe.end() ? -1 : int(it - m_righe.begin());
}

void ModelloEditabile::dimenticaRiga(int id)
{
    m_nuove.remove(id);
    const int colonne = columnCount();
    for (int c = 0; c < colonne; ++c) {
        m_postati.remove(chiave(id, c));
        m_pendenti.remove(chiave(id, c));
    }
}

std::vector<db::Column> ModelloEditabile::colonne() const
{
    std::vector<db::Column> v;
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    for (int c = 0; s && c < s->columnCount(); ++c)
        v.push_back(s->colonna(c));
    return v;
}

int ModelloEditabile::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int ModelloEditabile::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_griglia ? 0 : m_griglia->columnCount();
}

bool ModelloEditabile::canFetchMore(const QModelIndex &parent) const
{
    return m_griglia && m_griglia->canFetchMore(parent);
}

void ModelloEditabile::fetchMore(const QModelIndex &parent)
{
    if (m_griglia)
        m_griglia->fetchMore(parent);
}

db::FieldValue ModelloEditabile::valore(int row, int column) const
{
    const int i = id(row);
    if (row < 0 || row >= rowCount())
        return {};
    if (i < 0) {
        const auto n = m_nuove.constFind(i);
        return n != m_nuove.constEnd() && size_t(column) < n->valori.size() ? n->valori[size_t(column)] : db::FieldValue();
    }
    const auto it = m_postati.constFind(chiave(i, column));
    if (it != m_postati.constEnd())
        return *it;
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!s || i >= s->fetchedCount())
        return {};
    return s->value(i, column);
}

std::vector<db::FieldValue> ModelloEditabile::valori(int row) const
{
    std::vector<db::FieldValue> v;
    for (int c = 0; c < columnCount(); ++c)
        v.push_back(valore(row, c));
    return v;
}

bool ModelloEditabile::rigaNuova(int row) const
{
    const int i = id(row);
    if (i >= 0 || row < 0 || row >= rowCount())
        return false;
    const auto n = m_nuove.constFind(i);
    return n != m_nuove.constEnd() && !n->salvata;
}

bool ModelloEditabile::haModificheNonSalvate() const { return !m_pendenti.isEmpty() || rigaNuovaDaSalvare() >= 0; }

Qt::ItemFlags ModelloEditabile::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (m_tabella && s && index.column() < s->columnCount()) {
        const db::Column &c = s->colonna(index.column());
        // RDB$DB_KEY (no column of the table) and binary blobs are not typed into.
        if (!(c.typeCode == db::TypeBlob && !c.isTextBlob()) && m_tabella->colonna(c.name))
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant ModelloEditabile::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(rigaNuova(section) ? QStringLiteral("*") : QString()) : QVariant();
    return m_griglia ? m_griglia->headerData(section, orientation, role) : QVariant();
}

QVariant ModelloEditabile::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || !m_griglia)
        return {};
    const int i = id(index.row());
    const quint64 k = chiave(i, index.column());
    const auto pendente = m_pendenti.constFind(k);
    if (pendente != m_pendenti.constEnd()) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return *pendente;
        if (role == Qt::ForegroundRole)
            return QBrush(QColor(Qt::red));
        if (role == Qt::ToolTipRole)
            return m_errore;
    }
    if (i < 0) {
        // A new row: what was typed (or, once saved, what the table stored).
        grid::SorgenteDati *s = m_griglia->sorgente();
        if (!s || index.column() >= s->columnCount())
            return {};
        const db::Column &c = s->colonna(index.column());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            const db::FieldValue v = valore(index.row(), index.column());
            if (!v)
                return QString();
            if (c.typeCode == db::TypeBlob && !c.isTextBlob())
                return QStringLiteral("(BLOB)");
            return db::toText(*v);
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment((c.isNumeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        case Qt::BackgroundRole: {
            const QColor colore = m_griglia->coloreColonna(index.column());
            return colore.isValid() ? QVariant(QBrush(colore)) : QVariant();
        }
        default: return {};
        }
    }
    const auto postato = m_postati.constFind(k);
    if (postato != m_postati.constEnd() && (role == Qt::DisplayRole || role == Qt::EditRole))
        return db::toText(*postato);
    if (role == Qt::EditRole)
        return db::toText(valore(index.row(), index.column()));
    return m_griglia->data(m_griglia->index(i, index.column()), role);
}

std::optional<db::FieldValue> ModelloEditabile::daTesto(int column, const QString &testo) const
{
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!s)
        return std::nullopt;
    // A cell keeps its column's exact type: a timestamp wants its time too.
    return valoreDaTesto(s->colonna(column), testo, DataPerTimestamp::Rifiutata);
}

bool ModelloEditabile::posta(int row, int column, const db::FieldValue &value)
{
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!m_tabella || !s || row < 0 || row >= rowCount())
        return false;
    const int i = id(row);
    const IdentitaRiga riga = m_tabella->identita(colonne(), valori(row));
    const QString nome = s->colonna(column).name;
    try {
        m_tabella->aggiorna(riga, {{nome, value}});
    } catch (const db::Error &e) {
        m_errore = QStringLiteral("Salvataggio della riga non riuscito") + QLatin1Char('\r') + e.message();
        return false;
    } catch (const RigaNonTrovata &) {
        m_errore = QStringLiteral("Salvataggio della riga non riuscito") + QLatin1Char('\r') + kMsgRigaNonTrovata;
        return false;
    }
    if (i < 0)
        m_nuove[i].valori[size_t(column)] = value;
    else
        m_postati.insert(chiave(i, column), value);
    m_pendenti.remove(chiave(i, column));
    return true;
}

bool ModelloEditabile::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int i = id(index.row());
    const quint64 k = chiave(i, index.column());
    const QString testo = value.toString();
    if (testo == db::toText(valore(index.row(), index.column())) && !m_pendenti.contains(k))
        return false;
    const std::optional<db::FieldValue> v = daTesto(index.column(), testo);
    bool ok = false;
    if (!v) {
        m_errore = QStringLiteral("Valore non valido per il campo %1: \"%2\"")
                       .arg(m_griglia->sorgente()->colonna(index.column()).name, testo);
    } else if (rigaNuova(index.row())) {
        // Kept until the row is saved; a column left empty is left out of
        // the insertion, so that the table's default applies.
        RigaNuova &n = m_nuove[i];
        n.valori[size_t(index.column())] = *v;
        if (*v)
            n.scritte.insert(index.column());
        else
            n.scritte.remove(index.column());
        m_pendenti.remove(k);
        ok = true;
    } else {
        ok = posta(index.row(), index.column(), *v);
    }
    if (!ok) {
        // What was typed stays on screen, marked, until it is posted or the grid reloads.
        m_pendenti.insert(k, testo);
        if (rifiutato)
            rifiutato(m_errore);
    }
    emit dataChanged(index, index);
    return ok;
}

int ModelloEditabile::nuovaRiga(int row)
{
    row = std::clamp(row, 0, rowCount());
    const int i = m_prossimaNuova--;
    RigaNuova n;
    n.valori.resize(size_t(columnCount()));
    beginInsertRows(QModelIndex(), row, row);
    m_nuove.insert(i, std::move(n));
    m_righe.insert(m_righe.begin() + row, i);
    endInsertRows();
    return row;
}

void ModelloEditabile::scartaRigaNuova(int row)
{
    if (!rigaNuova(row))
        return;
    const int i = id(row);
    beginRemoveRows(QModelIndex(), row, row);
    m_righe.erase(m_righe.begin() + row);
    dimenticaRiga(i);
    endRemoveRows();
}

bool ModelloEditabile::daSalvare(int row) const
{
    if (!rigaNuova(row))
        return false;
    const int i = id(row);
    if (!m_nuove.value(i).scritte.isEmpty())
        return true;
    for (int c = 0; c < columnCount(); ++c)
        if (m_pendenti.contains(chiave(i, c)))
            return true;
    return false;
}

int ModelloEditabile::rigaNuovaDaSalvare() const
{
    // In the order of the grid, so that the first refused is the first seen.
    for (int r = 0; r < rowCount() && !m_nuove.isEmpty(); ++r)
        if (m_righe[size_t(r)] < 0 && daSalvare(r))
            return r;
    return -1;
}

bool ModelloEditabile::salvaRigaNuova(int row)
{
    if (!rigaNuova(row))
        return true;
    const int i = id(row);
    grid::SorgenteDati *s = m_griglia ? m_griglia->sorgente() : nullptr;
    if (!m_tabella || !s) {
        m_errore = kInserimentoFallito;
        return false;
    }
    RigaNuova &n = m_nuove[i];
    for (int c = 0; c < columnCount(); ++c) {
        const auto p = m_pendenti.constFind(chiave(i, c));
        if (p != m_pendenti.constEnd()) {
            m_errore = kInserimentoFallito + QLatin1Char('\r')
                       + QStringLiteral("Valore non valido per il campo %1: \"%2\"").arg(s->colonna(c).name, *p);
            return false;
        }
    }
    if (n.scritte.isEmpty()) {
        scartaRigaNuova(row);
        return true;
    }
    std::vector<int> scritte(n.scritte.begin(), n.scritte.end());
    std::sort(scritte.begin(), scritte.end());
    std::vector<std::pair<QString, db::FieldValue>> valori;
    for (int c : scritte)
        if (const db::TableColumn *t = m_tabella->colonna(s->colonna(c).name))
            valori.emplace_back(t->name, n.valori[size_t(c)]);
    try {
        n.valori = m_tabella->inserisci(valori, colonne());
    } catch (const db::Error &e) {
        m_errore = kInserimentoFallito + QLatin1Char('\r') + e.message();
        return false;
    }
    n.salvata = true;
    n.scritte.clear();
    emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
    emit headerDataChanged(Qt::Vertical, row, row);
    return true;
}

bool ModelloEditabile::cancellaRiga(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (rigaNuova(row)) {
        scartaRigaNuova(row);
        return true;
    }
    if (!m_tabella) {
        m_errore = kCancellazioneFallita;
        return false;
    }
    const int i = id(row);
    try {
        m_tabella->cancella(m_tabella->identita(colonne(), valori(row)));
    } catch (const db::Error &e) {
        m_errore = kCancellazioneFallita + QLatin1Char('\r') + e.message();
        return false;
    } catch (const RigaNonTrovata &) {
        m_errore = kCancellazioneFallita + QLatin1Char('\r') + kMsgRigaNonTrovata;
        return false;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_righe.erase(m_righe.begin() + row);
    dimenticaRiga(i);
    endRemoveRows();
    return true;
}

} // namespace vardof::tabletools
