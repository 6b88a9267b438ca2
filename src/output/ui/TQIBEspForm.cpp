#include "output/ui/TQIBEspForm.h"

#include "db/Error.h"
#include "params/TTabXForm.h"
#include "platform/FileDialogs.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/Services.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardof::output {

namespace {

const QString kStampaMemoEstesi = QStringLiteral("StampaMemoEstesi");
const QString kStampaMemoEstesiTag = QStringLiteral("StampaMemoEstesiTag");
const QString kDirTemp = QStringLiteral("Directory tabelle temporanee");
const QString kDirBin = QStringLiteral("Directory bin");
const QString kDirExport = QStringLiteral("Directory export Query");
const QString kProgrammaExcel = QStringLiteral("Programma riferimento Excel");
const QString kExcelPreimpostato = QStringLiteral("Excel Preimpostato");

bool esiste(const QString &path)
{
    return !path.isEmpty() && QFileInfo(platform::toNativeLocal(path)).isFile();
}

QString conEstensione(const QString &nome, const QString &estensione)
{
    const qsizetype dot = nome.lastIndexOf(QLatin1Char('.'));
    const qsizetype sep = std::max(nome.lastIndexOf(QLatin1Char('/')), nome.lastIndexOf(QLatin1Char('\\')));
    return (dot > sep ? nome.left(dot) : nome) + estensione;
}

bool haEstensione(const QString &nome)
{
    const qsizetype dot = nome.lastIndexOf(QLatin1Char('.'));
    const qsizetype sep = std::max(nome.lastIndexOf(QLatin1Char('/')), nome.lastIndexOf(QLatin1Char('\\')));
    return dot > sep;
}

QString senzaSeparatoreFinale(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

} // namespace

ImpostazioniEsportazione::ImpostazioniEsportazione(params::TTabXForm *store, const QString &ditta,
                                                   const QString &fileImpostazioni)
    : m_store(store), m_ditta(ditta),
      m_file(fileImpostazioni.isEmpty() ? QStringLiteral("ostrel.ini") : fileImpostazioni)
{
}

QString ImpostazioniEsportazione::leggi(const QString &nome) const
{
    if (m_store) {
        try {
            return m_store->CaricaParametro(nome);
        } catch (const db::Error &) {
            return QString();
        }
    }
    return platform::IniFile(m_file).readString(m_ditta, nome);
}

void ImpostazioniEsportazione::scrivi(const QString &nome, const QString &valore)
{
    if (m_store) {
        try {
            m_store->ScriviParametroOstrel(m_store->Ditta, nome, valore);
        } catch (const db::Error &e) {
            platform::error(QStringLiteral("Impossibile salvare il parametro \"%1\":\r").arg(nome) + e.message());
        }
        return;
    }
    platform::IniFile(m_file).writeString(m_ditta, nome, valore);
}

QString programmaLibreOfficeCalc()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files\\LibreOffice\\program\\scalc.exe");
#else
    const QString dir = cercaDirLibreOffice();
    return dir.isEmpty() ? QStringLiteral("/usr/lib/libreoffice/program/scalc") : dir + QStringLiteral("/scalc");
#endif
}

static QString cartellaSopraHost()
{
    QDir d(platform::toNativeLocal(platform::hostDir()));
    d.cdUp();
    return platform::ensureTrailingSeparator(d.path());
}

QString cartellaModelliUnione()
{
    return cartellaSopraHost() + QStringLiteral("dati/macro_libre_office/");
}

QString fileEsportazioneUnione()
{
    return cartellaSopraHost() + QStringLiteral("dati/export_xls/temp_export.xlsx");
}

