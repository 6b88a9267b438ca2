#include "qbe/ui/TabRecTmp.h"


namespace vardof::qbe {

QStringList spezzaTesto(const QString &testo, int larghezza)
{
    QStringList righe;
    QString normalizzato = testo;
    normalizzato.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalizzato.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragrafi = normalizzato.split(QLatin1Char('\n'));
    for (const QString &paragrafo : paragrafi) {
        QString corrente;
        bool usata = false;
        const QStringList parole = paragrafo.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString parola : parole) {
            if (!corrente.isEmpty() && corrente.size() + 1 + parola.size() <= larghezza) {
                corrente += QLatin1Char(' ') + parola;
                continue;
            }
            if (!corrente.isEmpty()) {
                righe << corrente;
                corrente.clear();
            }
            while (parola.size() > larghezza) {
                righe << parola.left(larghezza);
                parola.remove(0, larghezza);
            }
            corrente = parola;
            usata = true;
        }
        if (!corrente.isEmpty() || !usata)
            righe << corrente;
    }
    // Trailing blank lines carry nothing.
    while (righe.size() > 1 && righe.last().isEmpty())
        righe.removeLast();
    return righe;
}

TabRecTmp::TabRecTmp(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TabRecTmp::svuota()
{
    beginResetModel();
    m_righe.clear();
    m_lunghezzaMassima = 0;
    endResetModel();
}

void TabRecTmp::aggiungi(const QString &nomeCampo, const QString &dato)
{
    const int row = int(m_righe.size());
    beginInsertRows(QModelIndex(), row, row);
    m_righe.push_back({nomeCampo.left(40), dato.left(kLunghezzaDato)});
    m_lunghezzaMassima = std::max(m_lunghezzaMassima, int(m_righe.back().Dato.size()));
    endInsertRows();
}

int TabRecTmp::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TabRecTmp::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TabRecTmp::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= int(m_righe.size()))
        return QVariant();
    const RigaRec &r = m_righe[size_t(index.row())];
    return index.column() == 0 ? r.NomeCampo : r.Dato;
}

QVariant TabRecTmp::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("NomeCampo") : QStringLiteral("Dato");
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vardof::qbe
