#include "convert/ui/THelpConvFileForm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::convert {

QString THelpConvFileForm::testoHelp()
{
    return QStringLiteral(
        "CONVERSIONE FILE\n"
        "\n"
        "La conversione trasforma un file origine, a lunghezza fissa oppure delimitato da \";\", "
        "in un file destinazione delimitato da \";\", pronto per l'importazione.\n"
        "I campi da scrivere sono descritti nel file di definizione, che ha lo stesso nome del "
        "file origine con estensione .conf e si trova nella stessa cartella "
        "(es. C:\\Dati\\Listino.txt -> C:\\Dati\\Listino.conf).\n"
        "Le righe vuote del file di definizione non vengono considerate.\n"
        "La prima riga indica il tipo di file origine: [LUNGHEZZAFISSA] oppure [CSV].\n"
        "Ogni riga successiva descrive un campo del file destinazione, nell'ordine in cui "
        "verrà scritto; ogni valore deve essere seguito da \";\" (anche l'ultimo).\n"
        "Tipi campo: A = alfanumerico, N = numerico, D = data (gg/mm/aaaa).\n"
        "\n"
        "FILE A LUNGHEZZA FISSA\n"
        "Nr;NomeCampo;PosizioneInizio;LunghezzaCampo;TipoCampo;\n"
        "  Nr              = numero del campo nel file destinazione (1, 2, 3 ...)\n"
        "  NomeCampo       = nome del campo (usato per l'intestazione)\n"
        "  PosizioneInizio = posizione del primo carattere nella riga (da 1);\n"
        "                    Costante per un valore fisso\n"
        "  LunghezzaCampo  = numero di caratteri; 0 per un campo vuoto;\n"
        "                    per una costante il valore tra apici\n"
        "  TipoCampo       = A, N oppure D\n"
        "\n"
        "Esempio:\n"
        "[LUNGHEZZAFISSA]\n"
        "1;CODICE;1;14;A;\n"
        "2;CODICEFORN;Costante;'2061';A;\n"
        "3;PRIMADES;15;13;A;\n"
        "4;SECONDADES;0;0;A;\n"
        "5;PRLISINVAL;28;8;N;\n"
        "6;CODICEVAL;0;0;N;\n"
        "\n"
        "FILE DELIMITATO DA \";\"\n"
        "NrOut;NomeCampo;NrIn;TipoCampo;\n"
        "  NrOut     = numero del campo nel file destinazione (1, 2, 3 ...)\n"
        "  NomeCampo = nome del campo (usato per l'intestazione)\n"
        "  NrIn      = provenienza del valore:\n"
        "              0                campo vuoto\n"
        "              6                il campo 6 della riga origine\n"
        "              '2061'           una costante\n"
        "              4(1,25)          25 caratteri del campo 4 dalla posizione 1 (solo tipo A)\n"
        "              7(10,50)PPI      come sopra, tenendo intera la prima parola\n"
        "              2(1,25)UPI       come sopra, tenendo intera l'ultima parola\n"
        "              1+' '+2          concatenazione di campi e costanti (solo tipo A)\n"
        "              [NOBLANKINI]     in qualunque punto della riga: toglie gli spazi iniziali\n"
        "  TipoCampo = A, N oppure D\n"
        "\n"
        "Esempio:\n"
        "[CSV]\n"
        "1;CODICE;2[NOBLANKINI];A;\n"
        "2;CODICEFORN;'2061';A;\n"
        "3;CODICEART2;0;A;\n"
        "4;PRIMADESCRIZIONE;4(1,25);A;\n"
        "5;SECONDADESCRIZIONE;4(26,25);A;\n"
        "6;PREZZOLISTINOINVALUTA;1;N;\n"
        "13;NOTE;7(10,50)PPI;A;\n"
        "20;CAMPI_CONCATENATI;1+' '+2;A;\n"
        "\n"
        "Gli spazi finali dei campi alfanumerici vengono sempre tolti. I campi numerici "
        "(virgola decimale, senza separatore delle migliaia) e le date vengono controllati: un "
        "valore non valido viene segnalato tra le anomalie e scritto come 0 (numeri) o vuoto (date).\n"
        "\n"
        "OPZIONI\n"
        "- Salta prima riga su file origine: la prima riga contiene le intestazioni e non viene convertita.\n"
        "- Inserisci intestazione campi su destinazione: la prima riga del file destinazione "
        "riporta i nomi dei campi.\n"
        "- Sostituisci eventuali caratteri \";\" con: il testo che prende il posto dei \";\" "
        "trovati nei campi alfanumerici a lunghezza fissa.\n"
        "\n"
        "Se il file destinazione non ha estensione viene usata l'estensione .dat.\n"
        "Le anomalie trovate vengono elencate e salvate nel file Anomalie.txt, nella cartella del file origine.");
}

THelpConvFileForm::THelpConvFileForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Help conversione file"));
    MemoHelp = new QPlainTextEdit(testoHelp(), this);
    MemoHelp->setReadOnly(true);
    MemoHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ButtonChiudi = new QPushButton(QStringLiteral("Ch&iudi"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonChiudi);
    auto *main = new QVBoxLayout(this);
    main->addWidget(MemoHelp, 1);
    main->addLayout(buttons);
    resize(720, 560);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vardof::convert
