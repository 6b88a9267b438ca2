#pragma once

// The expressions of our layouts: texts in double quotes, numbers, names of
// fields and variables, "+" between them, and the few functions the
// layouts the system writes use: Fstr$(value, mask, 1), str$(value, len,
// decimals), Page(), Page$(), TotalPages$(). A name the print does not
// define makes the expression fail: the layout does not suit the answer.

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace vardof::output::report {

struct ValoreReport
{
    enum Tipo { Testo, Numero, Data, Booleano };
    Tipo tipo = Testo;
    QString testo;      // the text as shown
    double numero = 0;  // Numero
    QDate data;         // Data

    static ValoreReport diTesto(const QString &t) { return {Testo, t, 0, {}}; }
    static ValoreReport diNumero(double n, const QString &t) { return {Numero, t, n, {}}; }
};

struct AmbienteEspressioni
{
    std::function<std::optional<ValoreReport>(const QString &nome)> nome;
    int pagina = 1;
    int pagineTotali = 1;
};

// The text of an expression; nullopt with the unknown name or the fault in
// `errore`.
std::optional<QString> valuta(const QString &espressione, const AmbienteEspressioni &ambiente,
                              QString *errore = nullptr);

// A number through a Fstr$ mask: "," asks for thousands points, "#" after
// "." give the decimals (decimal comma): "---,---,---,--&.##" gives 1.234,50.
QString formattaMaschera(double valore, const QString &maschera);

} // namespace vardof::output::report
