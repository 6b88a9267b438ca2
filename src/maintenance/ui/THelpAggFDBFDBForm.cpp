#include "maintenance/ui/THelpAggFDBFDBForm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::maintenance {

QString THelpAggFDBFDBForm::testo()
{
    return QStringLiteral(
        "Tabella1 è la tabella Firebird di origine (nell'archivio di lavoro), Tabella2 la tabella Firebird di "
        "destinazione (nell'Archivio FDB Destinazione), Script lo script di aggiornamento. Gli altri campi "
        "servono per le note dell'utente.\n"
        "Il pulsante \"Controllo Validità\" verifica lo script; uno script va memorizzato prima di poterlo "
        "elaborare.\n\n"
        "ASSEGNAZIONI (una per riga):\n"
        "  CampoDestinazione=CampoOrigine\n"
        "  CampoDestinazione=formula (risolta dal motore SQL sui campi di origine)\n"
        "  CampoDestinazione='costante'\n"
        "I campi chiave della tabella di destinazione vanno sempre assegnati, salvo che si usi LocateSecondario.\n\n"
        "ISTRUZIONI:\n"
        "  (AGGIORNA=SI)  aggiorna i record già presenti in destinazione (predefinito: NO)\n"
        "  (AGGIUNGI=SI)  aggiunge i record mancanti in destinazione (predefinito: NO)\n"
        "  FiltroTab1=campo;'valore';Includi oppure Escludi  filtra i record di origine\n"
        "  FiltroTab2=campo;'valore';Includi oppure Escludi  filtra i record di destinazione da aggiornare\n"
        "  RicalcolaCampoTab2=campo;(formula);(filtro)  dopo la copia esegue UPDATE destinazione SET "
        "campo=(formula) WHERE (filtro)\n"
        "  LocateSecondario=campo1,campo2,...;  cerca i record di destinazione con questi campi invece che "
        "con la chiave primaria\n"
        "  PopolaConGeneratore=campo;generatore  in inserimento riempie il campo con il valore successivo del "
        "generatore\n\n"
        "ESEMPIO 1:\n"
        "Codice=CODICE\nFornitorePrincipale=CODICEFORN\nPrimaDescrizione=PRIMADESCRIZIONE\n"
        "SecondaDescrizione=SECONDADESCRIZIONE\nPercSconto1=SCONTO1\nPercSconto2='30'\nNote=NOTE\n"
        "PrezzoListinoFornitore=PREZZOLISTINOINVALUTA\n"
        "PrezzoAcquistoNetto=PREZZOLISTINOINVALUTA-(PREZZOLISTINOINVALUTA/100*SCONTO1)\n"
        "NettoPiuOneri=PREZZOLISTINOINVALUTA-(PREZZOLISTINOINVALUTA/100*SCONTO1)\n"
        "(AGGIORNA=SI)\nFiltroTab1=CODICEFORN;'0272';Includi\n"
        "RICALCOLACAMPOTAB2=PercSconto2;(((PercSconto2+PercSconto2)/2)+15);((PercSconto2='30')AND("
        "FornitorePrincipale='0272'))\n"
        "RICALCOLACAMPOTAB2=PercSconto2;(PercSconto2+1);((PercSconto2='45')AND(FornitorePrincipale='0272'))\n"
        "POPOLACONGENERATORE=ID;IDTAB2COUNTER\n\n"
        "ESEMPIO 2:\n"
        "LocateSecondario=Codice2;\nCodice2=CodiceIB\n(AGGIORNA=SI)\n");
}

THelpAggFDBFDBForm::THelpAggFDBFDBForm(const QString &nomeProgetto, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Help sintassi script - Ditta: ") + nomeProgetto);
    Memo = new QPlainTextEdit(testo(), this);
    Memo->setReadOnly(true);
    ButtonChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonChiudi);
    layout->addLayout(buttons);
    resize(700, 520);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vardof::maintenance