TQIBEspForm::TQIBEspForm(QWidget *owner, params::TTabXForm *store, const QString &ditta, const QString &dirLavoro,
                         const QString &separatore, const QString &nomeFile, const QString &fileImpostazioni)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_impostazioni(store, ditta, fileImpostazioni)
{
    Q_UNUSED(dirLavoro);
    setObjectName(QStringLiteral("TQIBEspForm"));
    setWindowTitle(QStringLiteral("Esporta - Ditta: ") + ditta);
    setModal(true);

    auto bottone = [this](QPushButton *&b, const char *nome, const QString &testo) {
        b = new QPushButton(testo, this);
        b->setObjectName(QLatin1String(nome));
        b->setAutoDefault(false);
    };
    auto casella = [this](QLineEdit *&e, const char *nome) {
        e = new QLineEdit(this);
        e->setObjectName(QLatin1String(nome));
    };
    auto spunta = [this](QCheckBox *&c, const char *nome, const QString &testo) {
        c = new QCheckBox(testo, this);
        c->setObjectName(QLatin1String(nome));
    };
    bottone(ButtonNomeFile, "ButtonNomeFile", QStringLiteral("Nome del File"));
    casella(EditNomeFile, "EditNomeFile");
    EditNomeFile->setMaxLength(64);
    bottone(ButtonPercorso, "ButtonPercorso", QStringLiteral("&Selez.Percorso"));
    casella(EditPercorso, "EditPercorso");
    bottone(ButtonEsegExcel, "ButtonEsegExcel", QStringLiteral("&Eseguibile Excel"));
    casella(EditEseguibileExcel, "EditEseguibileExcel");
    bottone(ButtonExcelPreimpostato, "ButtonExcelPreimpostato", QStringLiteral("Excel preimpostato"));
    casella(EditExcelPreimpostato, "EditExcelPreimpostato");
    bottone(ButtonSeparatore, "ButtonSeparatore", QStringLiteral("Simbolo di separazione campi"));
    casella(EditSeparatore, "EditSeparatore");
    EditSeparatore->setMaxLength(1);
    spunta(ButtonLunghezzaFissa, "ButtonLunghezzaFissa", QStringLiteral("Imposta i campi a lunghezza fissa"));
    spunta(CheckStampaMemoEstesi, "CheckStampaMemoEstesi", QStringLiteral("Esporta campi memo estesi"));
    LabelTagSostRitornoCapo =
        new QLabel(QStringLiteral("Tag (opzionale) per sostituzione ritorno a capo nei memo:"), this);
    LabelTagSostRitornoCapo->setObjectName(QStringLiteral("LabelTagSostRitornoCapo"));
    casella(EditTagSostRitornoCapo, "EditTagSostRitornoCapo");
    spunta(CheckRTFInChiaro, "CheckRTFInChiaro", QStringLiteral("Esporta memo RTF in chiaro"));
    spunta(CheckSaltaIntestazioni, "CheckSaltaIntestazioni", QStringLiteral("Non riportare le intestazioni colonne"));
    spunta(CheckQualificaCampi, "CheckQualificaCampi", QStringLiteral("Riporta intestazioni colonne con qualif. campi"));
    bottone(OKBtn, "OKBtn", QStringLiteral("Esporta semplice"));
    bottone(BitBtnApriExcel, "BitBtnApriExcel", QStringLiteral("Apri foglio calcolo"));
    bottone(ButtonApriExcelUnione, "ButtonApriExcelUnione", QStringLiteral("Apri foglio calcolo con unione"));
    bottone(CancelBtn, "CancelBtn", QStringLiteral("Chiudi"));

    auto *gruppo = new QGroupBox(QStringLiteral("Tipo export"), this);
    gruppo->setObjectName(QStringLiteral("GroupTipoExport"));
    EditTipoExport = new QButtonGroup(this);
    EditTipoExport->setObjectName(QStringLiteral("EditTipoExport"));
    auto *gl = new QVBoxLayout(gruppo);
    for (int i = 0; i < kTipiExport; ++i) {
        auto *r = new QRadioButton(didascaliaTipo(TipoExport(i)), gruppo);
        r->setObjectName(QStringLiteral("TipoExport%1").arg(i));
        EditTipoExport->addButton(r, i);
        gl->addWidget(r);
    }
    EditTipoExport->button(0)->setChecked(true);

    auto *grid = new QGridLayout;
    int row = 0;
    grid->addWidget(ButtonNomeFile, row, 0);
    grid->addWidget(EditNomeFile, row++, 1);
    grid->addWidget(ButtonPercorso, row, 0);
    grid->addWidget(EditPercorso, row++, 1);
    grid->addWidget(ButtonEsegExcel, row, 0);
    grid->addWidget(EditEseguibileExcel, row++, 1);
    grid->addWidget(ButtonExcelPreimpostato, row, 0);
    grid->addWidget(EditExcelPreimpostato, row++, 1);
    grid->addWidget(ButtonSeparatore, row, 0);
    grid->addWidget(EditSeparatore, row++, 1);
    grid->addWidget(ButtonLunghezzaFissa, row++, 0, 1, 2);
    grid->addWidget(CheckStampaMemoEstesi, row++, 0, 1, 2);
    grid->addWidget(LabelTagSostRitornoCapo, row, 0);
    grid->addWidget(EditTagSostRitornoCapo, row++, 1);
    grid->addWidget(CheckRTFInChiaro, row++, 0, 1, 2);
    grid->addWidget(CheckSaltaIntestazioni, row++, 0, 1, 2);
    grid->addWidget(CheckQualificaCampi, row++, 0, 1, 2);

    grid->setColumnStretch(1, 1);
    for (QLineEdit *e : {EditNomeFile, EditPercorso, EditEseguibileExcel, EditExcelPreimpostato})
        e->setMinimumWidth(320);
    EditSeparatore->setMaximumWidth(40);
    EditTagSostRitornoCapo->setMaximumWidth(120);

    auto *centro = new QHBoxLayout;
    centro->addLayout(grid, 1);
    centro->addWidget(gruppo);
    auto *bottoni = new QHBoxLayout;
    bottoni->addWidget(OKBtn);
    bottoni->addWidget(BitBtnApriExcel);
    bottoni->addWidget(ButtonApriExcelUnione);
    bottoni->addStretch(1);
    bottoni->addWidget(CancelBtn);
    auto *main = new QVBoxLayout(this);
    main->addLayout(centro);
    main->addLayout(bottoni);

    connect(ButtonNomeFile, &QPushButton::clicked, this, [this] { EditNomeFile->setFocus(); });
    connect(ButtonSeparatore, &QPushButton::clicked, this, [this] { EditSeparatore->setFocus(); });
    connect(ButtonPercorso, &QPushButton::clicked, this, &TQIBEspForm::ButtonPercorsoClick);
    connect(ButtonEsegExcel, &QPushButton::clicked, this, &TQIBEspForm::ButtonEsegExcelClick);
    connect(ButtonExcelPreimpostato, &QPushButton::clicked, this, &TQIBEspForm::ButtonExcelPreimpostatoClick);
    connect(ButtonLunghezzaFissa, &QCheckBox::clicked, this, &TQIBEspForm::ButtonLunghezzaFissaClick);
    connect(CheckStampaMemoEstesi, &QCheckBox::clicked, this, &TQIBEspForm::CheckStampaMemoEstesiClick);
    connect(CheckSaltaIntestazioni, &QCheckBox::clicked, this, &TQIBEspForm::CheckSaltaIntestazioniClick);
    connect(EditTipoExport, &QButtonGroup::idClicked, this, &TQIBEspForm::EditTipoExportClick);
    connect(OKBtn, &QPushButton::clicked, this, &TQIBEspForm::OKBtnClick);
    connect(BitBtnApriExcel, &QPushButton::clicked, this, &TQIBEspForm::BitBtnApriExcelClick);
    connect(ButtonApriExcelUnione, &QPushButton::clicked, this, &TQIBEspForm::ButtonApriExcelUnioneClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TQIBEspForm::CancelBtnClick);

    // 1. The name (its extension made ".CSV") and the separator.
    m_nomeDato = nomeFile.isEmpty() ? nomeFile : conEstensione(nomeFile, QStringLiteral(".CSV"));
    EditNomeFile->setText(m_nomeDato);
    EditSeparatore->setText(separatore);
    // 2. The stored settings.
    QString cartella = m_impostazioni.leggi(kDirExport);
    if (cartella.isEmpty())
        cartella = m_impostazioni.leggi(kDirTemp);
    if (cartella.isEmpty())
        cartella = m_impostazioni.leggi(kDirBin);
    EditPercorso->setText(cartella);
    EditEseguibileExcel->setText(m_impostazioni.leggi(kProgrammaExcel));
    EditExcelPreimpostato->setText(m_impostazioni.leggi(kExcelPreimpostato));
    m_memoEstesi = m_impostazioni.leggi(kStampaMemoEstesi) == QLatin1String("Si");
    CheckStampaMemoEstesi->setChecked(m_memoEstesi);
    m_tag = m_impostazioni.leggi(kStampaMemoEstesiTag);
    EditTagSostRitornoCapo->setText(m_tag);
    CheckRTFInChiaro->setVisible(false);
    // 3. The rules of the first type.
    applicaRegoleTipo(0);
    adjustSize();
}

void TQIBEspForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_mostrato = true;
}

void TQIBEspForm::applicaRegoleTipo(int tipo)
{
    m_tipo = tipo;
    const QString partenza = m_mostrato ? EditNomeFile->text() : m_nomeDato;
    switch (tipo) {
    case 0: EditNomeFile->setText(partenza); break;
    case 1: EditNomeFile->setText(haEstensione(m_nomeDato) ? QStringLiteral("EXPORT") : m_nomeDato); break;
    case 2:
    case 4:
    case 5:
    case 6: EditNomeFile->setText(conEstensione(partenza, QStringLiteral(".xls"))); break;
    default: EditNomeFile->setText(conEstensione(partenza, QStringLiteral(".xlsx"))); break;
    }
    const bool testo = tipo == 0;
    for (QWidget *w : std::initializer_list<QWidget *>{ButtonSeparatore, EditSeparatore, ButtonLunghezzaFissa,
                                                       CheckStampaMemoEstesi})
        w->setVisible(testo);
    CheckRTFInChiaro->setVisible(tipo <= 5 && CheckStampaMemoEstesi->isChecked());
    ButtonPercorso->setVisible(tipo != 1);
    EditPercorso->setVisible(tipo != 1);
    EditPercorso->setEnabled(tipo != 1);
    ButtonPercorso->setEnabled(tipo != 1);
    ButtonNomeFile->setText(tipo == 1 ? QStringLiteral("Nome Tabella") : QStringLiteral("Nome del File"));
    CheckSaltaIntestazioni->setVisible(testo);
    LabelTagSostRitornoCapo->setVisible(tipo <= 5);
    EditTagSostRitornoCapo->setVisible(tipo <= 5);
    CheckQualificaCampi->setVisible(tipo <= 5 && !(testo && CheckSaltaIntestazioni->isChecked()));
    ButtonApriExcelUnione->setEnabled(tipo == 2 || tipo == 3 || tipo == 7);
    BitBtnApriExcel->setEnabled(tipo >= 2);
}

