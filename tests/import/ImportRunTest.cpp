// Runs on real tables: the rows that end up in the table and the lines the
// user reads in MemoRiepilogo.

#include "ImportTestSupport.h"

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

using test::senzaOra;

class ImportRunTest : public test::ImportFixture
{
protected:
    QStringList log() const { return senzaOra(sink.righe); }
    static QStringList finale(qint64 agg, qint64 add, qint64 ko, qint64 tot, std::optional<qint64> dup = std::nullopt)
    {
        QStringList r{"- {ora}: Terminata acquisizione file", QString("Record aggiornati: %1").arg(agg),
                      QString("Record aggiunti: %1").arg(add), QString("Record falliti: %1").arg(ko)};
        if (dup)
            r << QString("Record esclusi perchè duplicati: %1").arg(*dup);
        r << QString("Record totali: %1").arg(tot);
        return r;
    }
    static QStringList inizio(qint64 n)
    {
        return {"- {ora}: Scansione preliminare file", QString("Individuati %1 record nel file").arg(n)};
    }
    const QStringList kBoxOk{"conferma: Avviare l'elaborazione?", "informazione: Elaborazione terminata"};
};

TEST_F(ImportRunTest, headerSkippedAndLineNumbersCountIt)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"},
                          {"CODICE;DESCRIZIONE;UM;PREZZO", "A1;Vite;PZ;1.234,50;22", "A2;Dado;PZ;1234,50;22;0,5;31/12/2023"});
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c, true), EsitoImport::Completato);
    EXPECT_EQ(log(), (inizio(2) + QStringList{"- {ora}: Inizio acquisizione file",
                                             "Riga 2, campo \"PREZZO\": valore \"1.234,50\" non valido"}
                         + finale(0, 2, 0, 2)));
    EXPECT_EQ(sink.messaggi, kBoxOk);
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE, PREZZO, ALIQUOTAIVA, GIACENZA, DATAULTIMOCARICO FROM ARTICOLI ORDER BY 1"),
              (QStringList{"A1|Vite|<null>|22,00|<null>|<null>", "A2|Dado|1234,50|22,00|0,500|31/12/2023"}));
}

TEST_F(ImportRunTest, extraFieldsIgnoredMissingFieldsNullEmptyLineIsARecord)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO"},
                          {"1;A;1,5;10:00;01/02/2020 10:30;5;extra;extra", "2", ""});
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT NUMERO, CAUSALE, IMPORTO, ORA, MOMENTO, GRANDE FROM MOVIMENTI ORDER BY NUMERO NULLS LAST"),
              (QStringList{"1|A|1,50|10:00:00|01/02/2020 10:30:00|5", "2|<null>|<null>|<null>|<null>|<null>",
                           "<null>|<null>|<null>|<null>|<null>|<null>"}));
    EXPECT_EQ(contatori.aggiunti, 3);
}

TEST_F(ImportRunTest, headerOnlyFileEndsQuietly)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=UNITAMISURA", "VALORECAMPORIFERIMENTO=PZ"},
                          {"CODICE;DESCRIZIONE"});
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('X', 'PZ')");
    EXPECT_EQ(esegui(c, true), EsitoImport::NessunDato);
    EXPECT_EQ(log(), inizio(0));
    EXPECT_EQ(sink.messaggi, (QStringList{"conferma: Avviare l'elaborazione?"}));
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI"), (QStringList{"X"}));
    EXPECT_EQ(sink.avvii, 1);
    EXPECT_EQ(sink.fini, 1);
}

TEST_F(ImportRunTest, missingFileAndNoConfirmationStartNothing)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"}, {"A;B"});
    ImportRun run(att(), tra(), c.parametri, c.colonne, c.chiavi);
    EXPECT_EQ(run.esegui(file("manca.csv"), false, sink), EsitoImport::NonAvviato);
    EXPECT_EQ(sink.messaggi, (QStringList{"avviso: Attenzione: il file \"" + file("manca.csv") + "\" non esiste"}));
    sink.risposte = {false};
    EXPECT_EQ(run.esegui(file("dati.csv"), false, sink), EsitoImport::NonAvviato);
    EXPECT_EQ(sink.avvii, 0);
    EXPECT_TRUE(righe("SELECT CODICE FROM ARTICOLI").isEmpty());
}

