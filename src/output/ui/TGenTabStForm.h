#pragma once

// The page builder of the simple prints as its owner window sees it: it
// lives as a child of the window that prints (and goes with it), holding
// the two text-page tables while the report reads them.

#include "output/PagineTesto.h"

#include <QObject>

namespace vardof::output {

class TGenTabStForm : public QObject, public GeneratorePagine
{
    Q_OBJECT
public:
    // `intestazioni` are the five header lines H0..H4.
    TGenTabStForm(QObject *owner, const QStringList &intestazioni, bool numerazione, const QString &ditta,
                  const QString &dirLavoro, int righePerPagina = 0)
        : QObject(owner), GeneratorePagine(intestazioni, numerazione, ditta, dirLavoro, righePerPagina)
    {
    }
};

} // namespace vardof::output
