#include "qbe/Aiuti.h"

#include "qbe/Composizione.h"


namespace vardof::qbe {

bool tastoAmmesso(int key, int mostra, bool bloccata)
{
    // Qt key codes of F3..F10 are consecutive.
    constexpr int F3 = 0x01000032, F7 = 0x01000036, F8 = 0x01000037, F9 = 0x01000038, F10 = 0x01000039;
    if (key < F3 || key > F10)
        return false;
    if (bloccata && (key == F3 || key == F7 || key == F8 || key == F9))
        return false;
    return key == F9 || eColonna(mostra);
}

EsitoParentesi MettiParentesi(const QString &condizione)
{
    if (condizione.isEmpty())
        return {QStringLiteral("("), true};
    if (condizione.startsWith(QLatin1Char('(')))
        return {condizione + QLatin1Char(')'), false};
    return {QLatin1Char('(') + condizione, true};
}

QString InserisciNomeCampo(const QString &condizione, const QString &nome)
{
    return condizione + nome;
}

std::optional<QString> testoRange(const QString &nome, const QString &da, const QString &a, TipoCampo tipo)
{
    QString inizio = da.trimmed();
    QString fine = a.trimmed();
    const bool data = tipo == TipoCampo::Data;
    if (data) {
        for (QString *v : {&inizio, &fine}) {
            if (v->isEmpty())
                continue;
            const std::optional<QString> d = normalizzaData(*v);
            if (!d)
                return std::nullopt;
            *v = *d;
        }
    } else if (!inizio.isEmpty() && !fine.isEmpty() && inizio > fine) {
        // Compared as text, as the dialog shows them: 9 sorts after 10.
        return std::nullopt;
    }
    if (inizio.isEmpty() && fine.isEmpty())
        return QString();
    const bool apici = !(tipo == TipoCampo::Intero || tipo == TipoCampo::Virgola);
    auto valore = [apici](const QString &v) {
        return apici ? QLatin1Char('\'') + raddoppiaApici(v) + QLatin1Char('\'') : v;
    };
    const QString minimo = QLatin1Char('(') + nome + QStringLiteral(">=") + valore(inizio) + QLatin1Char(')');
    const QString massimo = QLatin1Char('(') + nome + QStringLiteral("<=") + valore(fine) + QLatin1Char(')');
    if (fine.isEmpty())
        return minimo;
    if (inizio.isEmpty())
        return massimo;
    return minimo + QStringLiteral("AND") + massimo;
}

QStringList tipiCast()
{
    return {QStringLiteral("INTEGER"),       QStringLiteral("FLOAT"),         QStringLiteral("DECIMAL(18,1)"),
            QStringLiteral("DECIMAL(18,2)"), QStringLiteral("DECIMAL(18,3)"), QStringLiteral("DECIMAL(18,4)"),
            QStringLiteral("DECIMAL(18,5)"), QStringLiteral("DECIMAL(18,6)"), QStringLiteral("DATE"),
            QStringLiteral("TIME"),          QStringLiteral("TIMESTAMP")};
}

bool eFormulaCast(const QString &formula)
{
    return formula.trimmed().compare(QLatin1String("CAST"), Qt::CaseInsensitive) == 0;
}

QString formulaCast(const QString &campo, const QString &tipo)
{
    return QStringLiteral("CAST(") + campo + QStringLiteral(" AS ") + tipo + QLatin1Char(')');
}

QString testoFormula(const QString &formula, const QString &nome)
{
    QString t = QStringLiteral("(CALC (") + formula + QLatin1Char(')');
    if (!nome.isEmpty())
        t += QStringLiteral(" AS ") + nome;
    return t + QLatin1Char(')');
}

QString verificaEstrazione(const QString &campo, DatoEstratto dato, const QString &nome)
{
    if (campo.isEmpty())
        return QStringLiteral("Selezionare un campo data!");
    if (dato == DatoEstratto::Nessuno)
        return QStringLiteral("Selezionare il dato da estrarre!");
    if (nome.isEmpty())
        return QStringLiteral("Impostare il nome del campo di risposta!");
    return QString();
}

QString testoEstrazione(const QString &campo, DatoEstratto dato, const QString &nome)
{
    const QString parte = dato == DatoEstratto::Anno ? QStringLiteral("YEAR") : QStringLiteral("MONTH");
    return QStringLiteral("(EXTRACT (") + parte + QStringLiteral(" from ") + campo + QStringLiteral(")) AS ") + nome;
}

QString nomeEstrazione(DatoEstratto dato)
{
    switch (dato) {
    case DatoEstratto::Anno:
        return QStringLiteral("Anno");
    case DatoEstratto::Mese:
        return QStringLiteral("Mese");
    case DatoEstratto::Nessuno:
        break;
    }
    return QString();
}

QString testoEditor(const QString &memo)
{
    QString t = memo;
    t.remove(QLatin1Char('\r'));
    t.remove(QLatin1Char('\n'));
    return t.left(kLunghezzaCondizione);
}

QString testoValore(const QString &nome, const QString &valore, TipoCampo tipo)
{
    if (tipo == TipoCampo::Intero || tipo == TipoCampo::Virgola)
        return QLatin1Char('(') + nome + QLatin1Char('=') + valore + QLatin1Char(')');
    return QLatin1Char('(') + nome + QStringLiteral("='") + raddoppiaApici(valore) + QStringLiteral("')");
}

} // namespace vardof::qbe
