#include "output/report/SceltaGrafico.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace vardof::output::report {

std::optional<SceltaGrafico> sceltaGrafico(const QString &modello)
{
    using F = FormaGrafico;
    using I = Impilamento;
    struct Riga
    {
        const char *nome;
        SceltaGrafico scelta;
    };
    // {forma, impilamento, categorie verticali, 3D, torte proporzionali}
    static const Riga righe[] = {
        {"QGr01N.RPT", {F::Barre, I::Affiancate, false, false, false}},
        {"QGr01VN.RPT", {F::Barre, I::Affiancate, true, false, false}},
        {"QGr02N3.RPT", {F::Barre, I::Affiancate, false, true, false}},
        {"QGr02VN3.RPT", {F::Barre, I::Affiancate, true, true, false}},
        {"QGr03L.RPT", {F::Linee, I::Affiancate, false, false, false}},
        {"QGr03VL.RPT", {F::Linee, I::Affiancate, true, false, false}},
        {"QGr04B3.RPT", {F::Barre, I::Affiancate, false, true, false}},
        {"QGr05T.RPT", {F::Torta, I::Affiancate, false, false, false}},
        {"QGr11N.RPT", {F::Barre, I::Affiancate, false, false, false}},
        {"QGr11VN.RPT", {F::Barre, I::Affiancate, true, false, false}},
        {"QGr12N3.RPT", {F::Barre, I::Affiancate, false, true, false}},
        {"QGr12VN3.RPT", {F::Barre, I::Affiancate, true, true, false}},
        {"QGr13P.RPT", {F::Barre, I::InPila, false, false, false}},
        {"QGr13VP.RPT", {F::Barre, I::InPila, true, false, false}},
        {"QGr14P3.RPT", {F::Barre, I::InPila, false, true, false}},
        {"QGr14VP3.RPT", {F::Barre, I::InPila, true, true, false}},
        {"QGr15P.RPT", {F::Barre, I::Percentuali, false, false, false}},
        {"QGr15VP.RPT", {F::Barre, I::Percentuali, true, false, false}},
        {"QGr16P3.RPT", {F::Barre, I::Percentuali, false, true, false}},
        {"QGr16VP3.RPT", {F::Barre, I::Percentuali, true, true, false}},
        {"QGr17L.RPT", {F::Linee, I::Affiancate, false, false, false}},
        {"QGr17VL.RPT", {F::Linee, I::Affiancate, true, false, false}},
        {"QGr18A.RPT", {F::Area, I::InPila, false, false, false}},
        {"QGr18VA.RPT", {F::Area, I::InPila, true, false, false}},
        {"QGr19B.RPT", {F::Barre, I::Affiancate, false, true, false}},
        {"QGr20TF.RPT", {F::TorteMultiple, I::Affiancate, false, false, false}},
        {"QGr21TP.RPT", {F::TorteMultiple, I::Affiancate, false, false, true}},
    };
    for (const Riga &r : righe)
        if (modello.compare(QLatin1String(r.nome), Qt::CaseInsensitive) == 0)
            return r.scelta;
    return std::nullopt;
}

double DatiGrafico::totaleSerie(int s) const
{
    const auto &v = valori[size_t(s)];
    return std::accumulate(v.begin(), v.end(), 0.0);
}

DatiGrafico raccogliPunti(const QList<PuntoGrafico> &punti)
{
    // Categories in text order regardless of case, then by case so that
    // two texts differing only in case stay apart and in a fixed order.
    auto prima = [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    };
    std::map<QString, int, decltype(prima)> categorie(prima);
    QStringList serie;
    for (const PuntoGrafico &p : punti) {
        categorie.emplace(p.descrizione1, 0);
        if (!serie.contains(p.descrizione2))
            serie << p.descrizione2;
    }
    DatiGrafico d;
    d.serie = serie;
    int i = 0;
    for (auto &[testo, indice] : categorie) {
        indice = i++;
        d.categorie << testo;
    }
    d.valori.assign(size_t(serie.size()), std::vector<double>(size_t(d.categorie.size()), 0.0));
    for (const PuntoGrafico &p : punti)
        d.valori[size_t(serie.indexOf(p.descrizione2))][size_t(categorie.at(p.descrizione1))] += p.valore;
    return d;
}

TestiGrafico testiGrafico(const QString &titolo, const QString &asseX, const QString &asseY, const QString &asseZ)
{
    auto asse = [](const QString &formula) {
        const QString t = testoFormula(formula);
        return t.trimmed().isEmpty() ? QString() : t;
    };
    return {testoFormula(formulaTitolo(titolo)), asse(formulaAsse(QStringLiteral("X"), asseX)),
            asse(formulaAsse(QStringLiteral("Y"), asseY)), asse(formulaAsse(QStringLiteral("Z"), asseZ))};
}

} // namespace vardof::output::report
