#pragma once

// Interrogations written out row by row for the tables of cases.

#include "qbe/Interrogazione.h"

#include <QString>

#include <initializer_list>
#include <ostream>
#include <vector>

namespace vardof::qbe {

// PrintTo so that a failed comparison shows the rows.
inline void PrintTo(const RigaInt &r, std::ostream *os)
{
    *os << "{" << r.Numero << ", \"" << r.Nome.toStdString() << "\", " << r.Mostra << ", \""
        << r.Condizione.toStdString() << "\"}";
}

} // namespace vardof::qbe

namespace vardof::test {

struct R
{
    const char *nome;
    int mostra;
    const char *condizione = "";
};

// Numbered 1, 2, 3 ...
inline std::vector<qbe::RigaInt> righe(std::initializer_list<R> rr)
{
    std::vector<qbe::RigaInt> out;
    int n = 1;
    for (const R &r : rr)
        out.push_back(qbe::RigaInt{n++, QString::fromUtf8(r.nome), r.mostra, QString::fromUtf8(r.condizione)});
    return out;
}

inline qbe::TabIntTmp tabella(std::initializer_list<R> rr)
{
    qbe::TabIntTmp t;
    t.setRighe(righe(rr));
    return t;
}

} // namespace vardof::test
