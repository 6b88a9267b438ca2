#include "grid/ModelloGriglia.h"

#include "db/Error.h"
#include "grid/SorgenteDati.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

namespace vardof::grid {

QColor coloreDa(int valore)
{
    if (valore == 0)
        return QColor();
    const quint32 v = quint32(valore);
    if ((v >> 24) == 0x80) {
        // The system colours a stored value can name, by their index.
        const QPalette p = QGuiApplication::palette();
        switch (v & 0xff) {
        case 1: // desktop
        case 15: // button face
            return p.color(QPalette::Button);
        case 5: // window
            return p.color(QPalette::Base);
        case 8: // window text
            return p.color(QPalette::Text);
        case 13:
            return p.color(QPalette::Highlight);
        case 14:
            return p.color(QPalette::HighlightedText);
        default:
            return p.color(QPalette::Window);
        }
    }
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

int valoreColore(const QColor &colore)
{
    if (!colore.isValid())
        return 0;
    return int(quint32(colore.red()) | (quint32(colore.green()) << 8) | (quint32(colore.blue()) << 16));
}

ModelloGriglia::ModelloGriglia(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ModelloGriglia::setSorgente(SorgenteDati *sorgente)
{
    if (m_sorgente)
        disconnect(m_sorgente, nullptr, this, nullptr);
    m_sorgente = sorgente;
    if (m_sorgente) {
        connect(m_sorgente, &SorgenteDati::aperta, this, &ModelloGriglia::riparti);
        connect(m_sorgente, &SorgenteDati::chiusa, this, &ModelloGriglia::riparti);
        connect(m_sorgente, &SorgenteDati::righeAggiunte, this, &ModelloGriglia::annunciaRighe);
        connect(m_sorgente, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_sorgente = nullptr;
            m_righe = m_colonne = 0;
            endResetModel();
        });
    }
    riparti();
}

void ModelloGriglia::riparti()
{
    beginResetModel();
    m_fallito = false;
    const bool aperta = m_sorgente && m_sorgente->isOpen();
    m_righe = aperta ? m_sorgente->fetchedCount() : 0;
    m_colonne = aperta ? m_sorgente->columnCount() : 0;
    m_corrente = -1;
    endResetModel();
}

void ModelloGriglia::annunciaRighe()
{
    if (!m_sorgente || !m_sorgente->isOpen())
        return;
    const int disponibili = m_sorgente->fetchedCount();
    if (disponibili > m_righe) {
        beginInsertRows(QModelIndex(), m_righe, disponibili - 1);
        m_righe = disponibili;
        endInsertRows();
    }
}

bool ModelloGriglia::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_fallito && m_sorgente && m_sorgente->isOpen() && !m_sorgente->atEnd();
}

void ModelloGriglia::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    try {
        m_sorgente->fetchMore(m_batch);
    } catch (const db::Error &e) {
        // The source closed itself: nothing more is asked of it.
        m_fallito = true;
        riparti();
        m_fallito = true;
        emit fetchFailed(e.message());
        return;
    }
    annunciaRighe();
}

bool ModelloGriglia::fetchAll()
{
    const int batch = m_batch;
    m_batch = std::max(m_batch, 4096);
    while (canFetchMore(QModelIndex())) {
        const int prima = m_sorgente->fetchedCount();
        fetchMore(QModelIndex());
        if (m_fallito || (m_sorgente && m_sorgente->fetchedCount() == prima))
            break;
    }
    m_batch = batch;
    return !m_fallito;
}

QString ModelloGriglia::nomeCampo(int column) const
{
    if (!m_sorgente || column < 0 || column >= m_colonne)
        return QString();
    return m_sorgente->nomeCampo(column);
}

void ModelloGriglia::setTitolo(const QString &campo, const QString &titolo)
{
    if (titolo.isEmpty())
        m_titoli.remove(campo.toUpper());
    else
        m_titoli.insert(campo.toUpper(), titolo);
    if (m_colonne > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_colonne - 1);
}

QString ModelloGriglia::titolo(int column) const
{
    const QString campo = nomeCampo(column);
    return m_titoli.value(campo.toUpper(), campo);
}

void ModelloGriglia::setColoreColonna(const QString &campo, const QColor &colore)
{
    if (colore.isValid())
        m_coloriColonne.insert(campo.toUpper(), colore);
    else
        m_coloriColonne.remove(campo.toUpper());
    if (m_righe > 0 && m_colonne > 0)
        emit dataChanged(index(0, 0), index(m_righe - 1, m_colonne - 1), {Qt::BackgroundRole});
}

QColor ModelloGriglia::coloreColonna(int column) const
{
    return m_coloriColonne.value(nomeCampo(column).toUpper());
}

void ModelloGriglia::setColoreTitolo(const QString &campo, const QColor &colore)
{
    if (colore.isValid())
        m_coloriTitoli.insert(campo.toUpper(), colore);
    else
        m_coloriTitoli.remove(campo.toUpper());
    if (m_colonne > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_colonne - 1);
}

QColor ModelloGriglia::coloreTitolo(int column) const
{
    return m_coloriTitoli.value(nomeCampo(column).toUpper());
}

void ModelloGriglia::azzeraColoriTitoli()
{
    m_coloriTitoli.clear();
    if (m_colonne > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_colonne - 1);
}

void ModelloGriglia::azzeraAspetto()
{
    m_titoli.clear();
    m_coloriColonne.clear();
    if (m_colonne > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_colonne - 1);
    if (m_righe > 0 && m_colonne > 0)
        emit dataChanged(index(0, 0), index(m_righe - 1, m_colonne - 1));
}

void ModelloGriglia::setRigaCorrente(int row)
{
    if (row == m_corrente)
        return;
    const int prima = m_corrente;
    m_corrente = row;
    if (prima >= 0 && prima < m_righe)
        emit headerDataChanged(Qt::Vertical, prima, prima);
    if (row >= 0 && row < m_righe)
        emit headerDataChanged(Qt::Vertical, row, row);
}

int ModelloGriglia::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_righe;
}

int ModelloGriglia::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_colonne;
}

Qt::ItemFlags ModelloGriglia::flags(const QModelIndex &index) const
{
    // Read-only: cells are chosen, never edited.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QVariant ModelloGriglia::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_sorgente || index.row() >= m_righe || index.column() >= m_colonne)
        return QVariant();
    const db::Column &c = m_sorgente->colonna(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const db::FieldValue v = m_sorgente->value(index.row(), index.column());
        if (!v)
            return QString();
        if (c.typeCode == db::TypeBlob && c.subType != 1)
            return QStringLiteral("(BLOB)");
        QString text = db::toText(*v);
        if (c.isTextBlob()) {
            // A cell shows one line of a long text.
            text.truncate(255);
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        return text;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::Alignment((c.isNumeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::BackgroundRole: {
        const QColor colore = coloreColonna(index.column());
        return colore.isValid() ? QVariant(QBrush(colore)) : QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant ModelloGriglia::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section == m_corrente ? QStringLiteral("\u25B6") : QString();
        return QVariant();
    }
    if (section < 0 || section >= m_colonne)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return titolo(section);
    case Qt::ToolTipRole:
        return nomeCampo(section);
    case Qt::BackgroundRole: {
        const QColor colore = coloreTitolo(section);
        return colore.isValid() ? QVariant(QBrush(colore)) : QVariant();
    }
    default:
        return QVariant();
    }
}

} // namespace vardof::grid
