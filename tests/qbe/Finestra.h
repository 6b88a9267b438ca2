#pragma once

// What the window tests do to the query window as a user would: release a
// function key on a grid, find an interrogation row by its name, type a
// condition into its cell and leave the editor open.

#include "Controlli.h"

#include "qbe/ui/GrigliaQuery.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TIBLQueryForm.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace vardof::test {

inline void rilascia(QWidget *w, int key)
{
    QKeyEvent ev(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &ev);
}

inline int riga(qbe::TIBLQueryForm &f, const QString &nome)
{
    return f.tabIntTmp().indexOfNome(nome);
}

// Types a condition into the grid's editor and leaves it open, as a user
// does before pressing a button.
inline void scrivi(qbe::TIBLQueryForm &f, const QString &nome, const QString &condizione)
{
    auto *grid = controllo<qbe::GrigliaQuery>(f, "DBGrid1");
    const QModelIndex idx = f.interrogationModel().index(riga(f, nome), qbe::InterrogationModel::ColCondizione);
    grid->setCurrentIndex(idx);
    grid->edit(idx);
    ASSERT_NE(grid->editorAperto(), nullptr);
    grid->editorAperto()->setText(condizione);
}

} // namespace vardof::test
