#include "output/report/DisegnoLayout.h"

#include "core/Cp1252.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace vardof::output::report {

namespace {

const QRegularExpression &reNome()
{
    static const QRegularExpression re(QStringLiteral("^\\s*([A-Za-z_@][A-Za-z0-9_.@]*)\\s*$"));
    return re;
}

const QRegularExpression &reFstr()
{
    static const QRegularExpression re(QStringLiteral("^(\\s*Fstr\\$\\(\\s*)([A-Za-z_@][A-Za-z0-9_.@]*)(\\s*,.*)$"),
                                       QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::DotMatchesEverythingOption);
    return re;
}

bool eTotale(const QString &nome)
{
    return nome.startsWith(QLatin1String("Totale."), Qt::CaseInsensitive);
}

// "¨ ¨" and '" "' are the blank texts the system writes for a column
// without a total.
bool espressioneVuota(const QString &e)
{
    const QString t = e.trimmed();
    return t.isEmpty() || t == QLatin1String("\" \"") || t == QLatin1String("\"\"") || t == QLatin1String("' '");
}

} // namespace

QString campoDellEspressione(const QString &espressione)
{
    auto m = reNome().match(espressione);
    if (!m.hasMatch())
        m = reFstr().match(espressione);
    if (!m.hasMatch())
        return {};
    const QString nome = m.captured(m.lastCapturedIndex() == 1 ? 1 : 2);
    if (eTotale(nome))
        return {};
    return nome;
}

