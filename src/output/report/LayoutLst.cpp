#include "output/report/LayoutLst.h"

#include "core/Cp1252.h"

#include <QStringList>
#include "db/Column.h"

#include <cmath>
#include <functional>

namespace vardof::output::report {

namespace {

const QString Q = QString(QChar(0xA8)); // text quote, code 168 in Windows-1252

class Righe
{
public:
    void operator()(const QString &riga)
    {
        core::appendCp1252(riga, m_out);
        m_out.append("\r\n");
    }
    // A line at a nesting depth: one TAB per four levels, then blanks.
    void aProfondita(int d, const QString &riga)
    {
        (*this)(QString(d / 4, QLatin1Char('\t')) + QString(d % 4, QLatin1Char(' ')) + riga);
    }
    // "[nome]" at d, "{" and "}" and the contents at d + 1.
    void blocco(int d, const QString &nome, const std::function<void(int)> &contenuto)
    {
        aProfondita(d, QLatin1Char('[') + nome + QLatin1Char(']'));
        aProfondita(d + 1, QStringLiteral("{"));
        if (contenuto)
            contenuto(d + 1);
        aProfondita(d + 1, QStringLiteral("}"));
    }
    QByteArray testo() const { return m_out; }

private:
    QByteArray m_out;
};

QString n(int v)
{
    return QString::number(v);
}

QString rigaFont(const FontStampa &f)
{
    return QStringLiteral("Font={(%1,%2,%3),%4,-16,0,0,0,%5,%6,%7,%8,0,0,0,0,0,%9}")
        .arg(n(f.rosso), n(f.verde), n(f.blu), n(f.punti), n(f.grassetto ? 700 : 400), n(f.corsivo ? 255 : 0),
             n(f.sottolineato ? 1 : 0), n(f.barrato ? 1 : 0), f.nome);
}

QString fontTotali(const FontStampa &f)
{
    return QStringLiteral(" Font={(%1,%2,%3),%4,-11,0,0,0,700,%5,%6,%7,0,3,2,1,34,%8}")
        .arg(n(f.rosso), n(f.verde), n(f.blu), n(f.punti), n(f.corsivo ? 255 : 0), n(f.sottolineato ? 1 : 0),
             n(f.barrato ? 1 : 0), f.nome);
}

void sezioneLayout(Righe &r, int x, int y, int orientamento)
{
    r(QStringLiteral("[Layout]"));
    for (const QString &s : {QStringLiteral("P1.Template="), QStringLiteral("P2.Template="),
                             QStringLiteral("xOffset=0"), QStringLiteral("yOffset=0")})
        r(QLatin1Char(' ') + s);
    r(QStringLiteral(" xSize=") + n(x));
    r(QStringLiteral(" ySize=") + n(y));
    for (const QString &p : {QStringLiteral("P1."), QStringLiteral("P2.")}) {
        r(QLatin1Char(' ') + p + QStringLiteral("xOffset=0"));
        r(QLatin1Char(' ') + p + QStringLiteral("yOffset=0"));
        r(QLatin1Char(' ') + p + QStringLiteral("xSize=") + n(x));
        r(QLatin1Char(' ') + p + QStringLiteral("ySize=") + n(y));
    }
    for (const char *s : {"xGrid=1000", "yGrid=1000", "GridShow=FALSE", "GridSnap=FALSE", "PhysicalPage=TRUE",
                          "P1.PhysicalPage=TRUE", "P2.PhysicalPage=TRUE"})
        r(QLatin1Char(' ') + QLatin1String(s));
    r(QStringLiteral(" Orientation=") + n(orientamento));
    r(QStringLiteral(" P1.Orientation=") + n(orientamento));
    r(QStringLiteral(" P2.Orientation=") + n(orientamento));
    for (const char *s : {"EnhancedExpressions=TRUE", "EnhancedOldExpressions=FALSE", "Decimals=2",
                          "DefFont={(0,0,0),12,-16,0,0,0,400,0,0,0,0,0,0,0,0,Arial}"})
        r(QLatin1Char(' ') + QLatin1String(s));
}

void livelli(Righe &r)
{
    struct L { const char *nome, *cond, *colore; int id; };
    for (const L &l : {L{"Base", "", "(0,0,0)", 0}, L{"First Page", "Page() = 1", "(0,128,64)", 1},
                       L{"Following Pages", "Page() <> 1", "(0,0,255)", 2}}) {
        r(QStringLiteral("[Layer]"));
        r(QStringLiteral(" Name=") + QLatin1String(l.nome));
        r(QStringLiteral(" Condition=") + QLatin1String(l.cond));
        r(QStringLiteral(" WorkspaceColor=") + QLatin1String(l.colore));
        r(QStringLiteral(" Visible=TRUE"));
        r(QStringLiteral(" LayerID=") + n(l.id));
    }
}

void variabiliUtente(Righe &r)
{
    r(QStringLiteral("[UserVariables]"));
    for (int i = 1; i <= 50; ++i)
        r(QStringLiteral(" User%1=@User%2").arg(i).arg(i, 2, 10, QLatin1Char('0')));
    for (int i = 51; i <= 100; ++i)
        r(QStringLiteral(" User%1=@Utente%2").arg(i).arg(i - 50, 2, 10, QLatin1Char('0')));
}

void blocchiRiga(Righe &r, const QStringList &righe)
{
    r(QStringLiteral("  {"));
    for (const QString &s : righe)
        r(QStringLiteral("  ") + s);
    r(QStringLiteral("  }"));
}

QString frame(int i)
{
    return QStringLiteral("Frame%1=,Show=TRUE,Width=0,SpaceOut=0").arg(i);
}

void oggettoTesto(Righe &r, const QString &rect, const QString &testo)
{
    r(QStringLiteral("[Object]"));
    for (const QString &s : {QStringLiteral("ObjectID=1"), QStringLiteral("ObjectName=Testo"),
                             QStringLiteral("Identifier="), QStringLiteral("Rect=") + rect,
                             QStringLiteral("FgColor=(0,0,0)"), QStringLiteral("BkColor=(255,255,255)"),
                             QStringLiteral("Locked=FALSE"), QStringLiteral("UserLocked=FALSE"),
                             QStringLiteral("Condition="), QStringLiteral("LinkID=3"), QStringLiteral("LinkToID=0"),
                             QStringLiteral("LinkMode=32"), QStringLiteral("LinkTest=-15880"),
                             QStringLiteral("LayerID=0"), QStringLiteral("GroupID=0"),
                             QStringLiteral("bWYSIWYGDialog=TRUE"), QStringLiteral("bPageWrap=FALSE")})
        r(QLatin1Char(' ') + s);
    r(QStringLiteral(" [Lines]"));
    blocchiRiga(r, {QStringLiteral(",OptimSpaces=TRUE,Text=") + Q + testo + Q});
}

const char *kSpazio = ",Space=(1000,500,1000,500),bRTF=FALSE,Text=";

} // namespace

TipoCampo tipoCampo(const db::Column &c)
{
    switch (c.typeCode) {
    case db::TypeSmallint:
        return c.scale > 0 ? TipoCampo::Decimale : TipoCampo::InteroPiccolo;
    case db::TypeInteger:
    case db::TypeBigint:
        return c.scale > 0 ? TipoCampo::Decimale : TipoCampo::Intero;
    case db::TypeFloat:
    case db::TypeDouble:
        return c.scale > 0 ? TipoCampo::Decimale : TipoCampo::Virgola;
    case db::TypeBoolean:
        return TipoCampo::Booleano;
    case db::TypeDate:
    case db::TypeTimestamp:
        return TipoCampo::Data;
    case db::TypeBlob:
        return c.subType == 1 ? TipoCampo::Memo : TipoCampo::Blob;
    default:
        return TipoCampo::Testo;
    }
}

bool numerico(TipoCampo t)
{
    return t == TipoCampo::Intero || t == TipoCampo::InteroPiccolo || t == TipoCampo::Valuta
           || t == TipoCampo::Decimale || t == TipoCampo::Virgola;
}

QString FormattazioneCampoReportLSTAvanzato(const CampoLayout &campo, const QString &tipo)
{
    const QString base = tipo == QLatin1String("TOTALI") ? QStringLiteral("Totale.") + campo.nome : campo.nome;
    if (!numerico(campo.tipo))
        return base;
    auto fstr = [&](const QString &maschera) {
        return QStringLiteral("Fstr$(%1,\"%2\",1)").arg(base, maschera);
    };
    switch (campo.codice % 100000 % 10) {
    case 1:
        return fstr(QStringLiteral("---,---,---,--&.##"));
    case 2:
        return fstr(QStringLiteral("---,---,---,---"));
    default:
        break;
    }
    if (campo.tipo == TipoCampo::Virgola)
        return fstr(QStringLiteral("---,---,---,--&.######"));
    if (campo.tipo == TipoCampo::Decimale) {
        const int s = campo.scala;
        if (s == 1 || (s >= 3 && s <= 6))
            return fstr(QStringLiteral("---,---,---,--&.") + QString(s, QLatin1Char('#')));
        return fstr(QStringLiteral("---,---,---,--&.##"));
    }
    return base;
}

int larghezzaColonnaAvanzata(const CampoLayout &campo)
{
    return campo.larghezza < 3 ? 20000 : 2000 * campo.larghezza;
}

QByteArray CreaFileLSTAvanzato(const OpzioniLayoutAvanzato &o)
{
    Righe r;
    const int utile = o.orizzontale ? 257800 : 182000;
    const bool conTotali = !o.unRecord && [&] {
        for (const CampoLayout &c : o.colonneGriglia)
            if (c.codice % 100000 / 10 % 10 == 1)
                return true;
        return false;
    }();

    r(QStringLiteral("[List description]"));
    r(QStringLiteral("[Description]"));
    for (const QString &s : {QStringLiteral("Text=Report"), QStringLiteral("FileVersion=3"),
                             QStringLiteral("Units=SCM-Units"), QStringLiteral("TextQuote.Start=168"),
                             QStringLiteral("TextQuote.End=168"), QStringLiteral("Created=08/09/1999, 08:59:15"),
                             QStringLiteral("CreatedByApp=") + o.programma + QStringLiteral(" [1.00]"),
                             QStringLiteral("CreatedByDLL=CMBTL6.DLL [6.042]"),
                             QStringLiteral("LastModified=09/09/1999, 10:37:37"),
                             QStringLiteral("LastModifiedByApp=") + o.programma + QStringLiteral(" []"),
                             QStringLiteral("LastModifiedByDLL=CMBTL6.DLL [6.042]")})
        r(QLatin1Char(' ') + s);
    if (o.orizzontale)
        sezioneLayout(r, 296300, 210000, 2);
    else
        sezioneLayout(r, 210000, 296300, 1);
    r(QStringLiteral("[UserSection]"));
    r(QStringLiteral("[SumVariables]"));
    for (int i = 1; i <= 50; ++i)
        r(QStringLiteral(" Sum%1=@Sum%2;F;").arg(i).arg(i, 2, 10, QLatin1Char('0')));
    livelli(r);

    r(QStringLiteral("[Object]"));
    for (const QString &s :
         {QStringLiteral("ObjectID=6"), QStringLiteral("ObjectName=Elenco"), QStringLiteral("Identifier="),
          o.orizzontale ? QStringLiteral("Rect=(11600,27400,269400,193600)")
                        : QStringLiteral("Rect=(11600,27400,193600,269400)"),
          QStringLiteral("FgColor=(0,0,0)"), QStringLiteral("BkColor=(255,255,128)"), QStringLiteral("Locked=FALSE"),
          QStringLiteral("UserLocked=FALSE"), QStringLiteral("Condition="), QStringLiteral("LinkID=4"),
          QStringLiteral("LinkToID=0"), QStringLiteral("LinkMode=32"), QStringLiteral("LinkTest=-1948"),
          QStringLiteral("LayerID=0"), QStringLiteral("GroupID=0"), rigaFont(o.font),
          QStringLiteral("bFooterOnBottom=FALSE"), QStringLiteral("bFillBottom=FALSE"),
          QStringLiteral("bTransparent=TRUE")})
        r(QLatin1Char(' ') + s);
    r(QStringLiteral(" [ColumnsX]"));
    blocchiRiga(r, {QStringLiteral("bStripes=FALSE"), QStringLiteral("StripesRaster=2"),
                    QStringLiteral("StripesRasterColor=(255,255,0)"), QStringLiteral("bWrapAllowed=FALSE")});

    // Each block keeps the fields whose running width stays inside the object.
    auto colonne = [&](const std::vector<CampoLayout> &campi, const std::function<QString(const CampoLayout &)> &riga) {
        QStringList out;
        int somma = 0;
        for (const CampoLayout &c : campi) {
            somma += larghezzaColonnaAvanzata(c);
            if (somma >= utile)
                break;
            out << riga(c);
        }
        return out;
    };
    auto allinea = [](const CampoLayout &c) {
        return numerico(c.tipo) ? QStringLiteral(",Align=2") : QString();
    };
    QStringList frames;
    for (int i = 0; i < int(o.colonneGriglia.size()); ++i)
        frames << frame(i);

    r(QStringLiteral(" [Columns]"));
    QStringList dettaglio = colonne(o.campi, [&](const CampoLayout &c) {
        const bool memo = o.memoEstesi && (c.tipo == TipoCampo::Memo || c.tipo == TipoCampo::Blob);
        return QStringLiteral(",Width=") + n(larghezzaColonnaAvanzata(c)) + allinea(c)
               + (memo ? QStringLiteral(",Separator=TRUE,Fit=1,SepWidth=0,Expression=TRUE")
                       : QStringLiteral(",Separator=TRUE,SepWidth=0,Expression=TRUE"))
               + QLatin1String(kSpazio) + Q + FormattazioneCampoReportLSTAvanzato(c, QStringLiteral("DETTAGLI")) + Q;
    });
    dettaglio << frames << QStringLiteral("LFont=default") << QStringLiteral("LCondition=TipoRiga='DETTAGLI'")
              << QStringLiteral("IgnoreEmpty=1");
    blocchiRiga(r, dettaglio);

    if (!o.unRecord) {
        r(QStringLiteral(" [Columns1]"));
        QStringList totali = colonne(o.colonneGriglia, [&](const CampoLayout &c) {
            const bool totale = conTotali && numerico(c.tipo) && c.codice % 100000 / 10 % 10 == 1;
            return QStringLiteral(",Width=") + n(larghezzaColonnaAvanzata(c)) + allinea(c)
                   + QStringLiteral(",Separator=TRUE,SepWidth=0,Expression=TRUE,") + fontTotali(o.font)
                   + QLatin1String(kSpazio) + Q
                   + (totale ? FormattazioneCampoReportLSTAvanzato(c, QStringLiteral("TOTALI")) : QStringLiteral("\" \""))
                   + Q;
        });
        totali << frames << QStringLiteral("LFont=default") << QStringLiteral("LCondition=TipoRiga='TOTALI'")
               << QStringLiteral("IgnoreEmpty=1");
        blocchiRiga(r, totali);
    }

    r(QStringLiteral(" [HeaderColumns]"));
    QStringList testate = colonne(o.colonneGriglia, [&](const CampoLayout &c) {
        return QStringLiteral(",Width=") + n(larghezzaColonnaAvanzata(c))
               + QStringLiteral(",Separator=TRUE,SepWidth=0,Expression=TRUE") + QLatin1String(kSpazio) + Q
               + QLatin1Char('"') + c.nome + QLatin1Char('"') + Q;
    });
    testate << frames << QStringLiteral("LFont=default") << QStringLiteral("LCondition=")
            << QStringLiteral("IgnoreEmpty=1");
    blocchiRiga(r, testate);
    r(QStringLiteral(" [GroupColumnsX]"));
    blocchiRiga(r, {QStringLiteral("DataLineMustFollow=TRUE")});

    if (o.numeraPagine)
        oggettoTesto(r,
                     o.orizzontale ? QStringLiteral("(242500,196700,269400,204100)")
                                   : QStringLiteral("(161600,276700,188500,284100)"),
                     QStringLiteral("\"Pagina n%1 \"+str$(Page(),2,0)").arg(QChar(0xB0)));
    oggettoTesto(r, QStringLiteral("(12200,7900,194400,13400)"), QStringLiteral("Titolo"));
    oggettoTesto(r, QStringLiteral("(12200,17000,194400,25400)"), QStringLiteral("Note"));
    variabiliUtente(r);
    return r.testo();
}

QByteArray CreaFileLSTStandard(const FontStampa &font, const QString &programma, const QString &computer)
{
    Righe r;
    r(QStringLiteral("[List description]"));
    r(QStringLiteral("[Description]"));
    for (const QString &s :
         {QStringLiteral("Text=Stampa Query"), QStringLiteral("FileVersion=3"), QStringLiteral("Units=SCM-Units"),
          QStringLiteral("TextQuote.Start=168"), QStringLiteral("TextQuote.End=168"),
          QStringLiteral("Created=20/09/1999, 15:48:25"), QStringLiteral("CreatedByApp=") + programma + QStringLiteral(" [1.00]"),
          QStringLiteral("CreatedByDLL=CMBTL6.DLL [6.042]"), QStringLiteral("CreatedByUser=ADMINISTRATOR on ") + computer,
          QStringLiteral("LastModified=20/01/2000, 17:46:46"), QStringLiteral("LastModifiedByApp=KELMAR.EXE []"),
          QStringLiteral("LastModifiedByDLL=CM32L6.DLL [6.042]"),
          QStringLiteral("LastModifiedByUser=ADMINISTRATOR on ") + computer})
        r(QLatin1Char(' ') + s);
    sezioneLayout(r, 210000, 296900, 1);
    r(QStringLiteral("[UserSection]"));
    r(QStringLiteral("[SumVariables]"));
    for (int i = 1; i <= 25; ++i)
        r(QStringLiteral(" Sum%1=@Sum%2;F;").arg(i).arg(i, 2, 10, QLatin1Char('0')));
    for (int i = 26; i <= 50; ++i)
        r(QStringLiteral(" Sum%1=@Summe%1;F;").arg(i));
    livelli(r);
    r(QStringLiteral("[Object]"));
    for (const QString &s :
         {QStringLiteral("ObjectID=6"), QStringLiteral("ObjectName=Elenco"), QStringLiteral("Identifier="),
          QStringLiteral("Rect=(12000,6000,196700,276700)"), QStringLiteral("FgColor=(255,255,255)"),
          QStringLiteral("BkColor=(255,255,255)"), QStringLiteral("Locked=FALSE"), QStringLiteral("UserLocked=FALSE"),
          QStringLiteral("Condition="), QStringLiteral("LinkID=14"), QStringLiteral("LinkToID=0"),
          QStringLiteral("LinkMode=32"), QStringLiteral("LinkTest=-26860"), QStringLiteral("LayerID=0"),
          QStringLiteral("GroupID=0"), rigaFont(font), QStringLiteral("bFooterOnBottom=FALSE"),
          QStringLiteral("bFillBottom=FALSE"), QStringLiteral("bTransparent=TRUE")})
        r(QLatin1Char(' ') + s);
    r(QStringLiteral(" [ColumnsX]"));
    blocchiRiga(r, {QStringLiteral("bStripes=FALSE"), QStringLiteral("StripesRaster=1"),
                    QStringLiteral("StripesRasterColor=(192,192,192)"), QStringLiteral("bWrapAllowed=FALSE")});
    r(QStringLiteral(" [Columns]"));
    blocchiRiga(r, {QStringLiteral(",Width=269000,Separator=TRUE,SepWidth=0,Expression=TRUE") + QLatin1String(kSpazio) + Q
                        + QStringLiteral("Descrizione") + Q,
                    frame(0), frame(1), frame(2), frame(3), QStringLiteral("LFont=default"),
                    QStringLiteral("LCondition="), QStringLiteral("IgnoreEmpty=1")});
    r(QStringLiteral(" [GroupColumnsX]"));
    blocchiRiga(r, {QStringLiteral("DataLineMustFollow=TRUE")});
    variabiliUtente(r);
    return r.testo();
}

// ---- grid layout ---------------------------------------------------------

int millimetriStampa(int pixel)
{
    return int(std::nearbyint(pixel / 3.7795)); // default rounding mode: halves to even
}

std::vector<int> larghezzeStampate(const std::vector<ColonnaGriglia> &colonne, const OpzioniLayoutGriglia &o)
{
    const int utile = o.orizzontale ? 282 : 195;
    std::vector<int> mm;
    int s = 0;
    for (const ColonnaGriglia &c : colonne) {
        const int w = millimetriStampa(c.larghezzaPixel);
        if (s + w <= utile) {
            mm.push_back(w);
            s += w;
            continue;
        }
        if (o.forzaUltimaColonna)
            mm.push_back(w);
        break;
    }
    if (o.forzaUltimaColonna && !mm.empty()) {
        int prima = 0;
        for (size_t i = 0; i + 1 < mm.size(); ++i)
            prima += mm[i];
        mm.back() = utile - prima;
    }
    return mm;
}

namespace {

struct Geometria
{
    int x, y, orientamento, allineaTitoli;
    int tabella[4], titolo[4], pagina[4];
    int linkTabella, linkTitolo, linkPagina;
};

const Geometria kVerticale{210000, 296900, 1, 1, {7300, 21200, 195000, 257600}, {7400, 7700, 194900, 10400},
                           {125300, 282500, 76500, 6000}, -27934, -13081, -29119};
const Geometria kOrizzontale{296900, 210000, 2, 0, {7300, 21200, 282600, 173200}, {7400, 7700, 282500, 10400},
                             {213300, 197500, 76500, 6000}, -17025, -21085, -19101};

void lati(Righe &r, int d)
{
    struct L { const char *nome; int spazio; };
    for (const L &l : {L{"Left", 1000}, L{"Top", 500}, L{"Right", 1000}, L{"Bottom", 500}})
        r.blocco(d, QLatin1String(l.nome), [&](int e) {
            r.aProfondita(e, QStringLiteral("Spacing=") + n(l.spazio));
            r.aProfondita(e, QStringLiteral("Line=True"));
            r.blocco(e, QStringLiteral("Line"), [&](int f) {
                r.aProfondita(f, QStringLiteral("Color=RGB(0,0,0)"));
                r.aProfondita(f, QStringLiteral("LineType=0"));
            });
            r.aProfondita(e, QStringLiteral("LineWidth=0"));
        });
}

void righeOggettoTesto(Righe &r, int linkId, int linkTest, bool condizione, const int pos[4])
{
    r(QStringLiteral("[Object]"));
    const QStringList righe{QStringLiteral("ObjectID=1"), QStringLiteral("ObjectName=Text"),
                            QStringLiteral("Locked=FALSE"), QStringLiteral("LinkID=") + n(linkId),
                            QStringLiteral("LinkToID=0"), QStringLiteral("LinkMode=32"),
                            QStringLiteral("LinkTest=") + n(linkTest), QStringLiteral("LayerID=0"),
                            QStringLiteral("GroupID=0"), QStringLiteral("Identifier="),
                            condizione ? QStringLiteral("Condition=True") : QStringLiteral("Condition=False"),
                            QStringLiteral("UserLocked=False"), QStringLiteral("WrapBefore=False"),
                            QStringLiteral("Position/Left=") + n(pos[0]), QStringLiteral("Position/Top=") + n(pos[1]),
                            QStringLiteral("Position/Width=") + n(pos[2]),
                            QStringLiteral("Position/Height=") + n(pos[3]), QStringLiteral("Direction=0"),
                            QStringLiteral("bFill=False"), QStringLiteral("BkColor=RGB(0,0,0)"),
                            QStringLiteral("Frame/Layout=0"), QStringLiteral("Frame/Left/Line=False"),
                            QStringLiteral("Frame/Top/Line=False"), QStringLiteral("Frame/Right/Line=False"),
                            QStringLiteral("Frame/Bottom/Line=False"), QStringLiteral("bPageWrap=False"),
                            QStringLiteral("bBottomAligned=False")};
    for (const QString &s : righe)
        r.aProfondita(1, s);
}

void rigaTesto(Righe &r, int d, int allinea, int acapo, int paragrafo, const QString &testo)
{
    r.blocco(d, QStringLiteral("Line"), [&](int e) {
        r.blocco(e, QStringLiteral("Font"), [&](int f) {
            for (const char *s : {"Default=True", "FaceName=\"Arial\"", "GdiCharSet=0", "Size=12", "Width=0",
                                  "Bold=False", "Italic=False", "Underline=False", "Strikeout=False",
                                  "Color=RGB(0,0,0)", "PitchAndFamily=0", "OutPrecision=4"})
                r.aProfondita(f, QLatin1String(s));
        });
        r.aProfondita(e, QStringLiteral("Align=") + n(allinea));
        r.aProfondita(e, QStringLiteral("Adjusted=False"));
        r.aProfondita(e, QStringLiteral("Uneraseable=False"));
        r.aProfondita(e, QStringLiteral("LineWrap=") + n(acapo));
        r.aProfondita(e, QStringLiteral("PageWrapAllowed=True"));
        r.aProfondita(e, QStringLiteral("SpaceOptimization=True"));
        r.aProfondita(e, QStringLiteral("Spacing.Paragraph=") + n(paragrafo));
        r.aProfondita(e, QStringLiteral("Spacing.Line=0"));
        r.aProfondita(e, QStringLiteral("OutputFormatter="));
        r.aProfondita(e, QStringLiteral("Text=") + testo);
        r.aProfondita(e, QStringLiteral("Tab=0"));
        r.aProfondita(e, QStringLiteral("TabAlign=0"));
    });
}

} // namespace

QByteArray CreaLayoutGriglia(const std::vector<ColonnaGriglia> &colonne, const OpzioniLayoutGriglia &o)
{
    const Geometria &g = o.orizzontale ? kOrizzontale : kVerticale;
    const std::vector<int> mm = larghezzeStampate(colonne, o);
    const int nCol = int(mm.size());
    Righe r;
    r(QStringLiteral("[List description]"));
    r(QStringLiteral("[Description]"));
    for (const char *s : {"Text=? (default)", "FileVersion=6", "Units=SCM-Units", "Metric=0", "TextQuote.Start=1",
                          "TextQuote.End=1", "RepresentationCode.CondStart=171", "RepresentationCode.CondSep=166",
                          "RepresentationCode.CondEnd=187", "RepresentationCode.Tab=247",
                          "RepresentationCode.Ret=182", "RepresentationCode.PhantomSpace=2",
                          "RepresentationCode.LockNextChar=3", "RepresentationCode.ExprSep=164", "LCID=16"})
        r.aProfondita(1, QLatin1String(s));
    r(QStringLiteral("[Layout]"));
    const QString X = n(g.x), Y = n(g.y), O = n(g.orientamento);
    QStringList lay{QStringLiteral("P1.Template="), QStringLiteral("P2.Template="), QStringLiteral("xOffset=0"),
                    QStringLiteral("yOffset=0"), QStringLiteral("xSize=") + X, QStringLiteral("ySize=") + Y};
    for (const QString &p : {QStringLiteral("P1."), QStringLiteral("P2.")})
        lay << p + QStringLiteral("xOffset=0") << p + QStringLiteral("yOffset=0") << p + QStringLiteral("xSize=") + X
            << p + QStringLiteral("ySize=") + Y;
    for (const QString &p : {QStringLiteral("P1."), QStringLiteral("P2.")})
        lay << p + QStringLiteral("nPaperFormat=9") << p + QStringLiteral("xPaperSize=") + X
            << p + QStringLiteral("yPaperSize=") + Y << p + QStringLiteral("ForcePaperFormat=TRUE");
    lay << QStringLiteral("xGrid=1000") << QStringLiteral("yGrid=1000") << QStringLiteral("GridShow=FALSE")
        << QStringLiteral("GridSnap=FALSE") << QStringLiteral("PhysicalPage=TRUE")
        << QStringLiteral("P1.PhysicalPage=TRUE") << QStringLiteral("P2.PhysicalPage=TRUE")
        << QStringLiteral("Orientation=") + O << QStringLiteral("P1.Orientation=") + O
        << QStringLiteral("P2.Orientation=") + O << QStringLiteral("EnhancedExpressions=TRUE")
        << QStringLiteral("EnhancedOldExpressions=FALSE") << QStringLiteral("Decimals=2")
        << QStringLiteral("DefFont={(0,0,0),12,-16,0,0,0,400,0,0,0,0,4,0,5,0,Arial}")
        << QStringLiteral("HelpLines.Horizontal=") << QStringLiteral("HelpLines.Vertical=")
        << QStringLiteral("PDF.MaxOutlineDepth=2") << QStringLiteral("DefaultSize.Objecttype1=(0,0,76500,6000)")
        << QStringLiteral("DefaultSize.Objecttype6=(0,0,%1,%2)").arg(g.tabella[2]).arg(g.tabella[3])
        << QStringLiteral("ObjectCount=3");
    for (const QString &s : lay)
        r.aProfondita(1, s);
    r(QStringLiteral("[UserSection]"));
    r(QStringLiteral("[SumVariables]"));
    r(QStringLiteral("[Layer]"));
    for (const char *s : {"Name=Base", "Condition=", "WorkspaceColor=(0,0,0)", "Visible=TRUE", "LayerID=0"})
        r.aProfondita(1, QLatin1String(s));

    // The table object.
    r(QStringLiteral("[Object]"));
    const QStringList tab{QStringLiteral("ObjectID=6"), QStringLiteral("ObjectName=Table"),
                          QStringLiteral("Locked=FALSE"), QStringLiteral("LinkID=3"), QStringLiteral("LinkToID=0"),
                          QStringLiteral("LinkMode=32"), QStringLiteral("LinkTest=") + n(g.linkTabella),
                          QStringLiteral("LayerID=0"), QStringLiteral("GroupID=0"), QStringLiteral("Identifier="),
                          QStringLiteral("Condition=True"), QStringLiteral("UserLocked=False"),
                          QStringLiteral("WrapBefore=False"), QStringLiteral("Position/Left=7300"),
                          QStringLiteral("Position/Top=21200"), QStringLiteral("Position/Width=") + n(g.tabella[2]),
                          QStringLiteral("Position/Height=") + n(g.tabella[3]), QStringLiteral("Direction=0"),
                          QStringLiteral("bFooterOnBottom=False"), QStringLiteral("bFillBottom=False"),
                          QStringLiteral("DefaultFont={(0,0,0),10,-13,0,0,0,400,0,0,0,0,3,2,1,34,Arial}"),
                          QStringLiteral("FgColor=RGB(0,0,0)"), QStringLiteral("bFill=False"),
                          QStringLiteral("BkColor=RGB(255,255,255)")};
    for (const QString &s : tab)
        r.aProfondita(1, s);

    auto gruppoRighe = [&](int d, bool titoli) {
        r.blocco(d, QStringLiteral("Options"), {});
        r.blocco(d, QStringLiteral("Lines"), [&](int e) {
            r.blocco(e, QStringLiteral("Line"), [&](int f) {
                r.aProfondita(f, QStringLiteral("LineID=0"));
                r.blocco(f, QStringLiteral("Columns"), [&](int h) {
                    r.aProfondita(h, QStringLiteral("Columns=") + n(nCol));
                    for (int k = 0; k < nCol; ++k) {
                        const ColonnaGriglia &c = colonne[size_t(k)];
                        const bool ultimaForzata = o.forzaUltimaColonna && k == nCol - 1;
                        r.blocco(h, QStringLiteral("Column"), [&](int i) {
                            r.aProfondita(i, QStringLiteral("Width=") + n(mm[size_t(k)] * 1000));
                            for (const char *s : {"Height=10000", "bIsotropic=True", "PlainTextFormat=True"})
                                r.aProfondita(i, QLatin1String(s));
                            r.aProfondita(i, QStringLiteral("Align=") + n(titoli ? g.allineaTitoli : 0));
                            r.aProfondita(i, QStringLiteral("AlignDecPosition=-10000"));
                            r.aProfondita(i, QStringLiteral("VAlign=0"));
                            r.aProfondita(i, QStringLiteral("Adjusted=False"));
                            r.aProfondita(i, QStringLiteral("LineWrap=")
                                                 + n(o.troncaTesti || ultimaForzata ? 0 : 1));
                            for (const char *s : {"bFill=False", "BkColor=RGB(224,224,224)", "Raster=1",
                                                  "FgColor=RGB(0,0,0)", "SpaceOptimization=True", "Link.URL=",
                                                  "WithText=False"})
                                r.aProfondita(i, QLatin1String(s));
                            r.blocco(i, QStringLiteral("Frame"), [&](int j) {
                                r.aProfondita(j, QStringLiteral("Default=True"));
                                r.aProfondita(j, QStringLiteral("Layout=1"));
                                lati(r, j);
                            });
                            r.blocco(i, QStringLiteral("Font"), [&](int j) {
                                for (const char *s : {"Default=False", "FaceName=\"Arial\"", "GdiCharSet=0"})
                                    r.aProfondita(j, QLatin1String(s));
                                r.aProfondita(j, QStringLiteral("Size=") + n(o.dimensioneFont));
                                for (const char *s : {"Width=0", "Bold=False", "Italic=False", "Underline=False",
                                                      "Strikeout=False", "Color=RGB(0,0,0)", "PitchAndFamily=34",
                                                      "OutPrecision=3"})
                                    r.aProfondita(j, QLatin1String(s));
                            });
                            r.aProfondita(i, QStringLiteral("OutputFormatter="));
                            r.aProfondita(i, QStringLiteral("Direction=0"));
                            r.aProfondita(i, titoli ? QStringLiteral("Text=\"") + c.nomeColonna + QLatin1Char('"')
                                                    : QStringLiteral("Text=") + c.nomeCampo);
                        });
                    }
                });
                r.blocco(f, QStringLiteral("Options"), [&](int h) {
                    for (int i = 0; i < 4; ++i)
                        r.blocco(h, QStringLiteral("Frame%1").arg(i),
                                 [&](int j) { r.aProfondita(j, QStringLiteral("SpaceOut=0")); });
                    for (const char *s : {"LFont=default", "LCondition=", "IgnoreEmpty=TRUE",
                                          "Description=Line Definition  1", "DisplayInDesigner=TRUE"})
                        r.aProfondita(h, QLatin1String(s));
                });
            });
        });
    };

    r.blocco(1, QStringLiteral("@Tables"), [&](int a) {
        r.blocco(a, QStringLiteral("Tables"), [&](int b) {
            r.blocco(b, QStringLiteral("Table"), [&](int c) {
                r.aProfondita(c, QStringLiteral("TableID="));
                r.aProfondita(c, QStringLiteral("RelationID="));
                r.blocco(c, QStringLiteral("GroupHeaderLines"),
                         [&](int d) { r.aProfondita(d, QStringLiteral("bConcatDataLines=True")); });
                r.blocco(c, QStringLiteral("GroupFooterLines"),
                         [&](int d) { r.aProfondita(d, QStringLiteral("bAlsoOnEmptyGroup=False")); });
                r.blocco(c, QStringLiteral("DataLines"), [&](int d) {
                    r.aProfondita(d, QStringLiteral("bKeepTogether=True"));
                    r.aProfondita(d, QStringLiteral("bSuppress=False"));
                    r.aProfondita(d, QStringLiteral("bForceSumCalculation=False"));
                });
                r.aProfondita(c, QStringLiteral("ZebraPattern=False"));
                r.blocco(c, QStringLiteral("ZebraPattern"), [&](int d) {
                    r.aProfondita(d, QStringLiteral("Color=RGB(0,0,0)"));
                    r.aProfondita(d, QStringLiteral("Pattern=6"));
                });
                r.blocco(c, QStringLiteral("FooterLines"),
                         [&](int d) { r.aProfondita(d, QStringLiteral("bKeepTogether=False")); });
                r.aProfondita(c, QStringLiteral("PageBreakCondition=False"));
                r.blocco(c, QStringLiteral("DefaultFrame"), [&](int d) {
                    r.aProfondita(d, QStringLiteral("Layout=1"));
                    lati(r, d);
                });
                r.blocco(c, QStringLiteral("Body"), [&](int d) { gruppoRighe(d, false); });
                r.blocco(c, QStringLiteral("Header"), [&](int d) { gruppoRighe(d, true); });
                r.blocco(c, QStringLiteral("Footer"), {});
                r.blocco(c, QStringLiteral("GroupHeader"), {});
                r.blocco(c, QStringLiteral("GroupFooter"), {});
            });
        });
    });

    // Title object: the two header lines.
    righeOggettoTesto(r, 5, g.linkTitolo, true, g.titolo);
    const int acapo = o.troncaTesti ? 0 : 1;
    r.blocco(1, QStringLiteral("@Lines"), [&](int a) {
        r.blocco(a, QStringLiteral("Lines"), [&](int b) {
            rigaTesto(r, b, o.allineamentoIntestazione, acapo, 1, QLatin1Char('"') + o.intestazione1 + QLatin1Char('"'));
            rigaTesto(r, b, o.allineamentoIntestazione, acapo, 0, QLatin1Char('"') + o.intestazione2 + QLatin1Char('"'));
        });
    });
    // Page number object: always written, shown with page numbering only.
    righeOggettoTesto(r, 16, g.linkPagina, o.numeraPagine, g.pagina);
    r.blocco(1, QStringLiteral("@Lines"), [&](int a) {
        r.blocco(a, QStringLiteral("Lines"), [&](int b) {
            rigaTesto(r, b, 2, 1, 0, QStringLiteral("\"Pag. \"+Page$()+\" di \"+TotalPages$()"));
        });
    });
    r(QStringLiteral("[UserVariables]"));
    r(QStringLiteral("[Parameters]"));
    r.blocco(1, QStringLiteral("@Parameters"), [&](int a) { r.blocco(a, QStringLiteral("Parameters"), {}); });
    return r.testo();
}

} // namespace vardof::output::report
