#include "grid/Ordinamento.h"

#include <algorithm>
#include <cstdlib>

namespace vardof::grid {

int StatoOrdinamento::indiceInLista(const QString &nome) const
{
    for (size_t i = 0; i < lista.size(); ++i)
        if (lista[i].nome == nome)
            return int(i);
    return -1;
}

std::vector<ChiaveOrdinamento> StatoOrdinamento::chiavi() const
{
    if (modo == ModoOrdinamento::Multiplo)
        return lista;
    if (modo == ModoOrdinamento::Singolo && singola)
        return {*singola};
    return {};
}

std::optional<QString> CampiPersonalizzati::espressione(const QString &campo) const
{
    for (int i = 0; i < campi.size(); ++i)
        if (campi[i].compare(campo, Qt::CaseInsensitive) == 0)
            return i < decodifica.size() ? decodifica[i] : QString();
    return std::nullopt;
}

QString espressioneOrdinamento(const QString &campo, const QString &origine, const CampiPersonalizzati &personalizzati)
{
    if (const std::optional<QString> p = personalizzati.espressione(campo))
        return *p;
    if (!origine.isEmpty())
        return origine.toUpper();
    return campo;
}

std::optional<int> codiceOrdinamento(const StatoOrdinamento &stato, const QString &nome)
{
    if (stato.modo == ModoOrdinamento::Singolo) {
        if (stato.singola && stato.singola->nome == nome)
            return stato.singola->direzione;
        return std::nullopt;
    }
    if (stato.modo == ModoOrdinamento::Multiplo) {
        const int k = stato.indiceInLista(nome);
        if (k < 0)
            return std::nullopt;
        const int codice = 10 * k + 10;
        return stato.lista[size_t(k)].direzione == Decrescente ? -codice : codice;
    }
    return std::nullopt;
}

ModoOrdinamento modoDaRighe(const std::vector<RigaOrdinamento> &righe)
{
    for (const RigaOrdinamento &r : righe)
        if (r.ordinamento && std::abs(*r.ordinamento) > 2)
            return ModoOrdinamento::Multiplo;
    return ModoOrdinamento::Singolo;
}

namespace {
ChiaveOrdinamento chiaveDaRiga(const RigaOrdinamento &r, int direzione, const CampiPersonalizzati &personalizzati)
{
    ChiaveOrdinamento k;
    k.nome = r.nomeCampo.toUpper();
    k.espressione = espressioneOrdinamento(r.nomeCampo, r.origine, personalizzati);
    k.colonna = r.posizione;
    k.direzione = direzione;
    return k;
}
} // namespace

void caricaChiavi(StatoOrdinamento &stato, const std::vector<RigaOrdinamento> &righe,
                  const CampiPersonalizzati &personalizzati)
{
    stato.singola.reset();
    stato.lista.clear();
    if (stato.modo == ModoOrdinamento::Singolo) {
        for (const RigaOrdinamento &r : righe) {
            if (!r.ordinamento)
                continue;
            if (*r.ordinamento != 0) {
                const int direzione = *r.ordinamento == Decrescente || *r.ordinamento < 0 ? Decrescente : Crescente;
                stato.singola = chiaveDaRiga(r, direzione, personalizzati);
            }
            return;
        }
        return;
    }
    if (stato.modo != ModoOrdinamento::Multiplo)
        return;
    std::vector<RigaOrdinamento> ordinate;
    for (const RigaOrdinamento &r : righe)
        if (r.ordinamento && *r.ordinamento != 0)
            ordinate.push_back(r);
    std::stable_sort(ordinate.begin(), ordinate.end(), [](const RigaOrdinamento &a, const RigaOrdinamento &b) {
        return std::abs(*a.ordinamento) < std::abs(*b.ordinamento);
    });
    for (const RigaOrdinamento &r : ordinate) {
        if (int(stato.lista.size()) >= MassimoChiavi)
            break;
        stato.lista.push_back(chiaveDaRiga(r, *r.ordinamento < 1 ? Decrescente : Crescente, personalizzati));
    }
}

bool clickTitolo(StatoOrdinamento &stato, const CampoCliccato &campo, bool ctrl,
                 const CampiPersonalizzati &personalizzati, const std::function<bool(const QString &)> &consentito)
{
    const StatoOrdinamento prima = stato;
    if (stato.modo == ModoOrdinamento::Indeciso)
        stato.modo = ModoOrdinamento::Singolo;
    if (ctrl && stato.modo == ModoOrdinamento::Singolo) {
        stato.modo = ModoOrdinamento::Multiplo;
        stato.lista.clear();
        if (stato.singola)
            stato.lista.push_back(*stato.singola);
        stato.singola.reset();
    } else if (!ctrl && stato.modo == ModoOrdinamento::Multiplo) {
        stato.modo = ModoOrdinamento::Singolo;
        stato.singola.reset();
        if (!stato.lista.empty())
            stato.singola = stato.lista.front();
        stato.lista.clear();
    }

    const QString nome = campo.nome.toUpper();
    ChiaveOrdinamento chiave;
    chiave.nome = nome;
    chiave.espressione = espressioneOrdinamento(campo.nome, campo.origine, personalizzati);
    chiave.colonna = campo.colonna;
    if (stato.modo == ModoOrdinamento::Singolo) {
        chiave.direzione = stato.singola && stato.singola->nome == nome && stato.singola->direzione == Crescente
                               ? Decrescente
                               : Crescente;
        stato.singola = chiave;
    } else {
        const int k = stato.indiceInLista(nome);
        if (k >= 0) {
            chiave.direzione = stato.lista[size_t(k)].direzione == Crescente ? Decrescente : Crescente;
            stato.lista[size_t(k)] = chiave;
        } else if (int(stato.lista.size()) < MassimoChiavi) {
            stato.lista.push_back(chiave);
        }
    }
    if (consentito && !consentito(nome)) {
        stato = prima;
        return false;
    }
    return true;
}

namespace {

// A name the result gives a computed column, as ORDER BY must write it.
QString nomeSql(const QString &nome)
{
    for (QChar c : nome)
        if (!(c.isUpper() || c.isDigit() || c == QLatin1Char('_') || c == QLatin1Char('$')))
            return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return nome;
}

} // namespace

QStringList righeOrderBy(const StatoOrdinamento &stato, const std::vector<CampoRisultato> &risultato,
                         const CampiPersonalizzati &personalizzati)
{
    QStringList righe;
    for (const ChiaveOrdinamento &k : stato.chiavi()) {
        QString espressione;
        if (personalizzati.contiene(k.nome)) {
            espressione = k.espressione;
        } else {
            for (const CampoRisultato &r : risultato) {
                if (!r.origine.isEmpty() && r.origine == k.espressione) {
                    espressione = k.espressione;
                    break;
                }
            }
            if (espressione.isEmpty()) {
                for (const CampoRisultato &r : risultato) {
                    if (r.origine.isEmpty() && r.nome.compare(k.espressione, Qt::CaseInsensitive) == 0) {
                        espressione = nomeSql(r.nome);
                        break;
                    }
                }
            }
        }
        if (espressione.isEmpty())
            continue;
        QString riga = (righe.isEmpty() ? QStringLiteral("ORDER BY ") : QStringLiteral(",")) + espressione;
        if (k.direzione == Decrescente)
            riga += QLatin1String(" DESC");
        righe << riga;
    }
    return righe;
}

QString orderByChiavePrimaria(const QString &tabella, const QStringList &campiChiave)
{
    QStringList voci;
    for (QString campo : campiChiave) {
        campo.remove(QLatin1Char(' '));
        if (!campo.isEmpty())
            voci << tabella + QLatin1Char('.') + campo;
    }
    return voci.isEmpty() ? QString() : QStringLiteral("ORDER BY ") + voci.join(QLatin1Char(','));
}

} // namespace vardof::grid
