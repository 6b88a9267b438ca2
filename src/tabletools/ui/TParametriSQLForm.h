#pragma once
// The values of the ":NAME" parameters of a stored SQL text, asked before
// it runs: one line per name, typed as the screen shows values (decimal
// comma, dates day/month/year); an empty line is null. The values are
// bound to the statement, never written into its text.
#include "tabletools/StoSql.h"

#include <QDialog>
#include <QHash>

#include <vector>

class QLineEdit;
class QPushButton;

namespace vardof::tabletools {

class TParametriSQLForm : public QDialog
{
    Q_OBJECT
public:
    // `tipi` in the order of `nomi`; `precedenti` fills the lines (the
    // values given last time, by name).
    TParametriSQLForm(const QStringList &nomi, const std::vector<db::Column> &tipi, const QString &progetto,
                      const QHash<QString, QString> &precedenti = {}, QWidget *parent = nullptr);

    std::vector<QLineEdit *> EditParametri; // in the order of the names
    QPushButton *ButtonOk;
    QPushButton *ButtonAnnulla;

    // Converts every line; on the first that does not convert says why,
    // puts the focus on it and stays open.
    void ButtonOkClick();
    const ValoriParametri &valori() const { return m_valori; }
    // What was typed, by name, to fill the lines next time.
    QHash<QString, QString> testi() const;

private:
    QStringList m_nomi;
    std::vector<db::Column> m_tipi;
    ValoriParametri m_valori;
};

} // namespace vardof::tabletools
