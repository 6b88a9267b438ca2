#pragma once

// The Italian texts of the conversion tool, in one place so that the window,
// the command line and the tests use the very same words.

#include <QString>

namespace vardof::convert::texts {

// Checks before a conversion.
inline QString sourceMissing() { return QStringLiteral("Attenzione: file origine inesistente"); }
inline QString destinationMissing() { return QStringLiteral("Attenzione: si prega di specificare un file di destinazione"); }
inline QString destinationFolderMissing() { return QStringLiteral("Attenzione: il percorso scelto per il file destinazione è inesistente"); }
inline QString destinationIsFolder() { return QStringLiteral("Attenzione: il file destinazione scelto è una cartella"); }
inline QString destinationClashes()
{
    return QStringLiteral("Attenzione: il file destinazione non può coincidere con il file origine, "
                          "con il file di definizione o con il file delle anomalie");
}
inline QString confirmStart() { return QStringLiteral("Avviare la conversione?"); }
inline QString noAnomalies() { return QStringLiteral("Non sono state rilevate anomalie"); }
inline QString completed() { return QStringLiteral("Elaborazione Completata"); }

// Checks before composing a definition.
inline QString composeSourceEmpty() { return QStringLiteral("Attenzione: File Origine mancante"); }
inline QString composeSourceMissing() { return QStringLiteral("Attenzione: File Origine inesistente"); }

// Anomalies: bad values in the source never stop a conversion.
inline QString notNumeric(qint64 row, const QString &field, const QString &value)
{
    return QStringLiteral("Riga n. %1, Colonna %2, Il dato: \"%3\" non è numerico").arg(row).arg(field, value);
}
inline QString notDate(qint64 row, const QString &field, const QString &value)
{
    return QStringLiteral("Riga n. %1, Colonna %2, Il dato: \"%3\" non è una data").arg(row).arg(field, value);
}
inline QString holdsSemicolon(qint64 row, const QString &field, const QString &value,
                              const QString &replacement)
{
    return QStringLiteral("Riga n. %1, Colonna %2, Il dato: \"%3\" contiente il carattere \";\". "
                          "Verrà sostituito con \"%4\"")
        .arg(row)
        .arg(field, value, replacement);
}
inline QString lineTooLong(qint64 row, qint64 length, qint64 longest)
{
    return QStringLiteral("Riga n. %1, lunga %2 caratteri: oltre il massimo di %3, la riga non è stata convertita")
        .arg(row)
        .arg(length)
        .arg(longest);
}
// The window lists the first anomalies only; the file has them all.
inline QString moreAnomalies(qint64 count, const QString &file)
{
    return QStringLiteral("... e altre %1 anomalie, elencate tutte nel file \"%2\"").arg(count).arg(file);
}

// Failures that stop a conversion.
inline QString definitionMissing(const QString &path)
{
    return QStringLiteral("Il file di definizione \"%1\" non esiste").arg(path);
}
inline QString definitionUnreadable(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile leggere il file di definizione \"%1\": %2").arg(path, reason);
}
inline QString sourceUnreadable(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile leggere il file origine \"%1\": %2").arg(path, reason);
}
inline QString destinationUnwritable(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file destinazione \"%1\": %2").arg(path, reason);
}
inline QString anomaliesUnwritable(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file delle anomalie \"%1\": %2").arg(path, reason);
}
inline QString definitionLossy()
{
    return QStringLiteral("Alcuni caratteri del tracciato non esistono nella codifica dei file di Windows "
                          "e sono stati scritti come \"?\"");
}
inline QString definitionNotText(const QString &path)
{
    return QStringLiteral("Il file di definizione \"%1\" contiene caratteri nulli: non è un file di testo "
                          "nella codifica di Windows. Salvarlo come testo ANSI e riprovare")
        .arg(path);
}
inline QString definitionNotCp1252(const QString &path, const QString &encoding)
{
    return QStringLiteral("Il file di definizione \"%1\" è in %2 e contiene caratteri che non esistono nella "
                          "codifica di Windows. Salvarlo come testo ANSI e riprovare")
        .arg(path, encoding);
}
inline QString definitionUnwritable(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file di definizione \"%1\": %2").arg(path, reason);
}
// A definition line that cannot be applied, named by its line in the file.
inline QString definitionError(int lineNumber, const QString &lineText, const QString &reason)
{
    return QStringLiteral("Errore nella riga %1 del file di definizione (\"%2\"): %3")
        .arg(lineNumber)
        .arg(lineText, reason);
}
inline QString notANumber(const QString &what, const QString &value)
{
    return QStringLiteral("%1 \"%2\" non è un numero valido").arg(what, value);
}
inline QString notValid(const QString &what, const QString &value)
{
    return QStringLiteral("%1 \"%2\" non è un valore valido").arg(what, value);
}
inline QString startPosition() { return QStringLiteral("la posizione iniziale"); }
inline QString fieldLength() { return QStringLiteral("la lunghezza del campo"); }
inline QString fieldNumber() { return QStringLiteral("il numero di campo"); }
inline QString fieldBeyondLine(int field, qint64 row, int fieldsInRow)
{
    return QStringLiteral("il campo %1 non esiste nella riga n. %2 del file origine, che ha %3 campi")
        .arg(field)
        .arg(row)
        .arg(fieldsInRow);
}

} // namespace vardof::convert::texts
