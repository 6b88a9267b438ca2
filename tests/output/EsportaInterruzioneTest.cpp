// Stopping an export from its progress window, offscreen with scripted
// messages: "Interrompi", or closing the window, while the rows are being
// written or while LibreOffice converts. A stopped export says so once,
// writes nothing (an older file of the same name stays as it was) and
// offers nothing more.

#include "OutputDb.h"
#include "SofficeFinto.h"

#include "output/Esportazione.h"
#include "output/ui/EsportaRisposta.h"
#include "output/ui/TQIBEspForm.h"
#include "platform/Process.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace vardof::test {
namespace {

// Many rows without a table of their own: enough that the run is still
// writing when the window first hears the user.
const QStringList kMolteRighe{
    QStringLiteral("SELECT A.RDB$RELATION_NAME, B.RDB$RELATION_ID, C.RDB$RELATION_ID"),
    QStringLiteral("FROM RDB$RELATIONS A CROSS JOIN RDB$RELATIONS B CROSS JOIN RDB$RELATIONS C")};

enum class Gesto { Interrompi, ChiudiFinestra, Esc };

struct CasoInterruzione
{
    const char *nome;
    output::TipoExport tipo;
    bool conLibreOffice; // the stop comes while the stand-in LibreOffice runs
    Gesto gesto;
    const char *file;    // what the export writes (its older copy must stay)
};

const CasoInterruzione kCasi[] = {
    {"TestoInterrompi", output::TipoExport::Testo, false, Gesto::Interrompi, "RISPOSTA.CSV"},
    {"TestoChiudiFinestra", output::TipoExport::Testo, false, Gesto::ChiudiFinestra, "RISPOSTA.CSV"},
    {"TestoEsc", output::TipoExport::Testo, false, Gesto::Esc, "RISPOSTA.CSV"},
    {"XlsxInterrompi", output::TipoExport::ExcelX, false, Gesto::Interrompi, "RISPOSTA.xlsx"},
    {"XlsxChiudiFinestra", output::TipoExport::ExcelX, false, Gesto::ChiudiFinestra, "RISPOSTA.xlsx"},
    {"LibreOfficeXlsInterrompi", output::TipoExport::LibreOfficeXLS, true, Gesto::Interrompi, "RISPOSTA.xls"},
    {"LibreOfficeXlsChiudiFinestra", output::TipoExport::LibreOfficeXLS, true, Gesto::ChiudiFinestra,
     "RISPOSTA.xls"},
    {"LibreOfficeXlsxEsc", output::TipoExport::LibreOfficeXLSX, true, Gesto::Esc, "RISPOSTA.xlsx"},
};

void PrintTo(const CasoInterruzione &c, std::ostream *os)
{
    *os << c.nome;
}

class EsportaInterruzione : public OutputDb, public ::testing::WithParamInterface<CasoInterruzione>
{
protected:
    TempDir m_bin;       // the stand-in LibreOffice
    TempDir m_cartella;  // where the export writes, and nothing else
};

TEST_P(EsportaInterruzione, NessunFileScrittoEVecchioFileIntatto)
{
    const CasoInterruzione &caso = GetParam();
    platform::ScopedServices servizi;
    // LibreOffice really runs: the stand-in is to be stopped, not scripted.
    platform::setProcesses(std::make_shared<platform::QtProcesses>());
    scriviSoffice(m_bin.path(), bloccato(m_bin.file(QStringLiteral("figlio.pid"))));
    const QString target = m_cartella.file(QString::fromLatin1(caso.file));
    {
        QFile vecchio(target);
        ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
        vecchio.write("file precedente");
    }

    output::ContestoEsportazione c;
    if (caso.conLibreOffice) {
        c.risposta = risposta(QStringLiteral("ID, NOME"));
    } else {
        c.risposta.sql = kMolteRighe;
        c.risposta.transazione = &tra();
    }
    c.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
    c.nomeFile = QString::fromLatin1(caso.file);
    int dialoghi = 0;
    c.esegui = [&](output::TQIBEspForm &d) {
        ++dialoghi;
        d.EditTipoExportClick(int(caso.tipo));
        d.findChild<QLineEdit *>(QStringLiteral("EditPercorso"))->setText(m_cartella.path() + QLatin1Char('/'));
        d.findChild<QLineEdit *>(QStringLiteral("EditNomeFile"))->setText(QString::fromLatin1(caso.file));
        d.findChild<QLineEdit *>(QStringLiteral("EditEseguibileExcel"))->setText(m_bin.file(QStringLiteral("soffice")));
        d.OKBtnClick();
        return d.Risultato();
    };

    // The stop comes once the run is under way: rows being written, or
    // the stand-in LibreOffice started.
    bool modaleDurante = false;
    bool interrompiAttivo = false;
    bool fatto = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *finestra = QApplication::activeModalWidget();
        if (fatto || !finestra || finestra->objectName() != QStringLiteral("Avanzamento"))
            return;
        if (caso.conLibreOffice && !QFileInfo::exists(m_bin.file(QStringLiteral("figlio.pid"))))
            return;
        fatto = true;
        modaleDurante = finestra->isVisible();
        auto *interrompi = finestra->findChild<QPushButton *>(QStringLiteral("ButtonInterrompi"));
        interrompiAttivo = interrompi && interrompi->isEnabled();
        switch (caso.gesto) {
        case Gesto::Interrompi:
            if (interrompi)
                interrompi->click();
            break;
        case Gesto::ChiudiFinestra:
            finestra->close();
            break;
        case Gesto::Esc: {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(finestra, &esc);
            break;
        }
        }
    });
    timer.start();
    output::ButtonEsportaClick(nullptr, c);
    timer.stop();

    EXPECT_TRUE(fatto);
    EXPECT_TRUE(modaleDurante);
    EXPECT_TRUE(interrompiAttivo);
    EXPECT_EQ(dialoghi, 1);
    EXPECT_EQ(servizi.messages().texts(), QStringList{output::kMsgEsportazioneInterrotta});
    EXPECT_EQ(leggiFile(target), QByteArray("file precedente"));
    EXPECT_EQ(QDir(m_cartella.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QString::fromLatin1(caso.file)});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Casi, EsportaInterruzione, ::testing::ValuesIn(kCasi),
                         [](const auto &info) { return std::string(info.param.nome); });

// Left alone, the same run ends normally and its window goes with it.
TEST_F(OutputDb, EsportazioneNonInterrottaScriveIlFile)
{
    platform::ScopedServices servizi;
    TempDir cartella;
    output::ContestoEsportazione c;
    c.risposta = risposta(QStringLiteral("ID"));
    c.fileImpostazioni = m_out.file(QStringLiteral("ostrel.ini"));
    c.nomeFile = QStringLiteral("RISPOSTA.CSV");
    c.esegui = [&](output::TQIBEspForm &d) {
        d.findChild<QLineEdit *>(QStringLiteral("EditPercorso"))->setText(cartella.path() + QLatin1Char('/'));
        d.OKBtnClick();
        return d.Risultato();
    };
    output::ButtonEsportaClick(nullptr, c);
    EXPECT_EQ(servizi.messages().texts(), QStringList{output::kMsgTestoTerminato});
    EXPECT_EQ(leggiFile(cartella.file(QStringLiteral("RISPOSTA.CSV"))), QByteArray("ID\r\n1\r\n2\r\n3\r\n"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace vardof::test
