#include "import/ScriptLoader.h"

#include "import/ImportValues.h"

#include "db/Column.h"
#include "db/Catalog.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QHash>

namespace vardof::importcsv {

QString letteraleSql(const QString &valore)
{
    return QString(valore).replace(u'\'', QLatin1String("''"));
}

TipoCampo tipoDaColonna(int typeCode, int scale)
{
    switch (typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        return scale > 0 ? TipoDecimale : TipoIntero;
    case db::TypeDate: return TipoData;
    case db::TypeTime: return TipoOra;
    case db::TypeTimestamp: return TipoDataOra;
    case db::TypeChar:
    case db::TypeVarchar:
    case db::TypeBlob:
        return TipoTesto;
    default:
        return TipoDecimale;
    }
}

ScriptLoader::ScriptLoader(db::Attachment &attachment, db::Transaction &transaction)
    : m_att(attachment), m_tra(transaction)
{
}

void ScriptLoader::carica(const QString &percorsoScript, CaricamentoScript &risultato)
{
    const QStringList righe = leggiRigheScript(percorsoScript);
    verifica(analizzaScript(righe), risultato);
}

void ScriptLoader::verifica(const TParametriScript &parametri, CaricamentoScript &risultato)
{
    risultato = CaricamentoScript();
    risultato.parametri = parametri;
    risultato.memoScript = riepilogoScript(parametri);
    risultato.valido = controlla(risultato);
    if (!risultato.valido) {
        risultato.colonne.clear();
        risultato.chiavi.clear();
    }
}

QStringList ScriptLoader::campiChiaveCatalogo(const QString &tabella)
{
    QStringList campi;
    for (const QStringList &indice : db::catalog::relationUniqueIndexes(m_tra, tabella)) {
        // A field in two unique indexes would otherwise appear twice in the
        // lookup and make the duplicate work table's index invalid.
        for (const QString &campo : indice)
            if (!campo.isEmpty() && !campi.contains(campo))
                campi << campo;
    }
    campi.sort();
    return campi;
}

namespace {

// Names of the script are compared exactly as written (trailing blanks
// apart, which the catalogue pads its names with).
QString senzaSpaziFinali(QString nome)
{
    while (nome.endsWith(u' '))
        nome.chop(1);
    return nome;
}

// The written name as the catalogue layer reads it for an exact lookup: a
// quoted form stays as it is, any other is quoted, so that no upper-case
// reading of it is tried.
QString formaEsatta(const QString &scritto)
{
    if (haCaratteriControllo(scritto))
        return {};
    const QString nome = senzaSpaziFinali(scritto);
    if (nome.isEmpty())
        return {};
    if (nome.size() >= 2 && nome.startsWith(u'"') && nome.endsWith(u'"'))
        return nome;
    return db::quotedName(nome);
}

bool identificatoreSemplice(const QString &nome)
{
    if (nome.isEmpty() || nome.size() > 31 || !(nome.at(0) >= u'A' && nome.at(0) <= u'Z'))
        return false;
    for (const QChar c : nome) {
        const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

QString tabellaCatalogo(db::Transaction &tra, const QString &scritto)
{
    const QString esatta = formaEsatta(scritto);
    return esatta.isEmpty() ? QString() : db::catalog::relationName(tra, esatta);
}

QString campoCatalogo(db::Transaction &tra, const QString &tabella, const QString &scritto)
{
    const QString esatta = formaEsatta(scritto);
    return esatta.isEmpty() || tabella.isEmpty() ? QString() : db::catalog::columnName(tra, tabella, esatta);
}

QString nomeParametro(const TCampo &campo)
{
    return identificatoreSemplice(campo.nome) ? campo.nome : QStringLiteral("_C%1").arg(campo.posizione);
}

bool ScriptLoader::controlla(CaricamentoScript &r)
{
    const TParametriScript &p = r.parametri;
    const QString vedi = QStringLiteral("(Vedi campo %1)");

    if (p.eliminaRecordCampoRiferimento && p.campoRiferimento.isEmpty()) {
        r.memoScript << QStringLiteral("L'opzione \"Elimina dati campo di riferimento\" richiede un valore per \"Campo di riferimento\"");
        return false;
    }
    if (p.eliminaRecordCampoRiferimento && p.valoreCampoRiferimento.isEmpty()) {
        r.memoScript << QStringLiteral("L'opzione \"Elimina dati campo di riferimento\" richiede un valore per \"Valore di riferimento\"");
        return false;
    }
    if (p.tabellaDestinazione.isEmpty()) {
        r.memoScript << QStringLiteral("Il parametro \"Tabella di destinazione\" deve essere valorizzato");
        return false;
    }

    // A name with a control character (a NUL or a stray byte in the script)
    // is no name of the catalogue: it is not sent to the server, where it
    // would end the statement text or fail with a message about the syntax.
    // Every statement below names the table as the catalogue holds it.
    const QString nomeTabella = tabellaCatalogo(m_tra, p.tabellaDestinazione);
    if (nomeTabella.isEmpty()) {
        r.memoRiepilogo << QStringLiteral("Tabella di destinazione inesistente");
        return false;
    }

    if (!p.aggiungi && !p.aggiorna) {
        r.memoRiepilogo << QStringLiteral("L'acquisizione del file non può avvenire se sono escluse sia le operazioni di aggiunta che di aggiornamento");
        return false;
    }

    const QStringList chiavi = p.aggiornaPersonalizzato.isEmpty() ? campiChiaveCatalogo(nomeTabella)
                                                                  : p.aggiornaPersonalizzato;
    const bool servonoChiavi = p.aggiorna || p.controlloDuplicati;
    if (servonoChiavi && chiavi.isEmpty()) {
        r.memoRiepilogo << QStringLiteral("La Tabella di destinazione non ha campi chiave: se non si compila l'elenco dei campi da controllare per l'aggiornamento non sarà possibile effettuare operazione di aggiornamento e nemmeno il controllo dei duplicati");
        return false;
    }

    const QString &generato = p.campoAutoIncrementato.campo;
    for (const TAumentoPercentuale &a : p.aumentiPercentuali) {
        if (chiavi.contains(a.campo)) {
            r.memoRiepilogo << QStringLiteral("I campi presenti nella sezione \"ASSEGNAZIONI COSTANTI\" non dovrebbero far parte dei campi chiave e nemmeno comparire nella sezione \"AUMENTI PERCENTUALI\"")
                            << vedi.arg(testoVisibile(a.campo));
            return false;
        }
        if (!generato.isEmpty() && a.campo == generato) {
            r.memoRiepilogo << QStringLiteral("Il campo auto incrementato non dovrebbe comparire nella sezione \"AUMENTI PERCENTUALI\"")
                            << vedi.arg(testoVisibile(a.campo));
            return false;
        }
    }
    for (const TAssegnaValore &a : p.assegnaValori) {
        if (chiavi.contains(a.campo)) {
            r.memoRiepilogo << QStringLiteral("I campi presenti nella sezione \"ASSEGNAZIONI COSTANTI\" non dovrebbero far parte dei campi chiave e nemmeno comparire nella sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\"")
                            << vedi.arg(testoVisibile(a.campo));
            return false;
        }
        if (!generato.isEmpty() && a.campo == generato) {
            r.memoRiepilogo << QStringLiteral("Il campo auto incrementato non dovrebbe comparire nella sezione \"ASSEGNAZIONI COSTANTI\"")
                            << vedi.arg(testoVisibile(a.campo));
            return false;
        }
    }

    if (!generato.isEmpty()) {
        if (p.campoAutoIncrementato.generatore.isEmpty()) {
            r.memoRiepilogo << QStringLiteral("Il parametro \"Campo autoincrementato\" non è compilato in modo completo: manca il nome generatore");
            return false;
        }
        const QString &generatore = p.campoAutoIncrementato.generatore;
        if (haCaratteriControllo(generatore) || !db::catalog::generators(m_tra).contains(senzaSpaziFinali(generatore))) {
            r.memoRiepilogo << QStringLiteral("Il parametro \"Campo autoincrementato\" riporta un generatore inesistente");
            return false;
        }
        if (servonoChiavi && chiavi.contains(generato)) {
            r.memoRiepilogo << QStringLiteral("Non è possibile effettuare l'aggiornamento e/o il controllo dei duplicati se il campo autoincrementato fa parte dei campi chiave o della sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\"");
            return false;
        }
    }

    // The catalogue name of every field the script names, once its
    // existence is checked: the descriptors below carry these.
    QHash<QString, QString> catalogo;
    {
        auto campoEsiste = [&](const QString &nome) {
            const QString campo = campoCatalogo(m_tra, nomeTabella, nome);
            if (campo.isEmpty())
                return false;
            catalogo.insert(nome, campo);
            return true;
        };
        if (!generato.isEmpty() && !campoEsiste(generato)) {
            r.memoRiepilogo << QStringLiteral("Il parametro \"Campo autoincrementato\" riporta un campo inesistente");
            return false;
        }
        for (const TAumentoPercentuale &a : p.aumentiPercentuali) {
            if (!campoEsiste(a.campo)) {
                r.memoRiepilogo << QStringLiteral("Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"%1\" non esiste").arg(testoVisibile(a.campo));
                return false;
            }
            if (a.percentuale == 0) {
                r.memoRiepilogo << QStringLiteral("Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"%1\" non viene aumentato di una percentuale valida").arg(testoVisibile(a.campo));
                return false;
            }
        }
        for (const TAssegnaValore &a : p.assegnaValori) {
            if (!campoEsiste(a.campo)) {
                r.memoRiepilogo << QStringLiteral("Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"%1\" non esiste").arg(testoVisibile(a.campo));
                return false;
            }
            if (a.costante.isEmpty()) {
                r.memoRiepilogo << QStringLiteral("Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"%1\" non viene valorizzato con nessuna costante").arg(testoVisibile(a.campo));
                return false;
            }
        }
        for (const QString &c : p.aggiornaPersonalizzato) {
            if (!campoEsiste(c)) {
                r.memoRiepilogo << QStringLiteral("Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"%1\" non esiste").arg(testoVisibile(c));
                return false;
            }
        }
        for (const QString &c : p.esclusioniAggiorna) {
            if (!campoEsiste(c)) {
                r.memoRiepilogo << QStringLiteral("Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"%1\" non esiste").arg(testoVisibile(c));
                return false;
            }
        }
    }

    const QString generatoCatalogo = generato.isEmpty() ? QString() : catalogo.value(generato);
    auto nomeDi = [&](const QString &scritto) { return catalogo.value(scritto); };
    QStringList esclusi;
    for (const QString &e : p.esclusioniAggiorna)
        esclusi << nomeDi(e);

    {
        db::Statement st(m_att, m_tra);
        st.setSql(QStringLiteral("SELECT FIRST 1 * FROM %1").arg(db::quotedName(nomeTabella)), db::ParamStyle::AsWritten);
        const std::vector<db::Column> &cols = st.columns();
        for (size_t i = 0; i < cols.size(); ++i) {
            const db::Column &col = cols[i];
            TCampo c;
            c.posizione = int(i);
            c.nome = col.name;
            c.tipo = tipoDaColonna(col.typeCode, col.scale);
            c.intero64 = col.typeCode == db::TypeBigint && col.scale == 0;
            c.ruolo = RuoloOrdinario;
            if (esclusi.contains(c.nome))
                c.ruolo = RuoloEsclusoAggiornamento;
            if (!generato.isEmpty() && c.nome == generatoCatalogo) {
                if (c.tipo != TipoIntero) {
                    r.memoRiepilogo << QStringLiteral("Il campo autoincrementato \"%1\" non è di tipo numerico intero").arg(c.nome);
                    return false;
                }
                c.ruolo = RuoloGenerato;
                c.generatore = senzaSpaziFinali(p.campoAutoIncrementato.generatore);
            } else {
                for (const TAumentoPercentuale &a : p.aumentiPercentuali) {
                    if (nomeDi(a.campo) != c.nome)
                        continue;
                    if (c.tipo != TipoDecimale) {
                        r.memoRiepilogo << QStringLiteral("Il campo \"%1\" presente nella sezione \"AUMENTI PERCENTUALI\" non è di tipo numerico decimale").arg(c.nome);
                        return false;
                    }
                    c.ruolo = RuoloAumentoPercentuale;
                    c.percentuale = a.percentuale;
                    break;
                }
            }
            for (const TAssegnaValore &a : p.assegnaValori) {
                if (nomeDi(a.campo) != c.nome)
                    continue;
                c.ruolo = RuoloCostante;
                c.costante = a.costante;
                if (c.tipo != TipoTesto && !convertiValore(a.costante, c)) {
                    r.memoRiepilogo << QStringLiteral("Al campo \"%1\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (%2)")
                                           .arg(c.nome, etichettaTipo(c.tipo));
                    return false;
                }
                break;
            }
            r.colonne << c;
        }
    }

    if (!chiavi.isEmpty()) {
        // Custom key names were checked above; the catalogue's own are
        // catalogue names already.
        QStringList nomiChiave;
        for (const QString &k : chiavi)
            nomiChiave << (p.aggiornaPersonalizzato.isEmpty() ? k : nomeDi(k));
        QStringList sql{QStringLiteral("SELECT FIRST 1")};
        for (qsizetype i = 0; i < nomiChiave.size(); ++i) {
            if (i > 0)
                sql << QStringLiteral(",");
            sql << db::quotedName(nomiChiave[i]);
        }
        sql << QStringLiteral("FROM %1").arg(db::quotedName(nomeTabella));
        db::Statement st(m_att, m_tra);
        st.setSql(sql, db::ParamStyle::AsWritten);
        const std::vector<db::Column> &cols = st.columns();
        for (qsizetype i = 0; i < chiavi.size(); ++i) {
            TCampo k;
            k.nome = nomiChiave[i];
            for (const TCampo &c : std::as_const(r.colonne)) {
                if (c.nome == k.nome) {
                    k.posizione = c.posizione;
                    k.intero64 = c.intero64;
                    break;
                }
            }
            const db::Column &col = cols[size_t(i)];
            k.tipo = tipoDaColonna(col.typeCode, col.scale);
            r.chiavi << k;
        }
    }
    return true;
}

} // namespace vardof::importcsv
