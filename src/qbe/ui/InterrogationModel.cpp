#include "qbe/ui/InterrogationModel.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace vardof::qbe {

namespace {

// The background of a row by its kind; an invalid colour keeps the grid's own.
QColor sfondo(int mostra)
{
    switch (mostra) {
    case MostraVisibile:
        return QGuiApplication::palette().color(QPalette::Window);
    case MostraTestataLeft:
    case MostraTestataRight:
        return QColor(Qt::red);
    case MostraCollegamento:
        return QColor(Qt::yellow);
    case MostraBlocco:
    case MostraCatena:
        return QColor(255, 0, 255);
    case MostraVisibileUnione:
        return QColor(Qt::cyan);
    case MostraVisibileGrigio:
        return QColor(128, 128, 128);
    default:
        return QColor();
    }
}

} // namespace

InterrogationModel::InterrogationModel(TabIntTmp &tab, QObject *parent)
    : QAbstractTableModel(parent)
    , m_tab(tab)
{
}

void InterrogationModel::reset()
{
    beginResetModel();
    endResetModel();
}

void InterrogationModel::rigaCambiata(int row)
{
    if (row >= 0 && row < m_tab.size())
        emit dataChanged(index(row, 0), index(row, ColCondizione));
}

void InterrogationModel::mostraCambiato(int row)
{
    if (row >= 0 && row < m_tab.size())
        emit dataChanged(index(row, ColNome), index(row, ColMostra));
}

int InterrogationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_tab.size();
}

int InterrogationModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant InterrogationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_tab.size())
        return QVariant();
    const RigaInt &riga = m_tab.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case ColNome:
            return riga.Nome;
        case ColMostra:
            return QString::number(riga.Mostra);
        case ColCondizione:
            return riga.Condizione;
        }
        return QVariant();
    case Qt::BackgroundRole: {
        const QColor c = sfondo(riga.Mostra);
        return c.isValid() ? QVariant(QBrush(c)) : QVariant();
    }
    case Qt::ForegroundRole:
        return sfondo(riga.Mostra).isValid() ? QVariant(QBrush(Qt::black)) : QVariant();
    default:
        return QVariant();
    }
}

QVariant InterrogationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColNome:
        return QStringLiteral("Nome");
    case ColMostra:
        return QStringLiteral("M");
    case ColCondizione:
        return QStringLiteral("Condizione");
    }
    return QVariant();
}

Qt::ItemFlags InterrogationModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColCondizione && index.row() < m_tab.size()
        && (m_modificaInterna || !eStrutturale(m_tab.at(index.row()).Mostra)))
        f |= Qt::ItemIsEditable;
    return f;
}

bool InterrogationModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_tab.size())
        return false;
    const int row = index.row();
    const bool strutturale = eStrutturale(m_tab.at(row).Mostra);
    if (strutturale && !m_modificaInterna)
        return false;
    switch (index.column()) {
    case ColCondizione:
        m_tab.setCondizione(row, value.toString().left(kLunghezzaCondizione));
        break;
    case ColNome:
    case ColMostra:
        // Only the program writes these, and only while editing internally.
        if (!m_modificaInterna)
            return false;
        if (index.column() == ColNome)
            m_tab.setNome(row, value.toString().left(kLunghezzaNome));
        else
            m_tab.setMostra(row, value.toInt());
        break;
    default:
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

bool InterrogationModel::insertRows(int, int, const QModelIndex &)
{
    return false;
}

} // namespace vardof::qbe
