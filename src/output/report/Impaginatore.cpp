#include "output/report/Impaginatore.h"

#include <QRegularExpression>

#include <algorithm>

namespace vardof::output::report {

namespace {

constexpr int kSpazioX = 1000; // Space=(1000,500,1000,500) of the columns
constexpr int kSpazioY = 500;

} // namespace

QStringList aCapo(const QString &testo, int larghezza, const FontModello &font, Misuratore &misura)
{
    QStringList out;
    const QStringList paragrafi = testo.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString &p : paragrafi) {
        QString corrente;
        const QStringList parole = p.split(QLatin1Char(' '));
        for (int i = 0; i < parole.size(); ++i) {
            QString parola = parole[i];
            const QString prova = corrente.isEmpty() ? parola : corrente + QLatin1Char(' ') + parola;
            if (misura.larghezza(prova, font) <= larghezza) {
                corrente = prova;
                continue;
            }
            if (!corrente.isEmpty()) {
                out << corrente;
                corrente.clear();
            }
            // A word wider than the column is cut into pieces that fit.
            while (!parola.isEmpty() && misura.larghezza(parola, font) > larghezza) {
                int n = 1;
                while (n < parola.size() && misura.larghezza(parola.left(n + 1), font) <= larghezza)
                    ++n;
                out << parola.left(n);
                parola = parola.mid(n);
            }
            corrente = parola;
        }
        out << corrente;
    }
    return out;
}

QString tagliato(const QString &testo, int larghezza, const FontModello &font, Misuratore &misura)
{
    QString t = testo;
    t.replace(QRegularExpression(QStringLiteral("\r\n|\n|\r")), QStringLiteral(" "));
    if (misura.larghezza(t, font) <= larghezza)
        return t;
    const QString segno(QChar(0x2026));
    int n = int(t.size());
    while (n > 0 && misura.larghezza(t.left(n) + segno, font) > larghezza)
        --n;
    return t.left(n) + segno;
}

Impaginatore::Impaginatore(const ModelloReport &modello, Misuratore &misura, Consegna consegna)
    : m_modello(modello), m_misura(misura), m_consegna(std::move(consegna))
{
}

std::vector<Impaginatore::Colonna> Impaginatore::colonne(const RigaModello &def) const
{
    std::vector<Colonna> out;
    int x = m_modello.elenco.left();
    const int destra = m_modello.elenco.left() + m_modello.elenco.width();
    for (size_t k = 0; k < def.colonne.size(); ++k) {
        const ColonnaModello &c = def.colonne[k];
        if (!c.visibile)
            continue;
        if (x >= destra)
            break;
        // A column wider than what is left of the object is drawn to its edge.
        out.push_back({x, std::min(c.larghezza, destra - x), k});
        x += c.larghezza;
    }
    return out;
}

void Impaginatore::apriPagina()
{
    m_pagina.emplace();
    m_pagina->numero = m_consegnate + 1;
    m_y = m_modello.elenco.top();
    m_conRighe = false;
    if (!m_modello.testata.colonne.empty()) {
        std::vector<QStringList> celle;
        const auto col = colonne(m_modello.testata);
        for (size_t i = 0; i < col.size(); ++i) {
            const ColonnaModello &c = m_modello.testata.colonne[col[i].k];
            auto t = valuta(c.espressione, m_ambiente, nullptr);
            celle.push_back({tagliato(t.value_or(c.espressione), col[i].w - 2 * kSpazioX, fontDi(c), m_misura)});
        }
        posa(m_modello.testata, RigaStampata::Testata, celle);
    }
}

void Impaginatore::chiudiPagina()
{
    if (!m_pagina)
        return;
    m_ambiente.pagina = m_pagina->numero;
    for (const TestoModello &t : m_modello.testi) {
        if (!t.visibile)
            continue;
        int y = t.rect.top();
        const int lh = m_misura.altezzaRiga(t.font);
        for (const QString &e : t.righe) {
            QString errore;
            const auto testo = valuta(e, m_ambiente, &errore);
            const QStringList righe = t.adatta ? aCapo(testo.value_or(QString()), t.rect.width(), t.font, m_misura)
                                               : QStringList{tagliato(testo.value_or(QString()), t.rect.width(), t.font, m_misura)};
            for (const QString &r : righe) {
                m_pagina->elementi.push_back({ElementoPagina::Testo, QRect(t.rect.left(), y, t.rect.width(), lh), r,
                                              t.allinea, t.font});
                y += lh;
            }
        }
    }
    ++m_consegnate;
    m_consegna(std::move(*m_pagina));
    m_pagina.reset();
}

