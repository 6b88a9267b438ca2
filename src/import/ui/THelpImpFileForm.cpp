#include "import/ui/THelpImpFileForm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::importcsv {

QString THelpImpFileForm::testoHelp()
{
    return QStringList{
        QStringLiteral("IMPORTAZIONE FILE CSV"),
        QString(),
        QStringLiteral("Il file da acquisire è un file di testo con i campi separati da \";\", nello stesso ordine delle colonne della tabella di destinazione."),
        QStringLiteral("La tabella di destinazione deve già esistere nell'archivio."),
        QStringLiteral("Le regole dell'importazione si scrivono in un file di script che ha lo stesso nome del file da acquisire ed estensione .txt, nella stessa cartella."),
        QStringLiteral("La prima riga dello script deve essere [SCRIPT]; le righe seguenti sono comandi PAROLACHIAVE=valore (parole chiave e valori SI/NO in maiuscolo)."),
        QStringLiteral("L'opzione \"Salta prima riga\" non acquisisce la prima riga del file (per esempio una riga di intestazione)."),
        QString(),
        QStringLiteral("COMANDI DELLO SCRIPT"),
        QString(),
        QStringLiteral("TABELLADESTINAZIONE=tabella  (obbligatorio) tabella che riceve i dati."),
        QStringLiteral("ELIMINARECORDCAMPORIFERIMENTO=SI/NO  (default NO) prima dell'acquisizione elimina i record che hanno il valore di riferimento nel campo di riferimento; con SI sono obbligatori CAMPORIFERIMENTO e VALORECAMPORIFERIMENTO."),
        QStringLiteral("CAMPORIFERIMENTO=campo  campo di riferimento per l'eliminazione."),
        QStringLiteral("VALORECAMPORIFERIMENTO=valore  valore cercato nel campo di riferimento."),
        QStringLiteral("CODICEFORNITORE=valore  equivale a CAMPORIFERIMENTO=CODICEFORNITORE e VALORECAMPORIFERIMENTO=valore."),
        QStringLiteral("CONTROLLODUPLICATI=SI/NO  (default NO) controlla che i valori dei campi chiave non si ripetano nel file: si acquisisce solo la prima riga di ogni combinazione. Richiede campi chiave."),
        QStringLiteral("AGGIUNGI=SI/NO  (default SI) aggiunge i record non presenti nella tabella."),
        QStringLiteral("AGGIORNA=SI/NO  (default SI) aggiorna i record già presenti nella tabella. Richiede campi chiave. AGGIUNGI e AGGIORNA non possono essere entrambi NO."),
        QStringLiteral("AUMENTOPERCENTUALE=campo;percentuale  aumenta il valore del campo (decimale) della percentuale indicata, anche negativa; si può ripetere per più campi."),
        QStringLiteral("ASSEGNAVALORE=campo;valore  scrive nel campo il valore costante al posto di quello del file; si può ripetere per più campi."),
        QStringLiteral("CAMPOAUTOINCREMENTATO=campo;generatore  il campo (intero) riceve il valore successivo del generatore nelle aggiunte e non viene modificato negli aggiornamenti."),
        QStringLiteral("AGGIORNAPERS=campo1;campo2;...  campi usati per riconoscere i record già presenti al posto dei campi chiave della tabella (indici univoci)."),
        QStringLiteral("ESCLUSIONIAGGIORNA=campo1;campo2;...  campi che gli aggiornamenti non modificano."),
        QStringLiteral("IMPORTMEMOESTESICONTAGCR=tag  nel file ogni tag diventa un ritorno a capo (per i campi memo su più righe)."),
        QString(),
        QStringLiteral("Con un campo autoincrementato, l'aggiunta e l'aggiornamento richiedono di solito due elaborazioni distinte, ciascuna con il suo script."),
        QString(),
        QStringLiteral("ESEMPIO 1"),
        QStringLiteral("[SCRIPT]"),
        QStringLiteral("TABELLADESTINAZIONE=PROVA2"),
        QStringLiteral("ELIMINARECORDCAMPORIFERIMENTO=SI"),
        QStringLiteral("CAMPORIFERIMENTO=CODICE"),
        QStringLiteral("VALORECAMPORIFERIMENTO=AABBCC"),
        QStringLiteral("CONTROLLODUPLICATI=NO"),
        QStringLiteral("AGGIUNGI=SI"),
        QStringLiteral("AGGIORNA=SI"),
        QStringLiteral("AUMENTOPERCENTUALE=VALORE1;50,2"),
        QStringLiteral("ASSEGNAVALORE=NOTE;TEST"),
        QStringLiteral("CAMPOAUTOINCREMENTATO=ID;IDCOUNTER"),
        QStringLiteral("AGGIORNAPERS=CODICE;ESTENSIONE"),
        QStringLiteral("ESCLUSIONIAGGIORNA=DESCRIZIONE1;DESCRIZIONE2"),
        QStringLiteral("IMPORTMEMOESTESICONTAGCR=||||"),
        QString(),
        QStringLiteral("ESEMPIO 2: aggiornamento in base al campo CODICE di una tabella la cui chiave primaria è un ID autoincrementato"),
        QStringLiteral("[SCRIPT]"),
        QStringLiteral("TABELLADESTINAZIONE=LISTINO"),
        QStringLiteral("ASSEGNAVALORE=INFO3;IMPORT30052020"),
        QStringLiteral("AGGIORNAPERS=CODICE"),
        QStringLiteral("AGGIUNGI=NO"),
        QStringLiteral("AGGIORNA=SI"),
        QStringLiteral("ESCLUSIONIAGGIORNA=ID"),
        QString(),
        QStringLiteral("ESEMPIO 3: aggiunta con ID autoincrementato, presenza del record decisa dal campo CODICE"),
        QStringLiteral("[SCRIPT]"),
        QStringLiteral("TABELLADESTINAZIONE=LISTINO"),
        QStringLiteral("ASSEGNAVALORE=INFO3;IMPORT30052020"),
        QStringLiteral("AGGIORNAPERS=CODICE"),
        QStringLiteral("AGGIUNGI=SI"),
        QStringLiteral("AGGIORNA=NO"),
        QStringLiteral("CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO"),
    }.join(u'\n');
}

THelpImpFileForm::THelpImpFileForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THelpImpFileForm"));
    setWindowTitle(QStringLiteral("Help importazione file"));
    MemoHelp = new QPlainTextEdit(this);
    MemoHelp->setObjectName(QStringLiteral("MemoHelp"));
    MemoHelp->setReadOnly(true);
    MemoHelp->setPlainText(testoHelp());
    ButtonChiudi = new QPushButton(QStringLiteral("Ch&iudi"), this);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(MemoHelp);
    auto *basso = new QHBoxLayout;
    basso->addStretch();
    basso->addWidget(ButtonChiudi);
    layout->addLayout(basso);
    resize(720, 560);
}

} // namespace vardof::importcsv
