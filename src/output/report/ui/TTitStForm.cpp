#include "output/report/ui/TTitStForm.h"

#include "platform/FileDialogs.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/Services.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardof::output::report {

TTitStForm::TTitStForm(QWidget *owner, const QString &ditta, const QString &cartellaBin, const QString &fileImpostazioni)
    : QDialog(owner), m_ditta(ditta), m_bin(cartellaBin),
      m_file(fileImpostazioni.isEmpty() ? QStringLiteral("ostrel.ini") : fileImpostazioni),
      m_fontScelto(QStringLiteral("Arial"), 10), m_fontGriglia(QStringLiteral("Arial"), 8)
{
    setObjectName(QStringLiteral("TTitStForm"));
    setWindowTitle(QStringLiteral("Stampa - Ditta: ") + ditta);
    auto *v = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    EditTitolo = new QLineEdit(this);
    EditTitolo->setObjectName(QStringLiteral("EditTitolo"));
    EditNoteDefault = new QLineEdit(leggi(QStringLiteral("NoteStampaDefault"), QString()), this);
    EditNoteDefault->setObjectName(QStringLiteral("EditNoteDefault"));
    form->addRow(QStringLiteral("Titolo:"), EditTitolo);
    form->addRow(QStringLiteral("Note:"), EditNoteDefault);
    v->addLayout(form);

    RadioGroup1 = new QGroupBox(QStringLiteral("Tipo stampa"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto *g1 = new QVBoxLayout(RadioGroup1);
    RadioAvanzato = new QRadioButton(QStringLiteral("Avanzato personalizzabile (tecn. Combit (R))"), RadioGroup1);
    RadioSemplice = new QRadioButton(QStringLiteral("Semplice personalizzabile (tecn. Combit (R))"), RadioGroup1);
    RadioCrystal = new QRadioButton(QStringLiteral("Semplice/Veloce (tecn. Cristal Report (TM))"), RadioGroup1);
    for (QRadioButton *r : {RadioAvanzato, RadioSemplice, RadioCrystal}) {
        g1->addWidget(r);
        connect(r, &QRadioButton::clicked, this, &TTitStForm::RadioGroup1Click);
    }
    v->addWidget(RadioGroup1);

    CheckNumeraPagine = new QCheckBox(QStringLiteral("Numera pagine"), this);
    CheckNumeraPagine->setObjectName(QStringLiteral("CheckNumeraPagine"));
    CheckNumeraPagine->setChecked(true);
    CheckStampaMemoEstesi = new QCheckBox(QStringLiteral("Stampa campi memo estesi"), this);
    CheckStampaMemoEstesi->setObjectName(QStringLiteral("CheckStampaMemoEstesi"));
    CheckStampaMemoEstesi->setChecked(leggi(QStringLiteral("StampaMemoEstesi"), QStringLiteral("No")) == QLatin1String("Si"));
    v->addWidget(CheckNumeraPagine);
    v->addWidget(CheckStampaMemoEstesi);

    auto *righe = new QHBoxLayout;
    Label3 = new QLabel(QStringLiteral("Numero righe per pagina:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    EditNumeroRigheStQuery = new QLineEdit(leggi(QStringLiteral("RigheStampaQuery"), QStringLiteral("50")), this);
    EditNumeroRigheStQuery->setObjectName(QStringLiteral("EditNumeroRigheStQuery"));
    righe->addWidget(Label3);
    righe->addWidget(EditNumeroRigheStQuery);
    v->addLayout(righe);

    RadioGroup2 = new QGroupBox(this);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    auto *g2 = new QVBoxLayout(RadioGroup2);
    RadioVerticale = new QRadioButton(QStringLiteral("Stampa Verticale"), RadioGroup2);
    RadioOrizzontale = new QRadioButton(QStringLiteral("Stampa Orizzontale"), RadioGroup2);
    g2->addWidget(RadioVerticale);
    g2->addWidget(RadioOrizzontale);
    (platform::IniFile(m_file).readInteger(m_ditta, QStringLiteral("OrientamentoStampa"), 0) == 1 ? RadioOrizzontale
                                                                                                  : RadioVerticale)
        ->setChecked(true);
    v->addWidget(RadioGroup2);

    auto *report = new QHBoxLayout;
    report->addWidget(new QLabel(QStringLiteral("Nome file report:"), this));
    EditNomeReport = new QLineEdit(leggi(QStringLiteral("ReportQuery"), QString()), this);
    EditNomeReport->setObjectName(QStringLiteral("EditNomeReport"));
    report->addWidget(EditNomeReport);
    ButtonSfoglia = new QPushButton(QStringLiteral("Sfoglia"), this);
    ButtonSfoglia->setObjectName(QStringLiteral("ButtonSfoglia"));
    report->addWidget(ButtonSfoglia);
    v->addLayout(report);

    auto *bottoni = new QHBoxLayout;
    ButtonFontStampa = new QPushButton(QStringLiteral("Font"), this);
    ButtonFontStampa->setObjectName(QStringLiteral("ButtonFontStampa"));
    ButtonEditReport = new QPushButton(QStringLiteral("Edita report"), this);
    ButtonEditReport->setObjectName(QStringLiteral("ButtonEditReport"));
    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    for (QPushButton *b : {ButtonFontStampa, ButtonEditReport})
        bottoni->addWidget(b);
    bottoni->addStretch();
    bottoni->addWidget(ButtonOK);
    bottoni->addWidget(ButtonCancel);
    v->addLayout(bottoni);

    connect(ButtonOK, &QPushButton::clicked, this, &TTitStForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonSfoglia, &QPushButton::clicked, this, &TTitStForm::ButtonSfogliaClick);
    connect(ButtonFontStampa, &QPushButton::clicked, this, &TTitStForm::ButtonFontStampaClick);
    connect(ButtonEditReport, &QPushButton::clicked, this, &TTitStForm::ButtonEditReportClick);

    const int tipo = platform::IniFile(m_file).readInteger(m_ditta, QStringLiteral("TipoStampa"), 0);
    (tipo == 1 ? RadioSemplice : tipo == 2 ? RadioCrystal : RadioAvanzato)->setChecked(true);
    const QString nome = EditNomeReport->text();
    RadioGroup1Click();
    EditNomeReport->setText(nome); // the saved name stays until the user changes the kind
    setFixedSize(sizeHint());
    EditTitolo->setFocus();
}

QString TTitStForm::leggi(const QString &chiave, const QString &predefinito) const
{
    return platform::IniFile(m_file).readString(m_ditta, chiave, predefinito);
}

void TTitStForm::setFontGriglia(const QFont &font)
{
    m_fontGriglia = font;
    if (tipoStampa() == 0)
        m_fontScelto = font;
}

int TTitStForm::tipoStampa() const
{
    return RadioSemplice->isChecked() ? 1 : RadioCrystal->isChecked() ? 2 : 0;
}

bool TTitStForm::orizzontale() const
{
    return RadioOrizzontale->isChecked();
}

FontStampa TTitStForm::fontStampa() const
{
    FontStampa f;
    f.nome = m_fontScelto.family();
    f.punti = m_fontScelto.pointSize() > 0 ? m_fontScelto.pointSize() : 8;
    const QColor c = palette().color(QPalette::WindowText);
    f.rosso = c.red();
    f.verde = c.green();
    f.blu = c.blue();
    f.grassetto = m_fontScelto.bold();
    f.corsivo = m_fontScelto.italic();
    f.sottolineato = m_fontScelto.underline();
    f.barrato = m_fontScelto.strikeOut();
    return f;
}

QString TTitStForm::cartellaReport() const
{
    return m_bin + QStringLiteral("Report");
}

void TTitStForm::RadioGroup1Click()
{
    const int tipo = tipoStampa();
    ButtonFontStampa->setVisible(tipo != 2);
    ButtonEditReport->setVisible(tipo != 2);
    RadioGroup2->setVisible(tipo == 0);
    Label3->setVisible(tipo != 0);
    EditNumeroRigheStQuery->setVisible(tipo != 0);
    if (tipo == 0) {
        EditNomeReport->clear();
        m_fontScelto = m_fontGriglia;
    } else if (tipo == 1) {
        EditNomeReport->clear();
        m_fontScelto = QFont(QStringLiteral("Courier New"), 8);
    } else {
        EditNomeReport->setText(QStringLiteral("TEXT"));
    }
    // The window is sized for the controls of one kind: another kind shows
    // more or fewer of them, and a fixed size would squeeze the rest.
    if (layout()) {
        layout()->activate();
        setFixedSize(sizeHint());
    }
}

void TTitStForm::ButtonSfogliaClick()
{
    const QString filtro = tipoStampa() == 2
                               ? QStringLiteral("File report Crystal Report (*.rpt)|*.rpt|Tutti i file (*.*)|*.*")
                               : QStringLiteral("File report List & Label (*.lst)|*.lst|Tutti i file (*.*)|*.*");
    const auto scelto = platform::fileDialogs().openFile(QStringLiteral("Sfoglia"), cartellaReport(), filtro);
    if (!scelto)
        return;
    const QFileInfo f(*scelto);
    if (QDir::cleanPath(f.absolutePath()).compare(QDir::cleanPath(QFileInfo(cartellaReport()).absoluteFilePath()),
                                                  Qt::CaseInsensitive) != 0) {
        platform::warning(QStringLiteral("Attenzione: Sono ammessi report presenti nella directory ") + cartellaReport());
        return;
    }
    EditNomeReport->setText(f.completeBaseName());
}

void TTitStForm::ButtonFontStampaClick()
{
    platform::FontChoice iniziale{m_fontScelto.family(), m_fontScelto.pointSize(), m_fontScelto.bold(),
                                  m_fontScelto.italic(), m_fontScelto.underline(), m_fontScelto.strikeOut()};
    const auto f = platform::fileDialogs().chooseFont(iniziale);
    if (!f)
        return;
    QFont q(f->family, f->pointSize > 0 ? f->pointSize : 8);
    q.setBold(f->bold);
    q.setItalic(f->italic);
    q.setUnderline(f->underline);
    q.setStrikeOut(f->strikeOut);
    m_fontScelto = q;
}

void TTitStForm::ButtonEditReportClick()
{
    if (editaReport)
        editaReport();
}

void TTitStForm::ButtonOKClick()
{
    platform::IniFile ini(m_file);
    ini.writeString(m_ditta, QStringLiteral("RigheStampaQuery"), EditNumeroRigheStQuery->text());
    ini.writeString(m_ditta, QStringLiteral("ReportQuery"), EditNomeReport->text());
    ini.writeString(m_ditta, QStringLiteral("NoteStampaDefault"), EditNoteDefault->text());
    ini.writeString(m_ditta, QStringLiteral("StampaMemoEstesi"),
                    CheckStampaMemoEstesi->isChecked() ? QStringLiteral("Si") : QStringLiteral("No"));
    ini.writeInteger(m_ditta, QStringLiteral("TipoStampa"), tipoStampa());
    ini.writeInteger(m_ditta, QStringLiteral("OrientamentoStampa"), orizzontale() ? 1 : 0);
    accept();
}

} // namespace vardof::output::report