bool Impaginatore::posa(const RigaModello &def, RigaStampata::Tipo tipo, const std::vector<QStringList> &celle)
{
    const auto col = colonne(def);
    int righeTesto = 1;
    for (const QStringList &c : celle)
        righeTesto = std::max(righeTesto, int(c.size()));
    int lh = 0;
    for (size_t i = 0; i < col.size(); ++i)
        lh = std::max(lh, m_misura.altezzaRiga(fontDi(def.colonne[col[i].k])));
    if (lh <= 0)
        lh = m_misura.altezzaRiga(m_modello.font);
    const int fondo = m_modello.elenco.top() + m_modello.elenco.height();

    int fatte = 0;
    while (fatte < righeTesto) {
        if (!m_pagina)
            apriPagina();
        int spazio = (fondo - m_y - 2 * kSpazioY) / lh;
        if (spazio < righeTesto - fatte && m_conRighe && tipo != RigaStampata::Testata) {
            // A line that fits a page of its own starts one rather than being split.
            chiudiPagina();
            continue;
        }
        if (spazio <= 0) {
            if (!m_conRighe && tipo != RigaStampata::Testata)
                spazio = 1; // not even one line fits the object: one per page, never lost
            else if (tipo == RigaStampata::Testata)
                return true;
            else {
                chiudiPagina();
                continue;
            }
        }
        const int n = std::min(spazio, righeTesto - fatte);
        const int altezza = n * lh + 2 * kSpazioY;
        RigaStampata riga;
        riga.tipo = tipo;
        riga.alto = m_y;
        riga.altezza = altezza;
        for (size_t i = 0; i < col.size(); ++i) {
            const ColonnaModello &c = def.colonne[col[i].k];
            const QStringList &testo = i < celle.size() ? celle[i] : QStringList();
            const QStringList parte = testo.mid(fatte, n);
            riga.celle.push_back(parte);
            for (int k = 0; k < parte.size(); ++k)
                m_pagina->elementi.push_back({ElementoPagina::Testo,
                                              QRect(col[i].x + kSpazioX, m_y + kSpazioY + k * lh,
                                                    std::max(0, col[i].w - 2 * kSpazioX), lh),
                                              parte[k], c.allinea, fontDi(c)});
            if (i > 0) // separator between the columns
                m_pagina->elementi.push_back({ElementoPagina::Linea, QRect(QPoint(col[i].x, m_y), QPoint(col[i].x, m_y + altezza)),
                                              {}, 0, {}});
        }
        if (!col.empty()) {
            const int sx = col.front().x, dx = col.back().x + col.back().w;
            if (tipo == RigaStampata::Testata)
                m_pagina->elementi.push_back({ElementoPagina::Linea, QRect(QPoint(sx, m_y + altezza), QPoint(dx, m_y + altezza)), {}, 0, {}});
            if (tipo == RigaStampata::Totali)
                m_pagina->elementi.push_back({ElementoPagina::Linea, QRect(QPoint(sx, m_y), QPoint(dx, m_y)), {}, 0, {}});
        }
        m_pagina->righe.push_back(std::move(riga));
        m_y += altezza;
        fatte += n;
        if (tipo != RigaStampata::Testata)
            m_conRighe = true;
    }
    return true;
}

bool Impaginatore::riga(const RigaModello &def, RigaStampata::Tipo tipo)
{
    const auto col = colonne(def);
    std::vector<QStringList> celle;
    for (size_t i = 0; i < col.size(); ++i) {
        const ColonnaModello &c = def.colonne[col[i].k];
        QString errore;
        const auto testo = valuta(c.espressione, m_ambiente, &errore);
        if (!testo) {
            m_errore = errore;
            return false;
        }
        const int w = std::max(0, col[i].w - 2 * kSpazioX);
        celle.push_back(c.adatta ? aCapo(*testo, w, fontDi(c), m_misura)
                                 : QStringList{tagliato(*testo, w, fontDi(c), m_misura)});
    }
    return posa(def, tipo, celle);
}

bool Impaginatore::dettaglio()
{
    return riga(m_modello.dettaglio, RigaStampata::Dettaglio);
}

bool Impaginatore::totali()
{
    if (m_modello.totali.colonne.empty())
        return true;
    return riga(m_modello.totali, RigaStampata::Totali);
}

void Impaginatore::interrompiPagina()
{
    chiudiPagina();
}

bool Impaginatore::fine()
{
    if (!m_pagina && m_consegnate == 0)
        apriPagina();
    chiudiPagina();
    return m_errore.isEmpty();
}

} // namespace vardof::output::report
