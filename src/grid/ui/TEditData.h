#pragma once

// The date box: a one-line box that completes a date typed as digits into
// dd/mm/yyyy while the user types (7/ -> 07/, 07/3/ -> 07/03/,
// 07/03/99 -> 07/03/1999). Also used by the date dialogs of other tools.

#include <QLineEdit>

namespace vardof::grid {

class TEditData : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEditData(QWidget *parent = nullptr);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
};

} // namespace vardof::grid
