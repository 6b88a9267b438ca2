#include "qbe/TabelleAggiunte.h"

#include "qbe/Composizione.h"

namespace vardof::qbe {

void TabellaDaAggiungere::aggiungiCollegamento(const QString &colonnaQuery, const QString &colonnaTabella)
{
    if (colonnaQuery.isEmpty() || colonnaTabella.isEmpty())
        return;
    const std::pair<QString, QString> coppia{colonnaQuery, colonnaTabella};
    for (const auto &c : collegamenti)
        if (c == coppia)
            return;
    collegamenti.push_back(coppia);
}

QString prefissoAlias(const TabIntTmp &tab)
{
    if (tab.isEmpty())
        return QStringLiteral("A.");
    const QString &nome = tab.at(tab.size() - 1).Nome;
    if (nome.indexOf(QLatin1Char('.')) == 1)
        return IncrementaIdentificatore(nome.left(2));
    return QStringLiteral("A.");
}

QStringList colonneCollegabili(const TabIntTmp &tab)
{
    QStringList out;
    for (const RigaInt &r : tab.righe())
        if (r.Mostra == MostraNascosto || r.Mostra == MostraVisibile)
            out << r.Nome;
    return out;
}

bool tabellaGiaPresente(const TabIntTmp &tab, const QString &nome)
{
    for (const RigaInt &r : tab.righe())
        if (r.Mostra == MostraTestataLeft && r.Condizione.isEmpty() && r.Nome.size() > 4
            && r.Nome.left(r.Nome.size() - 4) == nome)
            return true;
    return false;
}

QString controlloRiporta(const TabellaDaAggiungere &t)
{
    if (t.nome.isEmpty())
        return kMsgScegliereTabella;
    if (t.collegamenti.empty())
        return kMsgCreareCollegamento;
    if (t.colonne.isEmpty())
        return kMsgScegliereCampo;
    return QString();
}

QString aggiungiTabella(TabIntTmp &tab, const TabellaDaAggiungere &t)
{
    const QString rifiuto = controlloRiporta(t);
    if (!rifiuto.isEmpty())
        return rifiuto;
    const QString prefisso = prefissoAlias(tab);
    const QString lettera = prefisso.left(1);
    const int mostra = t.modo == ModoJoin::Right ? MostraTestataRight : MostraTestataLeft;
    const QString condizione = t.modo == ModoJoin::LeftCondizioniPrima ? kTestataP : QString();
    tab.append(t.nome + QStringLiteral(" = ") + lettera, mostra, condizione);
    for (const auto &[colonnaQuery, colonnaTabella] : t.collegamenti)
        tab.append(prefisso + colonnaTabella, MostraCollegamento, colonnaQuery);
    for (const QString &c : t.colonne)
        tab.append(prefisso + c, MostraVisibile);
    return QString();
}

QStringList testate(const TabIntTmp &tab)
{
    QStringList out;
    for (const RigaInt &r : tab.righe())
        if (eTestata(r.Mostra))
            out << r.Nome;
    return out;
}

namespace {

// The alias letter of an added table: from its first link row, else from
// the end of its header.
QString letteraAlias(const TabIntTmp &tab, int testata)
{
    if (testata + 1 < tab.size() && tab.at(testata + 1).Mostra == MostraCollegamento)
        return tab.at(testata + 1).Nome.left(1);
    return tab.at(testata).Nome.right(1);
}

int indiceTestata(const TabIntTmp &tab, const QString &testata)
{
    for (int i = 0; i < tab.size(); ++i)
        if (eTestata(tab.at(i).Mostra) && tab.at(i).Nome == testata)
            return i;
    return -1;
}

} // namespace

QString controlloEliminazione(const TabIntTmp &tab, const QString &testata)
{
    const int i = indiceTestata(tab, testata);
    if (i < 0)
        return QString();
    const QString alias = letteraAlias(tab, i) + QLatin1Char('.');
    for (const RigaInt &r : tab.righe())
        if (r.Condizione.startsWith(alias))
            return kMsgTabellaCollegata;
    return QString();
}

QString eliminaTabella(TabIntTmp &tab, const QString &testata)
{
    const int i = indiceTestata(tab, testata);
    if (i < 0)
        return QString();
    const QString rifiuto = controlloEliminazione(tab, testata);
    if (!rifiuto.isEmpty())
        return rifiuto;
    // Only the alias's own rows go: a column of another table whose name
    // merely contains the letter and a point stays.
    const QString alias = letteraAlias(tab, i) + QLatin1Char('.');
    std::vector<RigaInt> righe;
    for (const RigaInt &r : tab.righe()) {
        if (eTestata(r.Mostra) && r.Nome == testata)
            continue;
        if (!eTestata(r.Mostra) && r.Nome.startsWith(alias))
            continue;
        righe.push_back(r);
    }
    tab.setRighe(std::move(righe));
    return QString();
}

} // namespace vardof::qbe
