#include "import/WizardScript.h"

#include "import/ImportValues.h"
#include "import/ScriptLoader.h"

#include "db/Catalog.h"

#include "core/CellFormat.h"
#include "platform/Formats.h"

#include <algorithm>
#include <cmath>

namespace vardof::importcsv {

VerificaWizard verificaComposizione(const ComposizioneWizard &c, const QStringList &chiaviIndici)
{
    if (c.tabella.isEmpty())
        return {QStringLiteral("E' necessario indicare la tabella"), FuocoWizard::Tabella};
    if (c.elimina) {
        if (c.campoRiferimento.isEmpty())
            return {QStringLiteral("E' necessario indicare il campo di riferimento per le eliminazioni"),
                    FuocoWizard::CampoRiferimento};
        if (c.valoreRiferimento.isEmpty())
            return {QStringLiteral("E' necessario indicare il valore da ricercare nel campo di riferimento per le eliminazioni"),
                    FuocoWizard::ValoreRiferimento};
    }
    if (!c.aggiorna && !c.aggiungi)
        return {QStringLiteral("L'acquisizione del file non può avvenire se sono escluse sia le operazioni di aggiunta che di aggiornamento")};

    const QStringList chiavi = c.aggiornaPersonalizzato.isEmpty() ? chiaviIndici : c.aggiornaPersonalizzato;
    const bool servonoChiavi = c.aggiorna || c.controlloDuplicati;
    if (servonoChiavi && chiavi.isEmpty())
        return {QStringLiteral("La Tabella di destinazione non ha campi chiave e l'elenco dei campi da controllare per l'aggiornamento non è compilato: non sarà pertanto possibile effettuare operazione di aggiornamento e nemmeno il controllo dei duplicati")};
    if (servonoChiavi && !c.campoGenerato.isEmpty() && chiavi.contains(c.campoGenerato))
        return {QStringLiteral("Non è possibile effettuare l'aggiornamento e/o il controllo dei duplicati se il campo autoincrementato fa parte dei campi chiave o dell'elenco dei campi da controllare per l'aggiornamento")};

    auto inAumenti = [&](const QString &campo) {
        return std::any_of(c.aumenti.begin(), c.aumenti.end(), [&](const TAumentoPercentuale &a) { return a.campo == campo; });
    };
    auto inValori = [&](const QString &campo) {
        return std::any_of(c.valori.begin(), c.valori.end(), [&](const TAssegnaValore &a) { return a.campo == campo; });
    };
    for (const QString &k : chiavi) {
        if (inAumenti(k))
            return {QStringLiteral("Il campo univoco \"%1\" non può comparire nella sezione degli aumenti percentuali").arg(k)};
        if (inValori(k))
            return {QStringLiteral("Il campo univoco \"%1\" non può comparire nella sezione delle assegnazioni costanti").arg(k)};
    }
    if (!c.campoGenerato.isEmpty()) {
        if (inAumenti(c.campoGenerato))
            return {QStringLiteral("Il campo autoincrementato \"%1\" non può comparire nella sezione degli aumenti percentuali").arg(c.campoGenerato)};
        if (inValori(c.campoGenerato))
            return {QStringLiteral("Il campo autoincrementato \"%1\" non può comparire nella sezione delle assegnazioni costanti").arg(c.campoGenerato)};
        // Without a generator no line could carry the generated field, and
        // the reloaded script would import the file's values into it.
        if (c.generatore.isEmpty())
            return {QStringLiteral("E' necessario indicare il nome del generatore per il campo auto-incrementato"),
                    FuocoWizard::Generatore};
    }
    if (c.tagAttivo && c.tag.isEmpty())
        return {QStringLiteral("L'import memo estesi con tag CR necessita l'indicazione del tag da riconoscere"),
                FuocoWizard::Tag};
    return {};
}

QString testoPercentuale(double percentuale)
{
    return core::numberText(percentuale);
}

namespace {

// A list names its fields separated by blanks and commas: a catalogue name
// holding either (or a double quote) is written between double quotes, as
// the reader takes it back whole.
QString elencoNomi(const QStringList &nomi)
{
    QStringList scritti;
    for (const QString &n : nomi) {
        const bool semplice = !n.isEmpty() && std::none_of(n.begin(), n.end(), [](QChar ch) {
            return ch.unicode() <= u' ' || ch == u',' || ch == u'"';
        });
        scritti << (semplice ? n : QStringLiteral("\"") + QString(n).replace(u'"', QLatin1String("\"\"")) + u'"');
    }
    return scritti.join(u';');
}

} // namespace

QStringList righeScript(const ComposizioneWizard &c)
{
    auto siNo = [](bool b) { return b ? QStringLiteral("SI") : QStringLiteral("NO"); };
    QStringList r{QStringLiteral("[SCRIPT]"), QStringLiteral("TABELLADESTINAZIONE=") + c.tabella};
    if (c.elimina) {
        r << QStringLiteral("ELIMINARECORDCAMPORIFERIMENTO=SI") << QStringLiteral("CAMPORIFERIMENTO=") + c.campoRiferimento
          << QStringLiteral("VALORECAMPORIFERIMENTO=") + c.valoreRiferimento;
    }
    if (c.controlloDuplicati)
        r << QStringLiteral("CONTROLLODUPLICATI=SI");
    r << QStringLiteral("AGGIUNGI=") + siNo(c.aggiungi) << QStringLiteral("AGGIORNA=") + siNo(c.aggiorna);
    if (!c.generatore.isEmpty())
        r << QStringLiteral("CAMPOAUTOINCREMENTATO=%1;%2").arg(c.campoGenerato, c.generatore);
    for (const TAumentoPercentuale &a : c.aumenti)
        r << QStringLiteral("AUMENTOPERCENTUALE=%1;%2").arg(a.campo, testoPercentuale(a.percentuale));
    for (const TAssegnaValore &a : c.valori)
        r << QStringLiteral("ASSEGNAVALORE=%1;%2").arg(a.campo, a.costante);
    if (!c.aggiornaPersonalizzato.isEmpty())
        r << QStringLiteral("AGGIORNAPERS=") + elencoNomi(c.aggiornaPersonalizzato);
    if (!c.esclusioni.isEmpty())
        r << QStringLiteral("ESCLUSIONIAGGIORNA=") + elencoNomi(c.esclusioni);
    if (c.tagAttivo)
        r << QStringLiteral("IMPORTMEMOESTESICONTAGCR=") + c.tag;
    return r;
}

QString verificaAumento(const QList<TAumentoPercentuale> &elenco, const QString &campo, const QString &testo,
                        double &percentuale)
{
    if (campo.isEmpty())
        return QStringLiteral("Indicare un campo");
    for (const TAumentoPercentuale &a : elenco) {
        if (a.campo == campo)
            return QStringLiteral("Il campo indicato è già nell'elenco degli aumenti percentuali");
    }
    if (testo.isEmpty())
        return QStringLiteral("Indicare una percentuale");
    const std::optional<double> v = decimaleDaTesto(testo);
    if (!v || std::fabs(*v) < 0.01)
        return QStringLiteral("Indicare una percentuale numerica valida e non nulla");
    percentuale = std::round(*v * 100.0) / 100.0;
    return QString();
}

QString verificaValore(const QList<TAssegnaValore> &elenco, const QString &campo, const QString &valore)
{
    if (campo.isEmpty())
        return QStringLiteral("Indicare un campo");
    for (const TAssegnaValore &a : elenco) {
        if (a.campo == campo)
            return QStringLiteral("Il campo indicato è già nell'elenco delle assegnazioni valori");
    }
    if (valore.isEmpty())
        return QStringLiteral("Indicare un valore");
    return QString();
}

QString verificaCampoPersonalizzato(const QStringList &elenco, const QString &campo)
{
    if (campo.isEmpty())
        return QStringLiteral("Indicare un campo");
    if (elenco.contains(campo))
        return QStringLiteral("Il campo indicato è già nell'elenco dell'aggiornamento personalizzato");
    return QString();
}

QString verificaEsclusione(const QStringList &elenco, const QString &campo)
{
    if (campo.isEmpty())
        return QStringLiteral("Indicare un campo");
    if (elenco.contains(campo))
        return QStringLiteral("Il campo indicato è già nell'elenco delle esclusioni aggiornamenti");
    return QString();
}

namespace {

// The catalogue's own relations and generators are those with a "$" in
// their names (RDB$, MON$, SEC$): the lists leave them out.
QStringList senzaDollaro(const QStringList &nomi)
{
    QStringList out;
    for (const QString &n : nomi)
        if (!n.contains(u'$'))
            out << n;
    return out;
}

// A table chosen in the list is its catalogue name; one typed or read back
// from a script is looked up as the script loader does.
QString tabellaDi(db::Transaction &tra, const QString &tabella)
{
    const QString nome = tabellaCatalogo(tra, tabella);
    return nome.isEmpty() ? tabella : nome;
}

} // namespace

QStringList tabelleWizard(db::Attachment &, db::Transaction &tra)
{
    return senzaDollaro(db::catalog::relations(tra));
}

QStringList generatoriWizard(db::Attachment &, db::Transaction &tra)
{
    return senzaDollaro(db::catalog::generators(tra));
}

QStringList campiTabellaWizard(db::Attachment &, db::Transaction &tra, const QString &tabella)
{
    QStringList campi;
    for (const db::TableColumn &c : db::catalog::relationColumns(tra, tabellaDi(tra, tabella)))
        if (!c.name.contains(u'$'))
            campi << c.name;
    return campi;
}

QStringList chiaviIndiciWizard(db::Attachment &, db::Transaction &tra, const QString &tabella)
{
    QStringList chiavi;
    for (const QStringList &indice : db::catalog::relationUniqueIndexes(tra, tabellaDi(tra, tabella)))
        chiavi << indice;
    return chiavi;
}

} // namespace vardof::importcsv