void TQIBEspForm::EditTipoExportClick(int tipo)
{
    if (EditTipoExport->checkedId() != tipo)
        EditTipoExport->button(tipo)->setChecked(true);
    applicaRegoleTipo(tipo);
}

void TQIBEspForm::ButtonPercorsoClick()
{
    const auto scelta = platform::fileDialogs().chooseDirectory(QStringLiteral("Selez.Percorso"), EditPercorso->text());
    if (!scelta)
        return;
    QString cartella = *scelta;
    if (!cartella.endsWith(QLatin1Char('/')) && !cartella.endsWith(QLatin1Char('\\')))
        cartella += QDir::separator() == QLatin1Char('\\') ? QLatin1Char('\\') : QLatin1Char('/');
    EditPercorso->setText(cartella);
    m_impostazioni.scrivi(kDirExport, cartella);
}

void TQIBEspForm::ButtonEsegExcelClick()
{
    const QString attuale = EditEseguibileExcel->text();
    const QString calc = programmaLibreOfficeCalc();
    if ((attuale.isEmpty() || !esiste(attuale)) && esiste(calc)) {
        QStringList righe;
        if (!attuale.isEmpty())
            righe << QStringLiteral("\"%1\" non trovato").arg(attuale);
        righe << QStringLiteral("Ho trovato libreoffice calc in questo percorso: ") + calc
              << QStringLiteral("Posso impostarlo?") << QStringLiteral("YES - Imposta")
              << QStringLiteral("NO - Scelgo io");
        if (platform::confirm(righe.join(QStringLiteral("\r")))) {
            EditEseguibileExcel->setText(calc);
            return;
        }
    }
#ifdef Q_OS_WIN
    const QString filtro = QStringLiteral("File exe|*.exe");
#else
    const QString filtro = QStringLiteral("Tutti i file|*.*");
#endif
    const auto scelta = platform::fileDialogs().openFile(QStringLiteral("Eseguibile Excel"),
                                                         QFileInfo(attuale).absolutePath(), filtro);
    if (scelta)
        EditEseguibileExcel->setText(*scelta);
}