TEST_F(ImportRunTest, updatesByKeyAndAddsTheRest)
{
    exec("INSERT INTO ARTICOLI (CODICE, DESCRIZIONE, PREZZO, NOTE) VALUES ('A1', 'Vecchia', 1, 'nota')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ESCLUSIONIAGGIORNA=NOTE",
                           "AUMENTOPERCENTUALE=PREZZO;10", "ASSEGNAVALORE=UNITAMISURA;'PZ'",
                           "ASSEGNAVALORE=DATAULTIMOCARICO;12/01/2020"},
                          {"A1;Nuova;XX;100;;;;altra", "A2;Seconda;XX;200,00;;;;n2"});
    ASSERT_TRUE(c.valido) << c.memoRiepilogo.join('\n').toStdString();
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log(), (inizio(2) + QStringList{"- {ora}: Inizio acquisizione file"} + finale(1, 1, 0, 2)));
    // The constant date is day first, as the users type it.
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE, UNITAMISURA, PREZZO, DATAULTIMOCARICO, NOTE FROM ARTICOLI ORDER BY 1"),
              (QStringList{"A1|Nuova|PZ|110,00|12/01/2020|nota", "A2|Seconda|PZ|220,00|12/01/2020|n2"}));
}

TEST_F(ImportRunTest, badValueIsReportedOnceWhetherTheLineUpdatesOrAdds)
{
    exec("INSERT INTO ARTICOLI (CODICE) VALUES ('A1')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"}, {"A1;x;;1.5", "A2;y;;2.5"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio acquisizione file",
                                         "Riga 1, campo \"PREZZO\": valore \"1.5\" non valido",
                                         "Riga 2, campo \"PREZZO\": valore \"2.5\" non valido"}
                             + finale(1, 1, 0, 2)));
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE, PREZZO FROM ARTICOLI ORDER BY 1"),
              (QStringList{"A1|x|<null>", "A2|y|<null>"}));
}

TEST_F(ImportRunTest, failingUpdateCountsAsFailedAndIsNotAdded)
{
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('A1', 'PZ')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"}, {"A1;Vite;TROPPOLUNGA"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    const QStringList l = log();
    ASSERT_EQ(l.size(), 9);
    EXPECT_TRUE(l[3].startsWith("Errore di UPDATE relativo alla riga 1: ")) << l[3].toStdString();
    EXPECT_EQ(l.mid(4), finale(0, 0, 1, 1));
    EXPECT_EQ(righe("SELECT CODICE, UNITAMISURA FROM ARTICOLI"), (QStringList{"A1|PZ"}));
}

TEST_F(ImportRunTest, updatingOffLeavesExistingRowsUncounted)
{
    exec("INSERT INTO ARTICOLI (CODICE, DESCRIZIONE) VALUES ('A1', 'Vecchia')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, {"A1;Nuova", "A2;Altra"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log().mid(3), finale(0, 1, 0, 2));
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1|Vecchia", "A2|Altra"}));
}

TEST_F(ImportRunTest, badKeyValueSkipsTheLineWithoutCountingIt)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO"}, {"x1;C1;1", "2;C2;2"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio acquisizione file",
                                        "Riga 1: valore \"x1\" non valido per il campo n° 1 (ID)"}
                                + finale(0, 1, 0, 2)));
}

TEST_F(ImportRunTest, oneLineUpdatingSeveralRowsIsReported)
{
    exec("INSERT INTO MOVIMENTI (NUMERO, CAUSALE) VALUES (1, 'V')");
    exec("INSERT INTO MOVIMENTI (NUMERO, CAUSALE) VALUES (2, 'V')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNAPERS=CAUSALE", "ESCLUSIONIAGGIORNA=NUMERO"},
                          {"", "9;V;5,5"});
    EXPECT_EQ(esegui(c, true), EsitoImport::Completato);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio acquisizione file",
                                        "La riga 2 ha causato l'aggiornamento di 2 record"}
                                + finale(2, 0, 0, 1)));
    EXPECT_EQ(righe("SELECT NUMERO, IMPORTO FROM MOVIMENTI ORDER BY 1"), (QStringList{"1|5,50", "2|5,50"}));
}

TEST_F(ImportRunTest, generatedIdWithPresenceByCode)
{
    exec("INSERT INTO LISTINO (ID, CODICE, PREZZO) VALUES (100, 'C1', 1)");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO", "ASSEGNAVALORE=INFO3;IMPORT30052020",
                           "AGGIORNAPERS=CODICE", "AGGIUNGI=SI", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO"},
                          {"999;C1;5", "999;C2;6", "999;C3;7"});
    ASSERT_TRUE(c.valido) << c.memoRiepilogo.join('\n').toStdString();
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT ID, CODICE, PREZZO, INFO3 FROM LISTINO ORDER BY CODICE"),
              (QStringList{"100|C1|1,00|<null>", "1|C2|6,00|IMPORT30052020", "2|C3|7,00|IMPORT30052020"}));
}

