#include "qbe/BloccoQuery.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace vardof::qbe {

namespace {

// Two masks that cover the eight bits between them and share none.
constexpr unsigned char kM1 = 0x5A;
constexpr unsigned char kM2 = 0xA5;
static_assert((kM1 | kM2) == 0xFF && (kM1 & kM2) == 0);

unsigned char mescola(unsigned char a, unsigned char b)
{
    return static_cast<unsigned char>(~((a & kM1) | (b & kM2)));
}

} // namespace

int indiceRigaBlocco(const TabIntTmp &tab)
{
    for (int i = 0; i < tab.size(); ++i)
        if (tab.at(i).Mostra == MostraBlocco)
            return i;
    return -1;
}

StatoBlocco statoBlocco(const TabIntTmp &tab, bool bloccata)
{
    if (!bloccata)
        return StatoBlocco::Nessuno;
    const int i = indiceRigaBlocco(tab);
    return i >= 0 && !tab.at(i).Condizione.isEmpty() ? StatoBlocco::ConChiave : StatoBlocco::Semplice;
}

QString CriptaChiave(const QString &chiave)
{
    const QByteArray k = chiave.toLatin1();
    const int n = int(k.size());
    if (n == 0)
        return QString();
    QStringList numeri;
    auto u = [&k](int i) { return static_cast<unsigned char>(k[i]); };
    numeri << QString::number(mescola(u(n - 1), u(0)));
    for (int i = 0; i + 1 < n; ++i)
        numeri << QString::number(mescola(u(i), u(i + 1)));
    return numeri.join(QLatin1Char(' '));
}

QString controlloChiave(const QString &chiave)
{
    if (chiave.isEmpty())
        return kMsgInserireChiave;
    if (chiave.size() != kLunghezzaChiave)
        return kMsgChiaveSeiCaratteri;
    if (chiave.count(chiave.at(0)) == chiave.size())
        return kMsgChiaveUguali;
    return QString();
}

bool chiaveValida(const QString &chiave)
{
    return controlloChiave(chiave).isEmpty();
}

bool ValidaChiave(const QString &chiave, const QString &salvata)
{
    return chiaveValida(chiave) && CriptaChiave(chiave) == salvata;
}

QString cambiaBlocco(TabIntTmp &tab, SessioneQuery &sessione, StatoBlocco da, StatoBlocco a,
                     const QString &chiave, bool chiaveAccettata)
{
    if (da == a)
        return QString();
    const int riga = indiceRigaBlocco(tab);
    auto togli = [&tab](bool soloConChiave) {
        std::vector<RigaInt> righe;
        for (const RigaInt &r : tab.righe())
            if (!(r.Mostra == MostraBlocco && (!soloConChiave || !r.Condizione.isEmpty())))
                righe.push_back(r);
        tab.setRighe(std::move(righe));
    };

    if (da == StatoBlocco::Nessuno) {
        if (a == StatoBlocco::ConChiave && !chiaveValida(chiave))
            return kMsgChiaveNonValida;
        tab.append(kQueryBloccata, MostraBlocco, a == StatoBlocco::ConChiave ? CriptaChiave(chiave) : QString());
        sessione.setBloccata(true);
        return QString();
    }
    if (da == StatoBlocco::Semplice) {
        if (a == StatoBlocco::Nessuno) {
            togli(false);
            sessione.setBloccata(false);
            return QString();
        }
        if (!chiaveValida(chiave))
            return kMsgChiaveNonValida;
        if (riga >= 0)
            tab.setCondizione(riga, CriptaChiave(chiave));
        else
            tab.append(kQueryBloccata, MostraBlocco, CriptaChiave(chiave));
        sessione.setBloccata(true);
        return QString();
    }
    // A keyed lock only moves once its key has been accepted.
    if (!chiaveAccettata)
        return kMsgChiaveNonValida;
    if (a == StatoBlocco::Semplice) {
        if (riga >= 0)
            tab.setCondizione(riga, QString());
        sessione.setBloccata(true);
    } else {
        togli(true);
        sessione.setBloccata(false);
    }
    return QString();
}

} // namespace vardof::qbe
