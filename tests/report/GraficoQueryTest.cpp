// "&Grafico" of the query window, offscreen on an answer of the archive:
// the chart window opens over the answer with the query window's font and
// charts it. With VARDOF_GRAFICI_DIR set, pictures of the windows are kept
// there to be looked at.

#include "FinestraProva.h"

#include "output/report/ui/grafico/FinestraGrafico.h"
#include "output/report/ui/grafico/TGraficoForm.h"
#include "platform/LocalTable.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "support/ModalDialogs.h"

#include <QChart>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

using namespace vardof;
using namespace vardof::output::report;

namespace {

class GraficoQuery : public test::FinestraProva
{
protected:
    void foto(QWidget *w, const char *nome)
    {
        if (!qEnvironmentVariableIsSet("VARDOF_GRAFICI_DIR"))
            return;
        w->grab().save(qEnvironmentVariable("VARDOF_GRAFICI_DIR") + QLatin1Char('/') + QLatin1String(nome)
                       + QStringLiteral(".png"));
    }
};

} // namespace

TEST_F(GraficoQuery, theChartWindowChartsTheAnswer)
{
    platform::ScopedServices servizi;
    auto tabelle = std::make_shared<platform::ScriptedLocalTables>();
    auto prima = platform::setLocalTables(tabelle);
    const auto finestra = apriRisposta();
    qbe::TIBLQueryForm &w = *finestra;
    ASSERT_TRUE(w.rispostaVisibile());
    auto *grafico = w.findChild<QPushButton *>(QStringLiteral("ButtonGrafico"));
    ASSERT_NE(grafico, nullptr);
    ASSERT_TRUE(grafico->isEnabled());

    bool aperta = false;
    QStringList x;
    int serie = -1;
    test::whenShown<TGraficoForm>([&](TGraficoForm *f) {
        aperta = true;
        EXPECT_EQ(f->parentWidget(), &w);
        EXPECT_EQ(f->font(), w.font());
        for (int i = 0; i < f->EditDescrizione1->count(); ++i)
            x << f->EditDescrizione1->itemText(i);
        f->EditDescrizione1->setCurrentIndex(f->EditDescrizione1->findText(QStringLiteral("NOME")));
        f->EditValore->setCurrentIndex(f->EditValore->findText(QStringLiteral("IMPORTO")));
        foto(f, "finestra_grafici");
        f->ButtonCampiValoriAggiuntivi->click();
        f->ListBox2->item(0)->setSelected(true);
        foto(f, "finestra_grafici_scelta");
        f->ButtonOK->click();
        f->RadioGroup2->setItemIndex(0);
        f->ButtonVisualizza->click();
        if (FinestraGrafico *g = f->ultimoGrafico()) {
            serie = int(g->dati().serie.size());
            foto(g, "stampa_grafico");
        }
        f->ButtonChiudi->click();
    });
    grafico->click();
    platform::setLocalTables(prima);
    EXPECT_TRUE(aperta);
    EXPECT_EQ(x, (QStringList{"ID", "NOME", "IMPORTO", "QTA", "PREZZO", "DATA", "ORA", "MOMENTO"}));
    EXPECT_EQ(serie, 2);
    EXPECT_TRUE(servizi.messages().texts().isEmpty()) << servizi.messages().texts().join(QLatin1Char('|')).toStdString();
    // The standard point table stays in the working folder.
    EXPECT_TRUE(tabelle->exists(m_out.path() + QStringLiteral("/QUERY/RISPTMP/GRAFTMP/GRAFTMP.DB")));
    w.ButtonChiudiClick();
}
