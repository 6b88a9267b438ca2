#pragma once

// A stand-in for LibreOffice's soffice, written as a shell script into a
// folder the converter is pointed at.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace vardof::test {

// Reads --outdir and the input file as LibreOffice does and names the
// workbook it would write ($prodotto); `corpo` does the rest.
inline void scriviSoffice(const QString &cartella, const QString &corpo)
{
    QFile f(cartella + QStringLiteral("/soffice"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\n"
                           "out=\"\"; prev=\"\"; last=\"\"\n"
                           "for a in \"$@\"; do\n"
                           "  if [ \"$prev\" = \"--outdir\" ]; then out=\"$a\"; fi\n"
                           "  prev=\"$a\"; last=\"$a\"\n"
                           "done\n"
                           "base=$(basename \"$last\"); base=\"${base%.*}\"\n"
                           "prodotto=\"$out/$base.xls\"\n")
                .toUtf8()
            + corpo.toUtf8() + '\n');
    f.close();
    ASSERT_TRUE(f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
}

// The hung LibreOffice: part of a workbook written, then a child that
// waits, its pid in `figlio`.
inline QString bloccato(const QString &figlio)
{
    return QStringLiteral("printf 'parziale' > \"$prodotto\"\nsleep 60 &\necho $! > '%1'\nwait\n").arg(figlio);
}

} // namespace vardof::test