void TQIBEspForm::ButtonExcelPreimpostatoClick()
{
    const auto scelta = platform::fileDialogs().openFile(
        QStringLiteral("Excel preimpostato"), QFileInfo(EditExcelPreimpostato->text()).absolutePath(),
        QStringLiteral("Fogli di calcolo|*.xls;*.xlsx;*.xlsm;*.ods|Tutti i file|*.*"));
    if (scelta)
        EditExcelPreimpostato->setText(*scelta);
}

void TQIBEspForm::ButtonLunghezzaFissaClick()
{
    if (ButtonLunghezzaFissa->isChecked() && EditSeparatore->text() == QLatin1String(";"))
        EditSeparatore->setText(QStringLiteral("|"));
    else if (!ButtonLunghezzaFissa->isChecked() && EditSeparatore->text() == QLatin1String("|"))
        EditSeparatore->setText(QStringLiteral(";"));
}

void TQIBEspForm::CheckStampaMemoEstesiClick()
{
    CheckRTFInChiaro->setVisible(CheckStampaMemoEstesi->isChecked() && m_tipo <= 5);
}

void TQIBEspForm::CheckSaltaIntestazioniClick()
{
    if (CheckSaltaIntestazioni->isChecked()) {
        CheckQualificaCampi->setChecked(false);
        CheckQualificaCampi->setVisible(false);
    } else {
        CheckQualificaCampi->setVisible(m_tipo <= 5);
    }
}

bool TQIBEspForm::VerificaEseguibileExcel()
{
    if (m_tipo != 6 && m_tipo != 7)
        return true;
    const QString programma = EditEseguibileExcel->text();
    if (!programma.isEmpty() && esiste(programma))
        return true;
    QStringList righe;
    righe << (programma.isEmpty() ? QStringLiteral("Eseguibile Excel non indicato")
                                  : QStringLiteral("Eseguibile Excel \"%1\" non trovato").arg(programma));
    const QString calc = programmaLibreOfficeCalc();
    if (esiste(calc)) {
        righe << QStringLiteral("Propongo di assegnare \"%1\"").arg(calc) << QStringLiteral("Procedo?");
        if (platform::messages().show(platform::Warning, platform::defaultCaption(platform::Warning),
                                      righe.join(QStringLiteral("\r")), platform::Buttons::YesNo)
            == platform::Answer::Yes) {
            EditEseguibileExcel->setText(calc);
            return true;
        }
        return false;
    }
    righe << QStringLiteral("Si prega di impostare un programma valido eseguibile Excel da aprire (Libre Office Calc) "
                            "nell'apposita sezione");
    platform::warning(righe.join(QStringLiteral("\r")));
    return false;
}

void TQIBEspForm::chiudiCon(int risultato)
{
    m_risultato = risultato;
    // A folder typed without its final separator still names the folder.
    m_nomeFileUscita = platform::ensureTrailingSeparator(EditPercorso->text()) + EditNomeFile->text();
    if (m_tipo == 1)
        m_nomeFileUscita = EditNomeFile->text();
    m_separatoreUscita = EditSeparatore->text();
    m_memoEstesi = CheckStampaMemoEstesi->isChecked();
    m_tag = EditTagSostRitornoCapo->text();
    salvaImpostazioni();
    done(risultato);
}