TEST_F(ImportRunTest, threeLinesSharingAKeyWithDuplicateCheck)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "CONTROLLODUPLICATI=SI"},
                          {"A1;Prima", "A2;Altro", "A1;Seconda", "A1;Terza", ";Senza codice"});
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    const QString coppia = "\"CODICE\" = \"A1\"";
    const QStringList l = log();
    ASSERT_EQ(l.size(), 16) << testing::PrintToString(l);
    EXPECT_EQ(l.mid(0, 9), (inizio(5) + QStringList{"- {ora}: Inizio controllo duplicati (CODICE)",
                                                   "Trovata una combinazione di valori campi univoci presente più di una volta:", coppia,
                                                   "Trovata una combinazione di valori campi univoci presente più di una volta:", coppia,
                                                   "- {ora}: Controllo duplicati terminato", "- {ora}: Inizio acquisizione file"}));
    // An empty key is NULL: never a duplicate, and refused by the table.
    EXPECT_TRUE(l[9].startsWith("Errore di INSERT relativo alla riga 5: ")) << l[9].toStdString();
    EXPECT_EQ(l.mid(10), finale(0, 2, 1, 5, 2));
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1|Prima", "A2|Altro"}));
    EXPECT_EQ(righe("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='TMP_DUPLICATI'"), (QStringList{}));
}

TEST_F(ImportRunTest, scaledIntegerKeysKeepTheirDecimalsInTheWorkTable)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO", "CONTROLLODUPLICATI=SI",
                           "AGGIORNAPERS=IMPORTO"},
                          {"1;A;12,50", "2;B;12,60", "3;C;12,50"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT NUMERO FROM MOVIMENTI ORDER BY 1"), (QStringList{"1", "2"}));
    EXPECT_EQ(contatori.duplicati, 1);
}

TEST_F(ImportRunTest, charKeyBreaksTheWorkTable)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=CHIAVECHAR", "CONTROLLODUPLICATI=SI"}, {"AB;x"});
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::DuplicatiFalliti);
    const QStringList l = log();
    ASSERT_GE(l.size(), 4);
    EXPECT_EQ(l[2], ("- {ora}: Inizio controllo duplicati (CODICE)"));
    EXPECT_TRUE(l[3].startsWith("Errore interno durante il controllo duplicati: ")) << l[3].toStdString();
    EXPECT_EQ(sink.messaggi, (QStringList{"conferma: Avviare l'elaborazione?", "errore: Elaborazione interrotta"}));
    EXPECT_TRUE(righe("SELECT CODICE FROM CHIAVECHAR").isEmpty());
}

TEST_F(ImportRunTest, badKeyInTheDuplicatePassStopsTheRun)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO", "CONTROLLODUPLICATI=SI", "AGGIORNAPERS=ID"},
                          {"1;C1", "uno;C2"});
    EXPECT_EQ(esegui(c), EsitoImport::DuplicatiFalliti);
    EXPECT_EQ(log().mid(2, 2), (QStringList{"- {ora}: Inizio controllo duplicati (ID)",
                                            "Errore interno durante il controllo dei duplicati, riga 2, campo \"ID\": valore \"uno\" non valido"}));
    EXPECT_TRUE(righe("SELECT ID FROM LISTINO").isEmpty());
}

TEST_F(ImportRunTest, deletionByReferenceThenImport)
{
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('OLD1', 'KG')");
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('OLD2', 'KG')");
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('KEEP', 'PZ')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=UNITAMISURA", "VALORECAMPORIFERIMENTO=KG"},
                          {"NEW;x;KG"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log(), (inizio(1) + QStringList{"- {ora}: Inizio eliminazione dati campo di riferimento",
                                             "- {ora}: Eliminazione dati campo di riferimento terminata (2 record)",
                                             "- {ora}: Inizio acquisizione file"}
                         + finale(0, 1, 0, 1)));
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI ORDER BY 1"), (QStringList{"KEEP", "NEW"}));
}

TEST_F(ImportRunTest, referenceFieldMustBeAColumn)
{
    exec("INSERT INTO ARTICOLI (CODICE) VALUES ('KEEP')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=1=1 OR CODICE", "VALORECAMPORIFERIMENTO=X"},
                          {"NEW"});
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::EliminazioneFallita);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio eliminazione dati campo di riferimento",
                                         "Errore interno di DELETE: impossibile eliminare i record con 1=1 OR CODICE pari a \"X\""}));
    EXPECT_EQ(sink.messaggi.last(), "errore: Elaborazione interrotta");
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI"), (QStringList{"KEEP"}));
}

