#include "output/report/ModelloReport.h"

#include "core/Cp1252.h"

#include <QRegularExpression>

namespace vardof::output::report {

namespace {

// A section or a block in braces, with its key lines, its raw lines (those
// that start with ",", the column and text lines of the older format) and
// the blocks inside it.
struct Nodo
{
    QString nome;
    QList<QPair<QString, QString>> chiavi;
    QStringList grezze;
    std::vector<Nodo> figli;

    QString chiave(const QString &k, const QString &predefinito = {}) const
    {
        for (const auto &p : chiavi)
            if (p.first.compare(k, Qt::CaseInsensitive) == 0)
                return p.second;
        return predefinito;
    }
    bool ha(const QString &k) const
    {
        for (const auto &p : chiavi)
            if (p.first.compare(k, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    const Nodo *figlio(const QString &n) const
    {
        for (const Nodo &f : figli)
            if (f.nome.compare(n, Qt::CaseInsensitive) == 0)
                return &f;
        return nullptr;
    }
    std::vector<const Nodo *> tutti(const QString &n) const
    {
        std::vector<const Nodo *> out;
        for (const Nodo &f : figli)
            if (f.nome.compare(n, Qt::CaseInsensitive) == 0)
                out.push_back(&f);
        return out;
    }
    const Nodo *percorso(const QStringList &nomi) const
    {
        const Nodo *n = this;
        for (const QString &x : nomi)
            if (!(n = n->figlio(x)))
                return nullptr;
        return n;
    }
};

bool nomeTraParentesi(const QString &t)
{
    return t.size() > 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

QString senzaRientro(const QString &r)
{
    int i = 0;
    while (i < r.size() && (r[i] == QLatin1Char(' ') || r[i] == QLatin1Char('\t')))
        ++i;
    return r.mid(i);
}

// Reads the lines of `n` from `i` until the end of its block ("}") or, for
// a section, until the next section at column 0.
void leggiContenuto(const QStringList &righe, int &i, Nodo &n, bool sezione)
{
    while (i < righe.size()) {
        const QString &r = righe[i];
        if (sezione && r.startsWith(QLatin1Char('[')))
            return;
        const QString t = senzaRientro(r);
        if (t.isEmpty()) {
            ++i;
            continue;
        }
        if (!sezione && t == QLatin1String("}")) {
            ++i;
            return;
        }
        if (nomeTraParentesi(t) && i + 1 < righe.size() && senzaRientro(righe[i + 1]) == QLatin1String("{")) {
            Nodo b;
            b.nome = t.mid(1, t.size() - 2);
            i += 2;
            leggiContenuto(righe, i, b, false);
            n.figli.push_back(std::move(b));
            continue;
        }
        if (t.startsWith(QLatin1Char(',')))
            n.grezze << t;
        else {
            const int uguale = int(t.indexOf(QLatin1Char('=')));
            if (uguale > 0)
                n.chiavi.append({t.left(uguale), t.mid(uguale + 1)});
            else
                n.grezze << t;
        }
        ++i;
    }
}

std::vector<Nodo> sezioni(const QString &testo)
{
    QStringList righe = testo.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    std::vector<Nodo> out;
    int i = 0;
    while (i < righe.size()) {
        const QString &r = righe[i];
        if (r.startsWith(QLatin1Char('[')) && nomeTraParentesi(r.trimmed())) {
            Nodo s;
            s.nome = r.trimmed().mid(1, r.trimmed().size() - 2);
            ++i;
            leggiContenuto(righe, i, s, true);
            out.push_back(std::move(s));
        } else {
            ++i;
        }
    }
    return out;
}

// Splits "a=1,b={x,y},c=(1,2)" at the commas outside braces and brackets.
QStringList dividi(const QString &s)
{
    QStringList out;
    int livello = 0, inizio = 0;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('{') || c == QLatin1Char('('))
            ++livello;
        else if (c == QLatin1Char('}') || c == QLatin1Char(')'))
            --livello;
        else if (c == QLatin1Char(',') && livello == 0) {
            out << s.mid(inizio, i - inizio);
            inizio = i + 1;
        }
    }
    out << s.mid(inizio);
    return out;
}

std::optional<int> numero(const QString &t)
{
    bool ok = false;
    const int v = t.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// "{(r,g,b),size,...,weight,italic,underline,strike,...,name}"
std::optional<FontModello> leggiFont(QString t)
{
    t = t.trimmed();
    if (!t.startsWith(QLatin1Char('{')) || !t.endsWith(QLatin1Char('}')))
        return std::nullopt;
    const QStringList p = dividi(t.mid(1, t.size() - 2));
    if (p.size() < 10)
        return std::nullopt;
    FontModello f;
    const QStringList rgb = p[0].mid(1, p[0].size() - 2).split(QLatin1Char(','));
    if (rgb.size() == 3) {
        f.rosso = rgb[0].toInt();
        f.verde = rgb[1].toInt();
        f.blu = rgb[2].toInt();
    }
    f.punti = p[1].toDouble();
    if (f.punti <= 0)
        f.punti = 8;
    f.grassetto = p[6].toInt() >= 700;
    f.corsivo = p[7].toInt() != 0;
    f.sottolineato = p[8].toInt() != 0;
    f.barrato = p[9].toInt() != 0;
    f.nome = p.last().trimmed();
    return f;
}

std::optional<QRect> rettangolo(const QString &t) // (left,top,right,bottom)
{
    QString s = t.trimmed();
    if (!s.startsWith(QLatin1Char('(')) || !s.endsWith(QLatin1Char(')')))
        return std::nullopt;
    const QStringList p = s.mid(1, s.size() - 2).split(QLatin1Char(','));
    if (p.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        auto n = numero(p[i]);
        if (!n)
            return std::nullopt;
        v[i] = *n;
    }
    return QRect(v[0], v[1], v[2] - v[0], v[3] - v[1]);
}

QString tolgiQuote(QString t)
{
    const QChar q(0xA8);
    if (t.startsWith(q))
        t.remove(0, 1);
    if (t.endsWith(q))
        t.chop(1);
    return t;
}

// ",Width=...,Align=2,..., Font={...},Space=(...),bRTF=FALSE,Text=¨expr¨"
std::optional<ColonnaModello> colonnaV3(const QString &riga)
{
    const int testo = int(riga.indexOf(QLatin1String(",Text=")));
    if (testo < 0)
        return std::nullopt;
    ColonnaModello c;
    c.espressione = tolgiQuote(riga.mid(testo + 6));
    bool conLarghezza = false;
    for (const QString &parte : dividi(riga.left(testo))) {
        const QString p = parte.trimmed();
        const int u = int(p.indexOf(QLatin1Char('=')));
        if (u < 0)
            continue;
        const QString k = p.left(u), v = p.mid(u + 1);
        if (k == QLatin1String("Width")) {
            auto n = numero(v);
            if (!n || *n < 0)
                return std::nullopt;
            c.larghezza = *n;
            conLarghezza = true;
        } else if (k == QLatin1String("Align")) {
            c.allinea = v.toInt();
        } else if (k == QLatin1String("Fit")) {
            c.adatta = v.toInt() != 0;
        } else if (k == QLatin1String("Font")) {
            c.font = leggiFont(v);
        } else if (k == QLatin1String("Visible")) {
            c.visibile = v.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) != 0;
        }
    }
    if (!conLarghezza)
        return std::nullopt;
    return c;
}

bool rigaV3(const Nodo *blocco, RigaModello &riga)
{
    if (!blocco)
        return true;
    for (const QString &g : blocco->grezze) {
        auto c = colonnaV3(g);
        if (!c)
            return false;
        riga.colonne.push_back(*c);
    }
    riga.condizione = blocco->chiave(QStringLiteral("LCondition"));
    return true;
}

std::optional<QRect> posizione(const Nodo &o)
{
    auto l = numero(o.chiave(QStringLiteral("Position/Left"))), t = numero(o.chiave(QStringLiteral("Position/Top")));
    auto w = numero(o.chiave(QStringLiteral("Position/Width"))),
         h = numero(o.chiave(QStringLiteral("Position/Height")));
    if (!l || !t || !w || !h)
        return std::nullopt;
    return QRect(*l, *t, *w, *h);
}

FontModello fontV6(const Nodo *f, FontModello base)
{
    if (!f)
        return base;
    QString nome = f->chiave(QStringLiteral("FaceName"), base.nome);
    nome.remove(QLatin1Char('"'));
    base.nome = nome;
    if (auto s = f->chiave(QStringLiteral("Size")).toDouble(); s > 0)
        base.punti = s;
    base.grassetto = f->chiave(QStringLiteral("Bold")).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    base.corsivo = f->chiave(QStringLiteral("Italic")).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    return base;
}

bool rigaV6(const Nodo *gruppo, const FontModello &base, RigaModello &riga)
{
    if (!gruppo)
        return true;
    const Nodo *colonne = gruppo->percorso({QStringLiteral("Lines"), QStringLiteral("Line"), QStringLiteral("Columns")});
    if (!colonne)
        return true;
    for (const Nodo *c : colonne->tutti(QStringLiteral("Column"))) {
        auto w = numero(c->chiave(QStringLiteral("Width")));
        if (!w || *w < 0)
            return false;
        ColonnaModello m;
        m.larghezza = *w;
        m.allinea = c->chiave(QStringLiteral("Align")).toInt();
        m.adatta = c->chiave(QStringLiteral("LineWrap")).toInt() != 0;
        m.espressione = c->chiave(QStringLiteral("Text"));
        m.font = fontV6(c->figlio(QStringLiteral("Font")), base);
        m.visibile = c->chiave(QStringLiteral("Visible")).compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
        riga.colonne.push_back(m);
    }
    return true;
}

bool vero(const QString &t)
{
    return t.isEmpty() || t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<ModelloReport> LeggiLayout(const QByteArray &file, QString *errore)
{
    auto fallisci = [&](const QString &e) -> std::optional<ModelloReport> {
        if (errore)
            *errore = e;
        return std::nullopt;
    };
    const std::vector<Nodo> s = sezioni(core::fromCp1252(file));
    ModelloReport m;
    bool conElenco = false;
    for (const Nodo &n : s) {
        if (n.nome == QLatin1String("Description")) {
            m.formato = n.chiave(QStringLiteral("FileVersion"), QStringLiteral("3")).toInt();
        } else if (n.nome == QLatin1String("Layout")) {
            auto x = numero(n.chiave(QStringLiteral("xSize"))), y = numero(n.chiave(QStringLiteral("ySize")));
            if (!x || !y || *x <= 0 || *y <= 0)
                return fallisci(QStringLiteral("dimensioni della pagina non leggibili"));
            m.larghezzaPagina = *x;
            m.altezzaPagina = *y;
            m.orizzontale = n.chiave(QStringLiteral("Orientation")) == QLatin1String("2") || *x > *y;
        } else if (n.nome == QLatin1String("Object")) {
            const int id = n.chiave(QStringLiteral("ObjectID")).toInt();
            if (id == 6) {
                conElenco = true;
                if (n.ha(QStringLiteral("Rect"))) { // the older text format
                    auto r = rettangolo(n.chiave(QStringLiteral("Rect")));
                    if (!r)
                        return fallisci(QStringLiteral("posizione dell'elenco non leggibile"));
                    m.elenco = *r;
                    if (auto f = leggiFont(n.chiave(QStringLiteral("Font"))))
                        m.font = *f;
                    if (!rigaV3(n.figlio(QStringLiteral("Columns")), m.dettaglio)
                        || !rigaV3(n.figlio(QStringLiteral("Columns1")), m.totali)
                        || !rigaV3(n.figlio(QStringLiteral("HeaderColumns")), m.testata))
                        return fallisci(QStringLiteral("colonna dell'elenco non leggibile"));
                    m.conRigaTotali = n.figlio(QStringLiteral("Columns1")) != nullptr;
                } else {
                    auto r = posizione(n);
                    if (!r)
                        return fallisci(QStringLiteral("posizione della tabella non leggibile"));
                    m.elenco = *r;
                    if (auto f = leggiFont(n.chiave(QStringLiteral("DefaultFont"))))
                        m.font = *f;
                    const Nodo *t = n.percorso({QStringLiteral("@Tables"), QStringLiteral("Tables"), QStringLiteral("Table")});
                    if (!t || !rigaV6(t->figlio(QStringLiteral("Body")), m.font, m.dettaglio)
                        || !rigaV6(t->figlio(QStringLiteral("Header")), m.font, m.testata))
                        return fallisci(QStringLiteral("colonna della tabella non leggibile"));
                }
            } else if (id == 1) {
                TestoModello t;
                t.font.punti = 10;
                if (n.ha(QStringLiteral("Rect"))) {
                    auto r = rettangolo(n.chiave(QStringLiteral("Rect")));
                    if (!r)
                        return fallisci(QStringLiteral("posizione di un testo non leggibile"));
                    t.rect = *r;
                    t.visibile = vero(n.chiave(QStringLiteral("Condition")));
                    if (const Nodo *l = n.figlio(QStringLiteral("Lines")))
                        for (const QString &g : l->grezze) {
                            const int i = int(g.indexOf(QLatin1String(",Text=")));
                            if (i < 0)
                                continue;
                            t.righe << tolgiQuote(g.mid(i + 6));
                            // Alignment, wrapping and font as our designer writes them.
                            for (const QString &parte : dividi(g.left(i))) {
                                const QString p = parte.trimmed();
                                const int u = int(p.indexOf(QLatin1Char('=')));
                                if (u < 0)
                                    continue;
                                const QString k = p.left(u), v = p.mid(u + 1);
                                if (k == QLatin1String("Align"))
                                    t.allinea = v.toInt();
                                else if (k == QLatin1String("Fit"))
                                    t.adatta = v.toInt() != 0;
                                else if (k == QLatin1String("Font"))
                                    if (auto f = leggiFont(v))
                                        t.font = *f;
                            }
                        }
                } else {
                    auto r = posizione(n);
                    if (!r)
                        return fallisci(QStringLiteral("posizione di un testo non leggibile"));
                    t.rect = *r;
                    t.visibile = vero(n.chiave(QStringLiteral("Condition")));
                    if (const Nodo *l = n.percorso({QStringLiteral("@Lines"), QStringLiteral("Lines")}))
                        for (const Nodo *riga : l->tutti(QStringLiteral("Line"))) {
                            t.righe << riga->chiave(QStringLiteral("Text"));
                            t.allinea = riga->chiave(QStringLiteral("Align")).toInt();
                            t.adatta = riga->chiave(QStringLiteral("LineWrap")) != QLatin1String("0");
                            t.font = fontV6(riga->figlio(QStringLiteral("Font")), t.font);
                        }
                }
                m.testi.push_back(t);
            }
        }
    }
    if (!conElenco)
        return fallisci(QStringLiteral("manca l'elenco delle colonne"));
    if (m.dettaglio.colonne.empty())
        return fallisci(QStringLiteral("l'elenco non ha colonne"));
    return m;
}

} // namespace vardof::output::report
