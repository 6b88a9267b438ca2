#include "output/PagineTesto.h"

#include "db/Error.h"
#include "output/Esportazione.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"

#include <QDir>

#include <algorithm>

namespace vardof::output {

QString ProssimoNomeAlternativo(const QString &nomeDato)
{
    QString nome = nomeDato.toUpper();
    if (nome.endsWith(QLatin1String(".DB")))
        nome.chop(3);
    bool numero = false;
    const int n = nome.size() >= 2 ? nome.right(2).toInt(&numero) : 0;
    if (!numero || !nome.right(2).at(0).isDigit() || !nome.right(2).at(1).isDigit())
        return nome.left(5) + QStringLiteral("01.DB");
    return nome.left(nome.size() - 2) + QStringLiteral("%1").arg(n + 1, 2, 10, QLatin1Char('0')) + QStringLiteral(".DB");
}

StatoTabella VerificaTabellaLibera(const QString &cartella, QString &nome,
                                   std::unique_ptr<platform::ILocalTable> &aperta)
{
    platform::ILocalTables &tabelle = platform::localTables();
    aperta.reset();
    auto percorso = [&]() { return platform::ensureTrailingSeparator(cartella) + nome; };
    if (!tabelle.exists(percorso()))
        return StatoTabella::NonEsiste;
    bool primo = true;
    StatoTabella stato = StatoTabella::EsisteLibera;
    while (true) {
        aperta = tabelle.openExclusive(percorso());
        if (aperta)
            return stato;
        if (primo)
            stato = StatoTabella::EsisteOccupata;
        primo = false;
        nome = ProssimoNomeAlternativo(nome);
        if (!tabelle.exists(percorso()))
            return stato;
    }
}

int RigheStampaQuery(const QString &ditta)
{
    const int n = platform::IniFile(QStringLiteral("ostrel.ini")).readInteger(ditta, QStringLiteral("RigheStampaQuery"), 50);
    return n;
}

QStringList pezziMemo(const QString &testo, int w)
{
    QStringList pezzi;
    if (w <= 0)
        return pezzi;
    const qsizetype n = testo.size();
    qsizetype i = 0;
    while (i < n) {
        QString pezzo;
        while (i < n) {
            const QChar c = testo.at(i);
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++i;
                if (c == QLatin1Char('\r') && i < n && testo.at(i) == QLatin1Char('\n'))
                    ++i;
                break;
            }
            if (c == QLatin1Char(' ')) {
                qsizetype j = i + 1;
                int parola = 0;
                while (j < n && parola < w && testo.at(j) != QLatin1Char(' ') && testo.at(j) != QLatin1Char('\r')
                       && testo.at(j) != QLatin1Char('\n')) {
                    ++parola;
                    ++j;
                }
                ++i;
                if (pezzo.size() + parola < w) {
                    pezzo += c;
                    continue;
                }
                break;
            }
            pezzo += c;
            ++i;
            if (pezzo.size() >= w)
                break;
        }
        pezzi << pezzo;
    }
    return pezzi;
}

int DeterminaNumeroMassimoRighe(const std::vector<std::pair<QString, int>> &memo)
{
    int massimo = 0;
    for (const auto &[testo, larghezza] : memo)
        massimo = std::max(massimo, int(pezziMemo(testo, larghezza).size()));
    return massimo;
}

QString rigaColonne(const QStringList &testi, const std::vector<int> &larghezze)
{
    QString riga = QStringLiteral("|");
    for (size_t i = 0; i < larghezze.size(); ++i) {
        const int w = larghezze[i];
        riga += testi.value(qsizetype(i)).leftJustified(w, QLatin1Char(' '), true);
        riga += QLatin1Char('|');
    }
    return riga;
}

// ---- page builder -----------------------------------------------------------

