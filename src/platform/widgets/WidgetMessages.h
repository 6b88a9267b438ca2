#pragma once

// IMessages with Qt message boxes and Italian button texts.

#include "platform/Messages.h"

#include <memory>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace vardof::platform {

class WidgetMessages : public IMessages
{
public:
    Answer show(MessageKind kind, const QString &caption, const QString &text,
                Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &defaultValue) override;
};

// The box show() runs, built but not shown: the first button is the default,
// Escape gives No or Cancel where there is one.
std::unique_ptr<QMessageBox> buildMessageBox(MessageKind kind, const QString &caption,
                                             const QString &text, Buttons buttons,
                                             QWidget *parent = nullptr);
// What pressing `clicked` in a box from buildMessageBox answers.
Answer answerFor(const QMessageBox &box, QAbstractButton *clicked);

} // namespace vardof::platform