QString testoComeEspressione(const QString &testo)
{
    if (!testo.contains(QLatin1Char('"')))
        return QLatin1Char('"') + testo + QLatin1Char('"');
    if (!testo.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + testo + QLatin1Char('\'');
    // The expressions have no escape: a text with both quotes is written as
    // literals joined by "+", each in the quote it does not contain.
    QStringList parti;
    qsizetype i = 0;
    while (i < testo.size()) {
        const qsizetype doppio = testo.indexOf(QLatin1Char('"'), i);
        const qsizetype singolo = testo.indexOf(QLatin1Char('\''), i);
        // Up to the first double quote in double quotes, else up to the
        // first single quote in single quotes.
        const bool inDoppie = doppio != i;
        const QChar quota = inDoppie ? QLatin1Char('"') : QLatin1Char('\'');
        qsizetype fine = inDoppie ? doppio : singolo;
        if (fine < 0)
            fine = testo.size();
        parti << quota + testo.mid(i, fine - i) + quota;
        i = fine;
    }
    return parti.join(QLatin1Char('+'));
}

namespace {

// The text of an expression made only of literals joined by "+"; nothing
// when it holds anything else.
std::optional<QString> soloLetterali(const QString &e)
{
    QString testo;
    qsizetype i = 0;
    auto spazi = [&] {
        while (i < e.size() && e[i].isSpace())
            ++i;
    };
    for (;;) {
        spazi();
        if (i >= e.size() || (e[i] != QLatin1Char('"') && e[i] != QLatin1Char('\'')))
            return std::nullopt;
        const qsizetype fine = e.indexOf(e[i], i + 1);
        if (fine < 0)
            return std::nullopt;
        testo += e.mid(i + 1, fine - i - 1);
        i = fine + 1;
        spazi();
        if (i >= e.size())
            return testo;
        if (e[i] != QLatin1Char('+'))
            return std::nullopt;
        ++i;
    }
}

} // namespace

DisegnoLayout::DisegnoLayout(ModelloReport modello) : m_modello(std::move(modello)) {}

RigaModello *DisegnoLayout::righe(int i)
{
    switch (i) {
    case 0:
        return &m_modello.testata;
    case 1:
        return &m_modello.dettaglio;
    default:
        return &m_modello.totali;
    }
}

int DisegnoLayout::colonne() const
{
    return int(std::max({m_modello.testata.colonne.size(), m_modello.dettaglio.colonne.size(),
                         m_modello.totali.colonne.size()}));
}

// A line shorter than the report gets blank columns as wide as the detail's.
void DisegnoLayout::assicura(RigaModello &riga, int k)
{
    while (int(riga.colonne.size()) <= k) {
        const size_t i = riga.colonne.size();
        ColonnaModello c;
        if (i < m_modello.dettaglio.colonne.size()) {
            c.larghezza = m_modello.dettaglio.colonne[i].larghezza;
            c.allinea = m_modello.dettaglio.colonne[i].allinea;
            c.visibile = m_modello.dettaglio.colonne[i].visibile;
        } else if (!riga.colonne.empty()) {
            c.larghezza = riga.colonne.back().larghezza;
        }
        c.espressione = QStringLiteral("\" \"");
        riga.colonne.push_back(c);
    }
}

QString DisegnoLayout::titolo(int k) const
{
    if (k < 0 || k >= int(m_modello.testata.colonne.size()))
        return {};
    const QString e = m_modello.testata.colonne[size_t(k)].espressione.trimmed();
    return soloLetterali(e).value_or(e);
}

void DisegnoLayout::setTitolo(int k, const QString &testo)
{
    if (k < 0 || k >= colonne())
        return;
    // A layout without a header line gets one at its first title.
    assicura(m_modello.testata, colonne() - 1);
    m_modello.testata.colonne[size_t(k)].espressione = testoComeEspressione(testo);
}

QString DisegnoLayout::campo(int k) const
{
    if (k < 0 || k >= int(m_modello.dettaglio.colonne.size()))
        return {};
    return m_modello.dettaglio.colonne[size_t(k)].espressione;
}

void DisegnoLayout::setCampo(int k, const QString &espressione)
{
    if (k < 0 || k >= colonne())
        return;
    assicura(m_modello.dettaglio, k);
    m_modello.dettaglio.colonne[size_t(k)].espressione = espressione;
    // A total follows its field and the field's formatting.
    if (totale(k)) {
        setTotale(k, false);
        if (puoTotale(k))
            setTotale(k, true);
    }
}

int DisegnoLayout::larghezza(int k) const
{
    for (const RigaModello *r : {&m_modello.dettaglio, &m_modello.testata, &m_modello.totali})
        if (k >= 0 && k < int(r->colonne.size()))
            return r->colonne[size_t(k)].larghezza;
    return 0;
}

void DisegnoLayout::setLarghezza(int k, int larghezza)
{
    larghezza = std::max(0, larghezza);
    for (int i = 0; i < 3; ++i)
        if (RigaModello *r = righe(i); k >= 0 && k < int(r->colonne.size()))
            r->colonne[size_t(k)].larghezza = larghezza;
}

int DisegnoLayout::allinea(int k) const
{
    for (const RigaModello *r : {&m_modello.dettaglio, &m_modello.testata, &m_modello.totali})
        if (k >= 0 && k < int(r->colonne.size()))
            return r->colonne[size_t(k)].allinea;
    return 0;
}

void DisegnoLayout::setAllinea(int k, int allinea)
{
    allinea = std::clamp(allinea, 0, 2);
    for (int i = 0; i < 3; ++i)
        if (RigaModello *r = righe(i); k >= 0 && k < int(r->colonne.size()))
            r->colonne[size_t(k)].allinea = allinea;
}

bool DisegnoLayout::visibile(int k) const
{
    for (const RigaModello *r : {&m_modello.dettaglio, &m_modello.testata, &m_modello.totali})
        if (k >= 0 && k < int(r->colonne.size()))
            return r->colonne[size_t(k)].visibile;
    return true;
}

void DisegnoLayout::setVisibile(int k, bool visibile)
{
    for (int i = 0; i < 3; ++i)
        if (RigaModello *r = righe(i); k >= 0 && k < int(r->colonne.size()))
            r->colonne[size_t(k)].visibile = visibile;
}

bool DisegnoLayout::puoTotale(int k) const
{
    if (!m_modello.conRigaTotali || campoDellEspressione(campo(k)).isEmpty())
        return false;
    // The layouts tell numbers by their formatting or their right
    // alignment (written for every numeric field); a total of a text
    // would only print 0.
    return totale(k) || allinea(k) == 2 || reFstr().match(campo(k)).hasMatch();
}

bool DisegnoLayout::totale(int k) const
{
    if (k < 0 || k >= int(m_modello.totali.colonne.size()))
        return false;
    return !espressioneVuota(m_modello.totali.colonne[size_t(k)].espressione);
}

void DisegnoLayout::setTotale(int k, bool totale)
{
    if (k < 0 || k >= colonne() || !m_modello.conRigaTotali)
        return;
    assicura(m_modello.totali, colonne() - 1);
    ColonnaModello &c = m_modello.totali.colonne[size_t(k)];
    if (!totale) {
        c.espressione = QStringLiteral("\" \"");
        return;
    }
    const QString e = campo(k);
    const QString nome = campoDellEspressione(e);
    if (nome.isEmpty())
        return;
    // The detail's own formatting, on the running total of its field.
    const auto f = reFstr().match(e);
    c.espressione = f.hasMatch() ? f.captured(1) + QStringLiteral("Totale.") + nome + f.captured(3)
                                 : QStringLiteral("Totale.") + nome;
    // A totals line printed in the detail's font would not stand out.
    if (!c.font) {
        FontModello grassetto = m_modello.font;
        grassetto.grassetto = true;
        c.font = grassetto;
    }
}

void DisegnoLayout::sposta(int da, int a)
{
    const int n = colonne();
    if (da < 0 || da >= n || a < 0 || a >= n || da == a)
        return;
    for (int i = 0; i < 3; ++i) {
        RigaModello *r = righe(i);
        if (r->colonne.empty())
            continue;
        assicura(*r, n - 1);
        auto &v = r->colonne;
        ColonnaModello c = v[size_t(da)];
        v.erase(v.begin() + da);
        v.insert(v.begin() + a, c);
    }
}

void DisegnoLayout::setOrizzontale(bool orizzontale)
{
    if (orizzontale == m_modello.orizzontale)
        return;
    const int vecchiaL = m_modello.larghezzaPagina, vecchiaA = m_modello.altezzaPagina;
    const int corto = std::min(vecchiaL, vecchiaA), lungo = std::max(vecchiaL, vecchiaA);
    m_modello.larghezzaPagina = orizzontale ? lungo : corto;
    m_modello.altezzaPagina = orizzontale ? corto : lungo;
    m_modello.orizzontale = orizzontale;
    const int dL = m_modello.larghezzaPagina - vecchiaL, dA = m_modello.altezzaPagina - vecchiaA;
    // The list keeps its margins; texts in the lower half keep their
    // distance from the bottom, those in the right half from the right
    // edge, the others stretch with the page.
    QRect &e = m_modello.elenco;
    e.setWidth(std::max(1000, e.width() + dL));
    e.setHeight(std::max(1000, e.height() + dA));
    for (TestoModello &t : m_modello.testi) {
        if (t.rect.top() > vecchiaA / 2)
            t.rect.translate(0, dA);
        if (t.rect.left() > vecchiaL / 2)
            t.rect.translate(dL, 0);
        else
            t.rect.setWidth(std::max(1000, t.rect.width() + dL));
    }
}

void DisegnoLayout::setFont(const FontModello &font)
{
    m_modello.font = font;
    for (RigaModello *r : {&m_modello.testata, &m_modello.dettaglio, &m_modello.totali})
        for (ColonnaModello &c : r->colonne)
            if (c.font) {
                const bool grassetto = c.font->grassetto;
                c.font = font;
                c.font->grassetto = grassetto || font.grassetto;
            }
}

// ---- the file ------------------------------------------------------------------

namespace {

QString testoFont(const FontModello &f)
{
    return QStringLiteral("{(%1,%2,%3),%4,-16,0,0,0,%5,%6,%7,%8,0,0,0,0,0,%9}")
        .arg(f.rosso)
        .arg(f.verde)
        .arg(f.blu)
        .arg(QString::number(f.punti))
        .arg(f.grassetto ? 700 : 400)
        .arg(f.corsivo ? 255 : 0)
        .arg(f.sottolineato ? 1 : 0)
        .arg(f.barrato ? 1 : 0)
        .arg(f.nome);
}

QString rect(const QRect &r)
{
    return QStringLiteral("(%1,%2,%3,%4)").arg(r.left()).arg(r.top()).arg(r.left() + r.width()).arg(r.top() + r.height());
}

} // namespace

QByteArray ScriviLayoutModello(const ModelloReport &m, QString *errore)
{
    const QChar q(0xA8);
    QStringList r;
    QString cattivo;
    // Every expression stands on one line of the file between the quotes.
    auto espressione = [&](const QString &e) {
        if (e.contains(QLatin1Char('\r')) || e.contains(QLatin1Char('\n')) || e.contains(q))
            cattivo = e;
        return q + e + q;
    };
    const int orientamento = m.orizzontale ? 2 : 1;
    r << QStringLiteral("[List description]") << QStringLiteral("[Description]") << QStringLiteral(" Text=Report")
      << QStringLiteral(" FileVersion=3") << QStringLiteral(" Units=SCM-Units") << QStringLiteral(" TextQuote.Start=168")
      << QStringLiteral(" TextQuote.End=168") << QStringLiteral(" LastModifiedByApp=VARDOF.DLL [designer]");
    r << QStringLiteral("[Layout]");
    for (const QString &p : {QString(), QStringLiteral("P1."), QStringLiteral("P2.")})
        r << QStringLiteral(" %1xOffset=0").arg(p) << QStringLiteral(" %1yOffset=0").arg(p)
          << QStringLiteral(" %1xSize=%2").arg(p).arg(m.larghezzaPagina)
          << QStringLiteral(" %1ySize=%2").arg(p).arg(m.altezzaPagina);
    for (const QString &p : {QString(), QStringLiteral("P1."), QStringLiteral("P2.")})
        r << QStringLiteral(" %1Orientation=%2").arg(p).arg(orientamento);
    r << QStringLiteral(" Decimals=2");
    r << QStringLiteral("[UserSection]") << QStringLiteral("[Layer]") << QStringLiteral(" Name=Base")
      << QStringLiteral(" Condition=") << QStringLiteral(" Visible=TRUE") << QStringLiteral(" LayerID=0");

    r << QStringLiteral("[Object]") << QStringLiteral(" ObjectID=6") << QStringLiteral(" ObjectName=Elenco")
      << QStringLiteral(" Rect=") + rect(m.elenco) << QStringLiteral(" LayerID=0")
      << QStringLiteral(" Font=") + testoFont(m.font);
    auto riga = [&](const char *nome, const RigaModello &def) {
        r << QStringLiteral(" [%1]").arg(QLatin1String(nome)) << QStringLiteral("  {");
        for (const ColonnaModello &c : def.colonne) {
            QString l = QStringLiteral(",Width=%1,Align=%2").arg(c.larghezza).arg(c.allinea);
            if (c.adatta)
                l += QStringLiteral(",Fit=1");
            if (!c.visibile)
                l += QStringLiteral(",Visible=FALSE");
            l += QStringLiteral(",Separator=TRUE,SepWidth=0,Expression=TRUE,");
            if (c.font)
                l += QStringLiteral(" Font=") + testoFont(*c.font) + QLatin1Char(',');
            l += QStringLiteral("Space=(1000,500,1000,500),bRTF=FALSE,Text=") + espressione(c.espressione);
            r << QStringLiteral("  ") + l;
        }
        r << QStringLiteral("  LFont=default") << QStringLiteral("  LCondition=") + def.condizione
          << QStringLiteral("  IgnoreEmpty=1") << QStringLiteral("  }");
    };
    riga("Columns", m.dettaglio);
    if (m.conRigaTotali)
        riga("Columns1", m.totali);
    if (!m.testata.colonne.empty())
        riga("HeaderColumns", m.testata);

    for (const TestoModello &t : m.testi) {
        r << QStringLiteral("[Object]") << QStringLiteral(" ObjectID=1") << QStringLiteral(" ObjectName=Testo")
          << QStringLiteral(" Rect=") + rect(t.rect) << QStringLiteral(" Condition=") + QString(t.visibile ? QString() : QStringLiteral("False"))
          << QStringLiteral(" LayerID=0") << QStringLiteral(" [Lines]") << QStringLiteral("  {");
        for (const QString &e : t.righe)
            r << QStringLiteral("  ,Align=%1,Fit=%2, Font=%3,OptimSpaces=TRUE,Text=")
                         .arg(t.allinea)
                         .arg(t.adatta ? 1 : 0)
                         .arg(testoFont(t.font))
                     + espressione(e);
        r << QStringLiteral("  }");
    }
    r << QStringLiteral("[UserVariables]");

    if (!cattivo.isEmpty()) {
        if (errore)
            *errore = QStringLiteral("il testo \"%1\" va scritto su una sola riga").arg(cattivo);
        return {};
    }
    const QString testo = r.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    bool perso = false;
    QByteArray out = core::toCp1252(testo, &perso);
    if (perso) {
        // Name the first text that would change.
        for (const QString &l : r)
            if (!core::isCp1252(l)) {
                if (errore)
                    *errore = QStringLiteral("un carattere non previsto dalla codifica del file in: ") + l.trimmed();
                break;
            }
        return {};
    }
    return out;
}

} // namespace vardof::output::report
