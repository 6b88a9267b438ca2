#include "platform/widgets/WidgetMessages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vardof::platform {

namespace {

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case Information:
        return QMessageBox::Information;
    case Warning:
        return QMessageBox::Warning;
    case Error:
        return QMessageBox::Critical;
    case Confirmation:
        return QMessageBox::Question;
    case Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ItalianButton
{
    QMessageBox::StandardButton standard;
    const char16_t *text;
};

QList<ItalianButton> italianButtons(Buttons buttons)
{
    const ItalianButton ok{QMessageBox::Ok, u"OK"};
    const ItalianButton cancel{QMessageBox::Cancel, u"Annulla"};
    const ItalianButton yes{QMessageBox::Yes, u"Sì"};
    const ItalianButton no{QMessageBox::No, u"No"};
    switch (buttons) {
    case Buttons::Ok:
        return {ok};
    case Buttons::YesNo:
        return {yes, no};
    case Buttons::OkCancel:
        return {ok, cancel};
    case Buttons::YesNoCancel:
        return {yes, no, cancel};
    }
    return {ok};
}

QWidget *defaultParent()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                             : QApplication::activeWindow();
}

} // namespace

std::unique_ptr<QMessageBox> buildMessageBox(MessageKind kind, const QString &caption,
                                             const QString &text, Buttons buttons,
                                             QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(
        iconFor(kind), caption.isEmpty() ? defaultCaption(kind) : caption, text,
        QMessageBox::NoButton, parent);
    const QList<ItalianButton> list = italianButtons(buttons);
    for (const ItalianButton &b : list)
        box->addButton(b.standard)->setText(QString::fromUtf16(b.text));
    box->setDefaultButton(list.front().standard);
    if (buttons == Buttons::Ok)
        box->setEscapeButton(QMessageBox::Ok);
    else if (buttons == Buttons::YesNo)
        box->setEscapeButton(QMessageBox::No);
    else
        box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

Answer answerFor(const QMessageBox &box, QAbstractButton *clicked)
{
    switch (box.standardButton(clicked)) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Answer WidgetMessages::show(MessageKind kind, const QString &caption, const QString &text,
                            Buttons buttons)
{
    const auto box = buildMessageBox(kind, caption, text, buttons, defaultParent());
    box->exec();
    // Closing the window counts as the escape button.
    QAbstractButton *clicked = box->clickedButton() ? box->clickedButton() : box->escapeButton();
    return answerFor(*box, clicked);
}

std::optional<QString> WidgetMessages::input(const QString &caption, const QString &prompt,
                                             const QString &defaultValue)
{
    QInputDialog dialog(defaultParent());
    dialog.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultValue);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace vardof::platform
