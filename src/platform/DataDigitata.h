#pragma once

// The rules of the date box (platform/widgets/TEditData.h), without
// widgets so that engines can read dates the way the box writes them.

#include <QString>

#include <optional>

namespace vardof::platform {

// A date typed d/m/yy, dd/mm/yyyy and the like, as gg/mm/aaaa; nothing
// when it is not a valid date. Two-digit years: 50..99 -> 19xx, else 20xx.
std::optional<QString> normalizzaData(const QString &testo);

// What the date box does after a key: the new text and the part selected
// (start, length; length 0 puts the caret at the end).
struct CompletamentoData
{
    QString testo;
    int inizioSelezione = 0;
    int lunghezzaSelezione = 0;
};
// The completion of the date box for its text after a key release, by its
// length: 2 the day, 5 the month, 8 a two-digit year made four digits
// (19 and 20 are left alone: a four-digit year is being typed); what does
// not read as a day, month or year is selected. Keys that delete or move
// are not completed: the caller does not ask. A "/" typed right after the
// one the box wrote is dropped.
CompletamentoData completaData(const QString &testo);

} // namespace vardof::platform
