#include "qbe/ui/AnswerModel.h"

#include "db/Error.h"
#include "platform/Formats.h"
#include "qbe/SessioneQuery.h"
#include "qbe/TabRispTmp.h"

namespace vardof::qbe {

int larghezzaVisualizzata(const db::Column &column)
{
    switch (column.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        return column.length > 0 ? column.length : 1;
    case db::TypeSmallint:
        return column.scale > 0 ? 10 : 6;
    case db::TypeInteger:
        return column.scale > 0 ? 10 : 11;
    case db::TypeBigint:
        return column.scale > 0 ? 10 : 15;
    case db::TypeTimestamp:
        return 18;
    default:
        return 10;
    }
}

QString testoRaggruppato(double value, int grouping)
{
    if (grouping != 1 && grouping != 2)
        return core::numberText(value);
    if (value == 0.0)
        return QString();
    return platform::formatFloat(grouping == 1 ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0"), value);
}

AnswerModel::AnswerModel(TabRispTmp &risposta, const CodiciColonne &codici, QObject *parent)
    : QAbstractTableModel(parent)
    , m_risposta(risposta)
    , m_codici(&codici)
{
}

void AnswerModel::reset()
{
    beginResetModel();
    m_fallito = false;
    m_titoli.clear();
    m_righe = m_risposta.isOpen() ? m_risposta.fetchedCount() : 0;
    m_colonne = m_risposta.isOpen() ? m_risposta.columnCount() : 0;
    endResetModel();
}

void AnswerModel::setTitolo(int column, const QString &titolo)
{
    if (column < 0 || column >= m_colonne)
        return;
    m_titoli.insert(column, titolo);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

bool AnswerModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_fallito && m_risposta.isOpen() && !m_risposta.atEnd();
}

void AnswerModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    try {
        m_risposta.fetchMore(m_batch);
    } catch (const db::Error &e) {
        // The answer closed itself: show what it still holds, and nothing
        // more is asked of it.
        beginResetModel();
        m_fallito = true;
        m_righe = m_risposta.fetchedCount();
        m_colonne = m_risposta.columnCount();
        endResetModel();
        emit fetchFailed(e.message());
        return;
    }
    // The answer may already hold rows the view was not told about (a
    // whole-answer operation fetched them): announce all of them at once.
    const int disponibili = m_risposta.fetchedCount();
    if (disponibili > m_righe) {
        beginInsertRows(QModelIndex(), m_righe, disponibili - 1);
        m_righe = disponibili;
        endInsertRows();
    }
}

bool AnswerModel::fetchAll()
{
    while (canFetchMore(QModelIndex())) {
        const int prima = m_risposta.fetchedCount();
        m_batch = std::max(m_batch, 4096);
        fetchMore(QModelIndex());
        if (m_risposta.fetchedCount() == prima && !m_risposta.atEnd())
            break;
    }
    m_batch = 256;
    return !m_fallito;
}

TipoCampo AnswerModel::classe(int column) const
{
    return column >= 0 && column < m_colonne ? m_risposta.tipoColonna(column) : TipoCampo::Altro;
}

int AnswerModel::raggruppamento(int column) const
{
    return m_codici->raggruppamento(column);
}

void AnswerModel::raggruppamentoCambiato(int column)
{
    if (m_righe > 0 && column >= 0 && column < m_colonne)
        emit dataChanged(index(0, column), index(m_righe - 1, column));
}

int AnswerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_righe;
}

int AnswerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_colonne;
}

QVariant AnswerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_righe || index.column() >= m_colonne)
        return QVariant();
    const int col = index.column();
    const TipoCampo tipo = classe(col);
    const int gruppo = raggruppamento(col);
    const bool raggruppato = eDecimale(tipo) && (gruppo == 1 || gruppo == 2);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment((raggruppato ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return QVariant();
    const db::FieldValue &v = m_risposta.value(index.row(), col);
    if (!v)
        return QString();
    if (raggruppato) {
        const std::optional<double> d = db::toDouble(*v);
        return d ? testoRaggruppato(*d, gruppo) : QString();
    }
    if (tipo == TipoCampo::BlobBinario)
        return QStringLiteral("(BLOB)");
    QString text = m_risposta.text(index.row(), col);
    if (tipo == TipoCampo::BlobTesto) {
        // A cell shows one line; "Mostra campo" shows the whole text.
        text.truncate(255);
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return text;
}

QVariant AnswerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_colonne)
        return QAbstractTableModel::headerData(section, orientation, role);
    // The whole name (the grid makes room for it), unless a saved
    // appearance gave the column a narrower title.
    if (role == Qt::DisplayRole)
        return m_titoli.value(section, m_risposta.nomeColonna(section));
    if (role == Qt::ToolTipRole)
        return m_risposta.nomeColonna(section);
    return QVariant();
}

} // namespace vardof::qbe
