#include "qbe/Interrogazione.h"

#include <algorithm>

namespace vardof::qbe {

bool eColonna(int m)
{
    return m == MostraNascosto || m == MostraVisibile || m == MostraVisibileGrigio || m == MostraVisibileUnione;
}

bool eVisibile(int m)
{
    return m == MostraVisibile || m == MostraVisibileGrigio || m == MostraVisibileUnione;
}

bool eTestata(int m)
{
    return m == MostraTestataLeft || m == MostraTestataRight;
}

bool eStrutturale(int m)
{
    return eTestata(m) || m == MostraCollegamento || m == MostraBlocco || m == MostraCatena;
}

int TabIntTmp::append(const QString &nome, int mostra, const QString &condizione)
{
    const int numero = m_righe.empty() ? 1 : m_righe.back().Numero + 1;
    m_righe.push_back(RigaInt{numero, nome, mostra, condizione});
    if (m_current < 0)
        m_current = 0;
    return size() - 1;
}

void TabIntTmp::insert(const RigaInt &riga)
{
    m_righe.push_back(riga);
    sortByNumero();
}

void TabIntTmp::setRighe(std::vector<RigaInt> righe)
{
    m_righe = std::move(righe);
    sortByNumero();
    m_current = m_righe.empty() ? -1 : 0;
}

void TabIntTmp::sortByNumero()
{
    std::stable_sort(m_righe.begin(), m_righe.end(),
                     [](const RigaInt &a, const RigaInt &b) { return a.Numero < b.Numero; });
    if (m_current >= size())
        m_current = size() - 1;
    if (m_current < 0 && !m_righe.empty())
        m_current = 0;
}

void TabIntTmp::setCondizione(int index, const QString &condizione)
{
    m_righe.at(size_t(index)).Condizione = condizione.left(kLunghezzaCondizione);
}

void TabIntTmp::setMostra(int index, int mostra)
{
    m_righe.at(size_t(index)).Mostra = mostra;
}

void TabIntTmp::setNome(int index, const QString &nome)
{
    m_righe.at(size_t(index)).Nome = nome.left(kLunghezzaNome);
}

int TabIntTmp::indexOfNumero(int numero) const
{
    for (int i = 0; i < size(); ++i)
        if (m_righe[size_t(i)].Numero == numero)
            return i;
    return -1;
}

int TabIntTmp::indexOfNome(const QString &nome) const
{
    for (int i = 0; i < size(); ++i)
        if (m_righe[size_t(i)].Nome == nome)
            return i;
    return -1;
}

void TabIntTmp::selezionaTutto()
{
    for (auto &r : m_righe)
        if (r.Mostra == MostraNascosto)
            r.Mostra = MostraVisibile;
}

void TabIntTmp::deselezionaTutto()
{
    for (auto &r : m_righe)
        if (r.Mostra == MostraVisibile)
            r.Mostra = MostraNascosto;
    m_current = m_righe.empty() ? -1 : 0;
}

bool TabIntTmp::toggle(int index)
{
    if (index < 0 || index >= size())
        return false;
    auto &r = m_righe[size_t(index)];
    if (r.Mostra == MostraNascosto) {
        r.Mostra = MostraVisibile;
        return true;
    }
    if (r.Mostra == MostraVisibile) {
        r.Mostra = MostraNascosto;
        return true;
    }
    return false;
}

namespace {

TipoCampo classe(int typeCode, int subType, int scale, int precision)
{
    switch (typeCode) {
    case db::TypeBlob:
        return subType == 1 ? TipoCampo::BlobTesto : TipoCampo::BlobBinario;
    case db::TypeDate:
    case db::TypeTimestamp:
        return TipoCampo::Data;
    case db::TypeTime:
        return TipoCampo::Ora;
    case db::TypeFloat:
    case db::TypeDouble:
        return TipoCampo::Virgola;
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        if (scale > 4)
            return TipoCampo::Virgola;
        if (scale > 0)
            return TipoCampo::Scalato;
        // A NUMERIC(10..18) without decimals lives in a BIGINT.
        if (typeCode == db::TypeBigint || precision > 9)
            return TipoCampo::Altro;
        return TipoCampo::Intero;
    default:
        return TipoCampo::Altro;
    }
}

} // namespace

TipoCampo classeCampo(const db::TableColumn &c)
{
    return classe(c.typeCode, c.subType, c.scale, c.precision);
}

TipoCampo classeCampo(const db::Column &c)
{
    return classe(c.typeCode, c.subType, c.scale, c.precision);
}

TabellaSorgente TabellaSorgente::leggi(db::Attachment &att, db::Transaction &tra, const QString &nome)
{
    TabellaSorgente t;
    t.nome = nome;
    t.colonne = db::catalog::columns(att, tra, nome);
    return t;
}

const db::TableColumn *TabellaSorgente::colonna(const QString &nome) const
{
    for (const auto &c : colonne)
        if (c.name == nome)
            return &c;
    return nullptr;
}

} // namespace vardof::qbe