void TQIBEspForm::salvaImpostazioni()
{
    m_impostazioni.scrivi(kStampaMemoEstesi, m_memoEstesi ? QStringLiteral("Si") : QStringLiteral("No"));
    m_impostazioni.scrivi(kStampaMemoEstesiTag, EditTagSostRitornoCapo->text());
    m_impostazioni.scrivi(kProgrammaExcel, EditEseguibileExcel->text());
    m_impostazioni.scrivi(kExcelPreimpostato, EditExcelPreimpostato->text());
}

void TQIBEspForm::OKBtnClick()
{
    if (!VerificaEseguibileExcel())
        return;
    chiudiCon(EsportaSemplice);
}

void TQIBEspForm::BitBtnApriExcelClick()
{
    if (!VerificaEseguibileExcel())
        return;
    // Without a program the desktop's opener is used outside Windows.
#ifdef Q_OS_WIN
    if (EditEseguibileExcel->text().isEmpty()) {
        platform::showMessage(QStringLiteral("Impostare prima l'eseguibile Excel"));
        return;
    }
#endif
    chiudiCon(ApriFoglioCalcolo);
}

void TQIBEspForm::ButtonApriExcelUnioneClick()
{
    if (!VerificaEseguibileExcel())
        return;
    const QString modello = EditExcelPreimpostato->text();
    if (!esiste(modello)) {
        platform::warning(QStringLiteral("Excel preimpostato \"%1\" non trovato").arg(modello));
        return;
    }
    if (fileInUso(modello)) {
        platform::warning(QStringLiteral("Excel preimpostato \"%1\" aperto in un'altra sessione").arg(modello));
        return;
    }
    if (m_tipo == 6 || m_tipo == 7) {
        const QString cartella = cartellaModelliUnione();
        const QString delModello = QFileInfo(platform::toNativeLocal(modello)).absolutePath();
        if (QDir::cleanPath(delModello).compare(QDir::cleanPath(platform::toNativeLocal(cartella)), Qt::CaseInsensitive)
            != 0) {
            platform::warning(
                QStringLiteral("Attenzione: l'unione con LibreOffice funziona solo con template salvati in \"%1\"")
                    .arg(senzaSeparatoreFinale(cartella)));
            return;
        }
        const QString unione = fileEsportazioneUnione();
        if (QDir::cleanPath(platform::toNativeLocal(EditPercorso->text() + EditNomeFile->text()))
            != QDir::cleanPath(platform::toNativeLocal(unione))) {
            platform::warning(QStringLiteral("Attenzione: sto creando un foglio di calcolo unendo un template che "
                                             "contiene macro e pivot, l'export avverrà su \"%1\"")
                                  .arg(unione));
            EditPercorso->setText(platform::extractFilePath(unione));
            EditNomeFile->setText(platform::extractFileName(unione));
        }
    }
    chiudiCon(ApriFoglioCalcoloUnione);
}

void TQIBEspForm::CancelBtnClick()
{
    m_risultato = Chiudi;
    m_tag = EditTagSostRitornoCapo->text();
    salvaImpostazioni();
    done(Chiudi);
}

OpzioniTesto TQIBEspForm::opzioniTesto() const
{
    OpzioniTesto o;
    const QString sep = m_separatoreUscita.isEmpty() ? EditSeparatore->text() : m_separatoreUscita;
    o.separatore = sep.isEmpty() ? QLatin1Char(';') : sep.at(0);
    o.lunghezzaFissa = ButtonLunghezzaFissa->isChecked();
    o.memoEstesi = CheckStampaMemoEstesi->isChecked();
    o.tagRitornoCapo = EditTagSostRitornoCapo->text();
    o.rtfInChiaro = o.memoEstesi && CheckRTFInChiaro->isChecked();
    o.saltaIntestazioni = m_tipo == 0 && CheckSaltaIntestazioni->isChecked();
    o.qualificaCampi = CheckQualificaCampi->isChecked() && !o.saltaIntestazioni;
    return o;
}

QString TQIBEspForm::programmaExcel() const
{
    return EditEseguibileExcel->text();
}

QString TQIBEspForm::excelPreimpostato() const
{
    return EditExcelPreimpostato->text();
}

QString TQIBEspForm::percorso() const
{
    return EditPercorso->text();
}

} // namespace vardof::output