namespace {

platform::LocalTableLayout layoutTestate()
{
    return {{{QStringLiteral("NumeroPagina"), platform::LocalField::SmallInt, 0}}, {QStringLiteral("NumeroPagina")}};
}

platform::LocalTableLayout layoutRighe()
{
    return {{{QStringLiteral("NumeroPagina"), platform::LocalField::SmallInt, 0},
             {QStringLiteral("NumeroRiga"), platform::LocalField::Float, 0},
             {QStringLiteral("TipoRiga"), platform::LocalField::SmallInt, 0},
             {QStringLiteral("Descrizione"), platform::LocalField::Text, 136}},
            {QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")}};
}

} // namespace

GeneratorePagine::GeneratorePagine(const QStringList &intestazioni, bool numerazione, const QString &ditta,
                                   const QString &dirLavoro, int righePerPagina)
    : m_h(intestazioni), m_numerazione(numerazione), m_ditta(ditta),
      m_n(righePerPagina > 0 ? righePerPagina : RigheStampaQuery(ditta))
{
    while (m_h.size() < 5)
        m_h << QString();
    const QString base = platform::ensureTrailingSeparator(dirLavoro) + QStringLiteral("STAMPE/TEXT/");
    m_cartellaTestate = platform::toNativeLocal(base + QStringLiteral("TESTATT"));
    m_cartellaRighe = platform::toNativeLocal(base + QStringLiteral("RIGHET"));
}

GeneratorePagine::~GeneratorePagine()
{
    platform::ILocalTables &tabelle = platform::localTables();
    const QString testate = percorsoTestate();
    const QString righe = percorsoRighe();
    if (m_testate)
        m_testate->close();
    if (m_righeTab)
        m_righeTab->close();
    if (m_nomeTestate != kTestatt)
        tabelle.remove(testate);
    if (m_nomeRighe != kRighet)
        tabelle.remove(righe);
}

bool GeneratorePagine::preparaTabella(const QString &cartella, QString &nome, const platform::LocalTableLayout &layout,
                                      std::unique_ptr<platform::ILocalTable> &tabella, StatoTabella &stato)
{
    stato = VerificaTabellaLibera(cartella, nome, tabella);
    if (!tabella) {
        QDir().mkpath(cartella); // a failure shows at the creation
        QString motivo;
        tabella = platform::localTables().create(cartella + QLatin1Char('/') + nome, layout, &motivo);
        if (!tabella) {
            fallisci(QStringLiteral("Impossibile creare la tabella \"%1\": %2").arg(cartella + QLatin1Char('/') + nome, motivo));
            return false;
        }
    }
    if (!tabella->empty()) {
        fallisci(QStringLiteral("Impossibile svuotare la tabella \"%1\": %2").arg(tabella->path(), tabella->errorString()));
        return false;
    }
    return true;
}

bool GeneratorePagine::Prepara()
{
    m_errore.clear();
    if (!preparaTabella(m_cartellaTestate, m_nomeTestate, layoutTestate(), m_testate, m_statoTestate))
        return false;
    if (!preparaTabella(m_cartellaRighe, m_nomeRighe, layoutRighe(), m_righeTab, m_statoRighe))
        return false;
    m_pagina = 0;
    m_l = 0;
    AggiungiPagina();
    for (int k = 0; k < 5; ++k)
        aggiungiLinea(m_h.at(k));
    return !fallito();
}

void GeneratorePagine::fallisci(const QString &motivo)
{
    if (m_errore.isEmpty())
        m_errore = motivo;
}

void GeneratorePagine::AggiungiPagina()
{
    ++m_pagina;
    if (m_testate && !m_testate->append({QVariant(m_pagina)}))
        fallisci(QStringLiteral("Impossibile scrivere la tabella \"%1\": %2").arg(m_testate->path(), m_testate->errorString()));
}

void GeneratorePagine::aggiungiLinea(const QString &testo)
{
    ++m_l;
    if (m_righeTab && !m_righeTab->append({QVariant(m_pagina), QVariant(double(m_l)), QVariant(), QVariant(testo)}))
        fallisci(QStringLiteral("Impossibile scrivere la tabella \"%1\": %2").arg(m_righeTab->path(), m_righeTab->errorString()));
}

void GeneratorePagine::AggiungiRiga(const QString &testo)
{
    const int r = m_numerazione ? 2 : 0;
    if (m_l >= m_n - r) {
        if (m_numerazione && m_l == m_n - r) {
            aggiungiLinea(m_h.at(4));
            aggiungiLinea(QStringLiteral("Pagina N° %1").arg(m_pagina));
        }
        AggiungiPagina();
        m_l = 0;
        for (int k = 0; k < 5; ++k)
            aggiungiLinea(m_h.at(k));
    }
    aggiungiLinea(testo);
}

void GeneratorePagine::TerminaUltimaPagina()
{
    const int r = m_numerazione ? 2 : 0;
    QString riempitivo = m_h.at(3);
    for (QChar &c : riempitivo)
        if (c != QLatin1Char('|'))
            c = QLatin1Char(' ');
    for (int k = m_n - m_l - r; k > 0; --k)
        aggiungiLinea(riempitivo);
    if (m_numerazione && m_n - m_l > 1) {
        aggiungiLinea(m_h.at(4));
        aggiungiLinea(QStringLiteral("Pagina N° %1").arg(m_pagina));
    }
}

// ---- the answer as pages ------------------------------------------------------

ColonneStampa colonneStampa(const std::vector<CampoEsportato> &campi, const std::vector<db::Column> &colonne,
                            int larghezzaValoreRecord)
{
    ColonneStampa c;
    QStringList nomi;
    for (const CampoEsportato &f : campi) {
        c.larghezze.push_back(larghezzaCampo(f, colonne[size_t(f.colonna)]));
        nomi << f.nome;
    }
    if (larghezzaValoreRecord > 0 && c.larghezze.size() > 1)
        c.larghezze[1] = std::clamp(larghezzaValoreRecord, 45, 100);
    c.intestazione = rigaColonne(nomi, c.larghezze);
    return c;
}

std::unique_ptr<GeneratorePagine> GeneraPagineRisposta(const RispostaDaEsportare &risposta, const OpzioniPagine &o,
                                                       const QString &ditta, const QString &dirLavoro,
                                                       platform::RunFeedback &fb, QString *errore)
{
    CursoreRisposta cur(risposta);
    try {
        cur.apri();
    } catch (const db::Error &e) {
        if (errore)
            *errore = QStringLiteral("Operazione fallita:\r") + e.message();
        return nullptr;
    }
    const auto &campi = cur.campi();
    const auto &colonne = cur.colonne();
    const ColonneStampa cs = colonneStampa(campi, colonne, o.larghezzaValoreRecord);
    const QString trattini(cs.intestazione.size(), QLatin1Char('-'));
    auto gen = std::make_unique<GeneratorePagine>(QStringList{o.titolo, o.note, QString(), cs.intestazione, trattini},
                                                  o.numerazione, ditta, dirLavoro, o.righePerPagina);
    if (!gen->Prepara()) {
        if (errore)
            *errore = gen->errore();
        return nullptr;
    }
    bool totali = false;
    for (const CampoEsportato &f : campi)
        totali = totali || (conTotale(f.codice) && eNumerico(colonne[size_t(f.colonna)]));
    std::vector<long double> somme(campi.size(), 0.0L);

    OpzioniTesto testo;
    qint64 righe = 0;
    while (true) {
        bool ancora = false;
        try {
            ancora = cur.prossima();
        } catch (const db::Error &e) {
            if (errore)
                *errore = QStringLiteral("Operazione fallita:\r") + e.message();
            return nullptr;
        }
        if (!ancora)
            break;
        std::vector<QStringList> pezzi(campi.size());
        int linee = 1;
        QStringList prima;
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            const db::FieldValue v = cur.valore(campi[i].colonna);
            const int w = cs.larghezze[i];
            if (eBlob(c) && o.memoEstesi) {
                // Every piece is shown, empty ones (blank lines) included.
                pezzi[i] = pezziMemo(db::toText(v), w);
                linee = std::max(linee, int(pezzi[i].size()));
                prima << pezzi[i].value(0);
            } else {
                QString s = testoCampoTesto(c, v, campi[i].codice, w, testo);
                if (s.size() > w)
                    s = s.left(w);
                prima << s;
            }
            if (totali && conTotale(campi[i].codice) && eNumerico(c) && v)
                somme[i] += db::toDouble(*v).value_or(0.0);
        }
        gen->AggiungiRiga(rigaColonne(prima, cs.larghezze));
        for (int k = 1; k < linee; ++k) {
            QStringList altre;
            for (size_t i = 0; i < campi.size(); ++i)
                altre << pezzi[i].value(k);
            gen->AggiungiRiga(rigaColonne(altre, cs.larghezze));
        }
        ++righe;
        fb.step(righe, -1);
        if (gen->fallito())
            break;
    }
    if (totali && !gen->fallito()) {
        gen->AggiungiRiga(trattini);
        QStringList tot;
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            const double s = double(somme[i]);
            const int g = raggruppamento(campi[i].codice);
            if (eVirgola(c) && (g == 1 || g == 2)) {
                const QString t = testoRaggruppato(s, g);
                tot << (t.size() < cs.larghezze[i] ? t.rightJustified(cs.larghezze[i], QLatin1Char(' ')) : t);
            } else {
                tot << testoRaggruppato(s, 2);
            }
        }
        gen->AggiungiRiga(rigaColonne(tot, cs.larghezze));
    }
    gen->TerminaUltimaPagina();
    if (gen->fallito()) {
        if (errore)
            *errore = gen->errore();
        return nullptr;
    }
    return gen;
}

} // namespace vardof::output
