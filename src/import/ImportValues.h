#pragma once

// Turning the text of a data-file field or of a script constant into the
// value a column receives. Decimals use the comma and no thousands point
// (a point makes the value invalid rather than silently ten times larger);
// dates are day/month/year. Used for each field of every line, so the
// common cases do not allocate.

#include "import/ImportScript.h"

#include "db/Value.h"

#include <QStringView>

#include <optional>

namespace vardof::importcsv {

// "12,5", "-3", "+0,25", "1E3": a decimal with the comma, no thousands point.
std::optional<double> decimaleDaTesto(QStringView testo);

// The value for a non-empty text of a column of kind `tipo`; nullopt when it
// does not convert. Text columns take the text unchanged. Decimals that fit
// an exact decimal travel exact, so NUMERIC(18,4) values are not rounded
// through a double.
std::optional<db::Value> convertiValore(QStringView testo, TipoCampo tipo, bool intero64 = false);
inline std::optional<db::Value> convertiValore(QStringView testo, const TCampo &campo)
{
    return convertiValore(testo, campo.tipo, campo.intero64);
}

// Line numbers and counters in the run's messages: "1.234.567".
QString formatoNumero(qint64 n);

} // namespace vardof::importcsv
