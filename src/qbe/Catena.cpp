#include "qbe/Catena.h"

#include <QSet>

#include <cmath>

namespace vardof::qbe {

QString testoNumeroCatena(double numero)
{
    return QString::number(std::llround(numero));
}

std::optional<double> leggiNumeroCatena(const QString &testo)
{
    bool ok = false;
    const qlonglong n = testo.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return double(n);
}

int indiceSuccessiva(const TabIntTmp &tab)
{
    for (int i = tab.size() - 1; i >= 0; --i) {
        const RigaInt &r = tab.at(i);
        if (r.Mostra == MostraCatena && r.Nome == kQuerySuccessiva)
            return i;
    }
    return -1;
}

std::optional<double> numeroSuccessiva(const TabIntTmp &tab)
{
    const int i = indiceSuccessiva(tab);
    if (i < 0)
        return std::nullopt;
    return leggiNumeroCatena(tab.at(i).Condizione);
}

void aggiungiMarcatoreSuccessiva(TabIntTmp &tab, double numero)
{
    tab.append(kQuerySuccessiva, MostraCatena, testoNumeroCatena(numero));
}

std::optional<double> numeroPrecedente(const TabIntTmp &tab)
{
    if (tab.isEmpty() || tab.at(0).Mostra != MostraCatena)
        return std::nullopt;
    return leggiNumeroCatena(tab.at(0).Condizione);
}

bool ultimaRigaMarcatore(const TabIntTmp &tab)
{
    return !tab.isEmpty() && tab.at(tab.size() - 1).Mostra == MostraCatena;
}

bool togliUltimoMarcatore(TabIntTmp &tab)
{
    if (!ultimaRigaMarcatore(tab))
        return false;
    std::vector<RigaInt> righe = tab.righe();
    righe.pop_back();
    tab.setRighe(std::move(righe));
    return true;
}

std::vector<RigaInt> righeNuovaSuccessiva(double codicePrecedente, const QStringList &colonne)
{
    std::vector<RigaInt> righe;
    righe.push_back(RigaInt{1, kQueryPrecedente, MostraCatena, testoNumeroCatena(codicePrecedente)});
    int numero = 2;
    for (const QString &c : colonne)
        righe.push_back(RigaInt{numero++, c, MostraVisibile, QString()});
    return righe;
}

namespace {

// Rows before the first added table: the query's own columns and markers.
int primaTestata(const std::vector<RigaInt> &righe)
{
    for (size_t i = 0; i < righe.size(); ++i)
        if (eTestata(righe[i].Mostra))
            return int(i);
    return int(righe.size());
}

bool nominataDaCondizioneGrezza(const std::vector<RigaInt> &righe, const QString &nome)
{
    for (const RigaInt &r : righe)
        if (r.Condizione.startsWith(QLatin1Char('(')) && r.Condizione.contains(nome, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

ConfrontoSuccessiva confrontaSuccessiva(const std::vector<RigaInt> &successiva, const QStringList &colonne)
{
    ConfrontoSuccessiva esito;
    const QSet<QString> presenti(colonne.begin(), colonne.end());
    const int fine = primaTestata(successiva);
    for (int i = 0; i < fine; ++i) {
        const RigaInt &r = successiva[size_t(i)];
        if (!eColonna(r.Mostra) || presenti.contains(r.Nome))
            continue;
        esito.perse << r.Nome;
        if (eVisibile(r.Mostra) || nominataDaCondizioneGrezza(successiva, r.Nome))
            esito.perditaGrave = true;
    }
    QSet<QString> nomi;
    for (const RigaInt &r : successiva)
        nomi.insert(r.Nome);
    for (const QString &c : colonne)
        if (!nomi.contains(c))
            esito.nuove << c;
    return esito;
}

std::vector<RigaInt> adattaSuccessiva(const std::vector<RigaInt> &successiva, const QStringList &colonne)
{
    std::vector<RigaInt> out;
    auto aggiungi = [&out](const QString &nome, int mostra, const QString &condizione) {
        out.push_back(RigaInt{int(out.size()) + 1, nome, mostra, condizione});
    };
    if (!successiva.empty() && successiva.front().Mostra == MostraCatena)
        aggiungi(successiva.front().Nome, successiva.front().Mostra, successiva.front().Condizione);

    const int fine = primaTestata(successiva);
    int ultimaColonna = -1;
    for (int i = 0; i < fine; ++i)
        if (eColonna(successiva[size_t(i)].Mostra))
            ultimaColonna = i;

    for (const QString &c : colonne) {
        const RigaInt *prima = nullptr;
        for (int i = 0; i < fine && !prima; ++i)
            if (eColonna(successiva[size_t(i)].Mostra) && successiva[size_t(i)].Nome == c)
                prima = &successiva[size_t(i)];
        if (prima)
            aggiungi(c, prima->Mostra, prima->Condizione);
        else
            aggiungi(c, MostraNascosto, QString());
    }

    int da = fine;
    if (fine == int(successiva.size()))
        da = ultimaColonna + 1;
    for (int i = std::max(da, 0); i < int(successiva.size()); ++i) {
        const RigaInt &r = successiva[size_t(i)];
        if (i == 0 && r.Mostra == MostraCatena)
            continue; // the first-row marker is already in place
        aggiungi(r.Nome, r.Mostra, r.Condizione);
    }
    return out;
}

} // namespace vardof::qbe
