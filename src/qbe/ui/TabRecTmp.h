#pragma once

// The rows of the single-record face: one (NomeCampo, Dato) pair per line
// of the current answer row shown vertically. A text longer than a line
// takes several rows, each repeating the column name.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace vardof::qbe {

inline constexpr int kLunghezzaDato = 100;

// The text cut into lines of at most `larghezza` characters, breaking at
// the blanks between words and at line breaks; a longer word is cut.
// An empty text gives one empty line.
QStringList spezzaTesto(const QString &testo, int larghezza = kLunghezzaDato);

struct RigaRec
{
    QString NomeCampo;
    QString Dato;
    bool operator==(const RigaRec &) const = default;
};

class TabRecTmp : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TabRecTmp(QObject *parent = nullptr);

    void svuota();
    void aggiungi(const QString &nomeCampo, const QString &dato);
    const std::vector<RigaRec> &righe() const { return m_righe; }
    // The longest Dato, kept for the text pages of a print.
    int lunghezzaMassima() const { return m_lunghezzaMassima; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<RigaRec> m_righe;
    int m_lunghezzaMassima = 0;
};

} // namespace vardof::qbe