TEST_F(ImportRunTest, interruptionDuringImportUndoesRowsAndDeletion)
{
    exec("INSERT INTO ARTICOLI (CODICE, UNITAMISURA) VALUES ('OLD', 'KG')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=UNITAMISURA", "VALORECAMPORIFERIMENTO=KG"},
                          {"A1", "A2", "A3"});
    sink.interrompiDopo("Inizio acquisizione file", 3);
    EXPECT_EQ(esegui(c), EsitoImport::Interrotto);
    EXPECT_EQ(log().mid(4), (QStringList{"- {ora}: Inizio acquisizione file", "- {ora}: acquisizione interrotta"}));
    EXPECT_EQ(sink.messaggi, (QStringList{"conferma: Avviare l'elaborazione?"}));
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI"), (QStringList{"OLD"}));
}

TEST_F(ImportRunTest, interruptionDuringDuplicatePassImportsNothing)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "CONTROLLODUPLICATI=SI"}, {"A1", "A2", "A3"});
    sink.interrompiDopo("Inizio controllo duplicati (CODICE)", 2);
    EXPECT_EQ(esegui(c), EsitoImport::Interrotto);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio controllo duplicati (CODICE)", "- {ora}: acquisizione interrotta"}));
    EXPECT_TRUE(righe("SELECT CODICE FROM ARTICOLI").isEmpty());
    EXPECT_EQ(righe("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='TMP_DUPLICATI'"), (QStringList{}));
    EXPECT_EQ(sink.messaggi, (QStringList{"conferma: Avviare l'elaborazione?"}));
}

TEST_F(ImportRunTest, interruptionDuringImportAfterDuplicatePass)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "CONTROLLODUPLICATI=SI"}, {"A1", "A2", "A3"});
    sink.interrompiDopo("Inizio acquisizione file", 2);
    EXPECT_EQ(esegui(c), EsitoImport::Interrotto);
    EXPECT_EQ(log().last(), ("- {ora}: acquisizione interrotta"));
    EXPECT_TRUE(righe("SELECT CODICE FROM ARTICOLI").isEmpty());
}

TEST_F(ImportRunTest, lineBreakTagBecomesCrLfInTheImportOnly)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "IMPORTMEMOESTESICONTAGCR=||"},
                          {"A1;Vite;;;;;;riga uno||riga due"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT NOTE FROM ARTICOLI"), (QStringList{"riga uno\r\nriga due"}));
}

TEST_F(ImportRunTest, foreignEncodingsAndBinaryBytesAreReportedByLine)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, {});
    QByteArray dati("\xEF\xBB\xBF" "U1;Citt\xC3\xA0\r\n"); // UTF-8 with its mark
    dati += "W1;Citt\xE0\r\n";                               // the code page
    dati += "B1;bin\x02\x01ario\r\n";                        // binary
    dati += "Z1;\x81\x8D fine\r\n";                           // bytes the code page leaves undefined
    test::scriviByte(file("dati.csv"), dati);
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio acquisizione file",
                                        "Riga 3: la riga contiene caratteri non validi e non è stata acquisita"}
                                + finale(0, 3, 1, 4)));
    const QStringList r = righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1");
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0], QString::fromUtf8("U1|Città"));
    EXPECT_EQ(r[1], QString::fromUtf8("W1|Città"));
    EXPECT_EQ(r[2].left(3), "Z1|");
}

TEST_F(ImportRunTest, bigintColumnsTakeSixtyFourBitValues)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO"}, {"3000000000;A;;;;3000000000"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log()[3], "Riga 1, campo \"NUMERO\": valore \"3000000000\" non valido");
    EXPECT_EQ(righe("SELECT NUMERO, GRANDE FROM MOVIMENTI"), (QStringList{"<null>|3000000000"}));
}

TEST_F(ImportRunTest, quotesInValuesAreData)
{
    exec("INSERT INTO ARTICOLI (CODICE, DESCRIZIONE) VALUES ('L''ORO', 'x')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=DESCRIZIONE", "VALORECAMPORIFERIMENTO=l'a'"},
                          {"L'ORO;dell'oro", "X';') OR 1=1 --"});
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"),
              (QStringList{"L'ORO|dell'oro", "X'|') OR 1=1 --"}));
}

TEST_F(ImportRunTest, progressIsThrottledAndEndsAtTheTop)
{
    QStringList dati;
    for (int i = 0; i < 3000; ++i)
        dati << QString("C%1;d").arg(i);
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, dati);
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_LT(sink.eventi, 3000 / 10);
    ASSERT_FALSE(sink.percentuali.isEmpty());
    EXPECT_EQ(sink.percentuali.last(), 100);
    EXPECT_EQ(log().last(), "Record totali: 3.000");
    EXPECT_FALSE(sink.avanzamentoVisibile);
}

} // namespace
} // namespace vardof::importcsv
