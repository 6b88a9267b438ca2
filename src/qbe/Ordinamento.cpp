#include "qbe/Ordinamento.h"

#include "db/Value.h"
#include "platform/Formats.h"
#include "qbe/TabRispTmp.h"

#include <algorithm>

namespace vardof::qbe {

ListeOrdETot RiempiOrdETot(const std::vector<TipoCampo> &tipi, const CodiciColonne &codici)
{
    ListeOrdETot l;
    const int n = std::min(int(tipi.size()), CodiciColonne::kMaxColonne);
    std::vector<std::pair<int, int>> inChiave; // (position, column)
    for (int c = 0; c < n; ++c) {
        const TipoCampo t = tipi[size_t(c)];
        if (codici.inChiave(c))
            inChiave.emplace_back(codici.posizioneOrdinamento(c), c);
        else if (!eBlob(t))
            l.disponibili.push_back(c);
        if (codici.conTotale(c))
            l.totali.push_back(c);
        else if (eNumerica(t))
            l.numerici.push_back(c);
        if (codici.inChiave(c) && codici.decrescente(c))
            l.decrescente = true;
    }
    std::stable_sort(inChiave.begin(), inChiave.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[pos, c] : inChiave)
        l.chiave.push_back(c);
    return l;
}

void AggiornaCodici(CodiciColonne &codici, int colonne, const std::vector<int> &chiave,
                    const std::vector<int> &totali, bool decrescente)
{
    const int n = std::min(colonne, CodiciColonne::kMaxColonne);
    for (int c = 0; c < n; ++c) {
        const auto inChiave = std::find(chiave.begin(), chiave.end(), c);
        const int posizione = inChiave == chiave.end() ? 0 : int(inChiave - chiave.begin()) + 1;
        const bool totale = std::find(totali.begin(), totali.end(), c) != totali.end();
        const int d1 = (posizione > 0 && decrescente) ? 1 : 0;
        codici.setCodice(c, d1 * 10000 + std::min(posizione, kMaxChiavi) * 100 + (totale ? 10 : 0)
                                + codici.raggruppamento(c));
    }
}

QStringList righeOrderBy(const CodiciColonne &codici, int colonne)
{
    const int n = std::min(colonne, CodiciColonne::kMaxColonne);
    std::vector<int> slot(size_t(kMaxChiavi) + 1, 0); // slot k: 1-based column
    bool decrescente = false;
    for (int c = 0; c < n; ++c) {
        const int k = codici.posizioneOrdinamento(c);
        if (k < 1 || k > kMaxChiavi)
            continue;
        // Two columns claiming one place (a hand-edited STOASP): the first keeps it.
        if (slot[size_t(k)] == 0)
            slot[size_t(k)] = c + 1;
        decrescente = decrescente || codici.decrescente(c);
    }
    QStringList chiavi;
    for (int k = 1; k <= kMaxChiavi; ++k)
        if (slot[size_t(k)] != 0)
            chiavi << QString::number(slot[size_t(k)]);
    if (chiavi.isEmpty())
        return {};
    QStringList righe{QStringLiteral("ORDER BY")};
    for (int i = 0; i < chiavi.size(); ++i)
        righe << (i + 1 < chiavi.size() ? chiavi[i] + QStringLiteral(", ") : chiavi[i]);
    if (decrescente)
        righe << QStringLiteral("DESCENDING");
    return righe;
}

QStringList togliOrderBy(const QStringList &righe)
{
    QStringList out = righe;
    while (out.size() > 1) {
        const bool orderBy = out.last().toUpper().contains(QLatin1String("ORDER BY"));
        out.removeLast();
        if (orderBy)
            break;
    }
    return out;
}

bool eNumerica(TipoCampo tipo)
{
    return tipo == TipoCampo::Intero || tipo == TipoCampo::Virgola || tipo == TipoCampo::Scalato;
}

double SommaColonna(TabRispTmp &risposta, int colonna)
{
    risposta.fetchAll();
    double somma = 0;
    for (int r = 0; r < risposta.fetchedCount(); ++r) {
        const db::FieldValue v = risposta.value(r, colonna);
        if (v)
            somma += db::toDouble(*v).value_or(0.0);
    }
    return somma;
}

QString testoSomma(double somma)
{
    if (somma == 0)
        return QString();
    return platform::formatFloat(QStringLiteral("#,##0.00"), somma);
}

QString condizioneConteggio(const QString &campo, const QString &nome)
{
    return QStringLiteral("(CALC (COUNT(") + campo + QStringLiteral("))") + QStringLiteral(" AS ") + nome
           + QLatin1Char(')');
}

QString condizioneSomma(const QString &campo, const QString &nome)
{
    return QStringLiteral("(CALC (SUM(") + campo + QStringLiteral("))") + QStringLiteral(" AS ") + nome
           + QLatin1Char(')');
}

QString condizioneSommaRaggruppamento(const QString &campo, const QString &titolo)
{
    return QStringLiteral("(Calc (Sum(") + campo + QStringLiteral(")) as ") + titolo + QLatin1Char(')');
}

bool InserisciSommaRaggruppamento(TabIntTmp &tab, const QString &campo, const QString &titolo)
{
    const int riga = tab.indexOfNome(campo);
    if (riga < 0)
        return false;
    tab.setCondizione(riga, condizioneSommaRaggruppamento(campo, titolo));
    return true;
}

} // namespace vardof::qbe
