#include "qbe/CampiVisibili.h"

namespace vardof::qbe {

namespace {

QString testataDi(const TabellaCV &t)
{
    return t.Lettera.isEmpty() ? t.NomeTabella : t.NomeTabella + QStringLiteral(" = ") + t.Lettera;
}

// The first row with that name that is not a link row; nullptr.
const RigaInt *rigaDi(const TabIntTmp &tab, const QString &nome)
{
    for (const RigaInt &r : tab.righe())
        if (r.Nome == nome && r.Mostra != MostraCollegamento)
            return &r;
    return nullptr;
}

} // namespace

std::vector<TabellaCV> RiempiTabCVTmp1(const TabIntTmp &tab, const QString &tabellaSorgente)
{
    std::vector<TabellaCV> out{TabellaCV{tabellaSorgente, QString(), 0}};
    for (const RigaInt &r : tab.righe()) {
        if (!eTestata(r.Mostra))
            continue;
        const int uguale = r.Nome.indexOf(QLatin1Char('='));
        const QString nome = uguale > 0 ? r.Nome.left(uguale).trimmed() : r.Nome;
        out.push_back(TabellaCV{nome, r.Nome.right(1), 0});
    }
    return out;
}

std::vector<CampoCV> RiempiTabCVTmp2(const std::vector<TabellaCV> &tabelle, const TabIntTmp &tab,
                                     const std::function<QStringList(const QString &tabella)> &colonne)
{
    std::vector<CampoCV> out;
    for (const TabellaCV &t : tabelle) {
        if (t.Selezione != 1)
            continue;
        out.push_back(CampoCV{testataDi(t), CampoTestata});
        for (const QString &c : colonne(t.NomeTabella)) {
            const QString nome = t.Lettera.isEmpty() ? c : t.Lettera + QLatin1Char('.') + c;
            const RigaInt *r = rigaDi(tab, nome);
            int sel = CampoAssente;
            if (r)
                sel = eVisibile(r->Mostra) || !r->Condizione.isEmpty() ? CampoInUso : CampoPresente;
            out.push_back(CampoCV{nome, sel});
        }
    }
    return out;
}

void SelezionaRiga2(CampoCV &campo)
{
    if (campo.Selezione == CampoPresente)
        campo.Selezione = CampoAssente;
    else if (campo.Selezione == CampoAssente)
        campo.Selezione = CampoPresente;
}

void rendiTuttoVisibile(std::vector<CampoCV> &campi)
{
    for (CampoCV &c : campi)
        if (c.Selezione == CampoAssente)
            c.Selezione = CampoPresente;
}

void rendiTuttoInvisibile(std::vector<CampoCV> &campi)
{
    for (CampoCV &c : campi)
        if (c.Selezione == CampoPresente)
            c.Selezione = CampoAssente;
}

std::vector<RigaInt> RiempiTabIntTmp2(const TabIntTmp &tab, const std::vector<TabellaCV> &tabelle,
                                      const std::vector<CampoCV> &campi)
{
    std::vector<RigaInt> out;
    auto aggiungi = [&out](const RigaInt &r) {
        out.push_back(RigaInt{int(out.size()) + 1, r.Nome, r.Mostra, r.Condizione});
    };
    // The rows of a chosen table, from the entries under its heading.
    auto daCampi = [&](const QString &testata) {
        size_t i = 0;
        while (i < campi.size() && !(campi[i].Selezione == CampoTestata && campi[i].NomeCampo == testata))
            ++i;
        for (++i; i < campi.size() && campi[i].Selezione != CampoTestata; ++i) {
            const CampoCV &c = campi[i];
            if (c.Selezione == CampoPresente) {
                aggiungi(RigaInt{0, c.NomeCampo, MostraNascosto, QString()});
            } else if (c.Selezione == CampoInUso) {
                const RigaInt *r = rigaDi(tab, c.NomeCampo);
                aggiungi(RigaInt{0, c.NomeCampo, r ? r->Mostra : MostraNascosto, r ? r->Condizione : QString()});
            }
        }
    };
    // The interrogation's rows from `da` up to, not including, the next header.
    auto copia = [&](int da) {
        for (int k = da; k < tab.size() && !eTestata(tab.at(k).Mostra); ++k)
            aggiungi(tab.at(k));
    };

    if (tabelle.empty())
        return out;
    if (tabelle.front().Selezione == 1)
        daCampi(testataDi(tabelle.front()));
    else
        copia(0);

    for (size_t t = 1; t < tabelle.size(); ++t) {
        const QString testata = testataDi(tabelle[t]);
        int h = -1;
        for (int k = 0; k < tab.size() && h < 0; ++k)
            if (eTestata(tab.at(k).Mostra) && tab.at(k).Nome == testata)
                h = k;
        if (h < 0)
            continue;
        aggiungi(tab.at(h));
        int k = h + 1;
        while (k < tab.size() && tab.at(k).Mostra == MostraCollegamento)
            aggiungi(tab.at(k++));
        if (tabelle[t].Selezione == 1)
            daCampi(testata);
        else
            copia(k);
    }
    return out;
}

} // namespace vardof::qbe
