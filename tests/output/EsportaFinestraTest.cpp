// The query window's "&Esporta" as a user presses it: the dialog over the
// answer on screen, the file written with the columns the grid shows.

#include "OutputDb.h"

#include "core/Cp1252.h"
#include "output/ui/TQIBEspForm.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "support/ModalDialogs.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>

namespace vardof::test {
namespace {

class EsportaFinestra : public OutputDb
{
protected:
    void esporta(qbe::TIBLQueryForm &w, int tipo, const QString &cartella, const QString &nome)
    {
        whenShown<output::TQIBEspForm>([=](output::TQIBEspForm *d) {
            d->EditTipoExportClick(tipo);
            d->findChild<QLineEdit *>(QStringLiteral("EditPercorso"))->setText(cartella);
            d->findChild<QLineEdit *>(QStringLiteral("EditNomeFile"))->setText(nome);
            d->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->click();
    }
};

TEST_F(EsportaFinestra, ColonneComeLaGrigliaLeMostra)
{
    platform::ScopedServices servizi;
    qbe::TIBLQueryForm w(nullptr, 0, att(), tra(), QStringLiteral("D01"), m_out.path() + QLatin1Char('/'),
                         m_out.path() + QLatin1Char('/'), QStringLiteral("PROVA"));
    w.setFileImpostazioni(m_out.file(QStringLiteral("ostrel.ini")));
    w.show();
    w.ButtonEseguiInterrogazioneClick();
    ASSERT_TRUE(w.rispostaVisibile());
    ASSERT_TRUE(w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->isEnabled());

    // Only ID, NOME and IMPORTO shown, IMPORTO first, grouped with two decimals.
    auto *grid = w.findChild<QTableView *>(QStringLiteral("DBGrid2"));
    for (int c = 3; c < 10; ++c)
        grid->setColumnHidden(c, true);
    grid->horizontalHeader()->moveSection(2, 0);
    w.sessione().codici().setRaggruppamento(2, 1);

    esporta(w, 0, m_out.path() + QLatin1Char('/'), QStringLiteral("prova.csv"));
    EXPECT_EQ(servizi.messages().texts(), QStringList{QStringLiteral("EXPORT SU FILE TERMINATO !!!")});
    const QByteArray atteso = core::toCp1252(QString::fromUtf8("IMPORTO;ID;NOME\r\n"));
    const QByteArray file = leggiFile(m_out.file(QStringLiteral("prova.csv")));
    EXPECT_TRUE(file.startsWith(atteso)) << file.toStdString();
    EXPECT_TRUE(file.contains(core::toCp1252(QString::fromUtf8(";1;Caffè; latte\r\n")))) << file.toStdString();
    EXPECT_TRUE(file.contains("1.234,50;1;")) << file.toStdString();
    EXPECT_EQ(file.count("\r\n"), 4);
    w.ButtonChiudiClick();
}

TEST_F(EsportaFinestra, NomeProposto)
{
    platform::ScopedServices servizi;
    const struct
    {
        const char *nomeExport;
        const char *atteso;
    } casi[] = {{"", "PROVA.CSV"}, {"clienti.txt", "clienti.CSV"}};
    for (const auto &c : casi) {
        qbe::TIBLQueryForm w(nullptr, 0, att(), tra(), QStringLiteral("D01"), m_out.path() + QLatin1Char('/'),
                             m_out.path() + QLatin1Char('/'), QStringLiteral("PROVA"));
        w.setFileImpostazioni(m_out.file(QStringLiteral("ostrel.ini")));
        w.setNomeExport(QString::fromLatin1(c.nomeExport));
        w.show();
        w.ButtonEseguiInterrogazioneClick();
        QString proposto;
        whenShown<output::TQIBEspForm>([&](output::TQIBEspForm *d) {
            proposto = d->findChild<QLineEdit *>(QStringLiteral("EditNomeFile"))->text();
            d->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        });
        w.findChild<QPushButton *>(QStringLiteral("ButtonEsporta"))->click();
        EXPECT_EQ(proposto, QString::fromLatin1(c.atteso));
        EXPECT_TRUE(servizi.messages().texts().isEmpty());
        w.ButtonChiudiClick();
    }
}

} // namespace
} // namespace vardof::test
