#include "entry/ui/EntryUi.h"
#include "entry/ui/TZunIn2Form.h"

#include "context/OpenOrCreate.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WidgetPlatform.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>

namespace vardof::entry {

void installEntryUi()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (dynamic_cast<platform::StderrMessages *>(&platform::messages()))
        platform::installWidgetPlatform();
    context::setServerDiskPrompt([](const QString &caption, const QString &label)
                            -> std::optional<std::pair<QString, QString>> {
        TZunIn2Form dialog;
        dialog.setWindowTitle(caption);
        dialog.setFont(QFont(QStringLiteral("Arial"), 8));
        dialog.Label1->setText(label);
        dialog.Label1->move(dialog.Label1->x(), dialog.Label1->y() - 10);
        dialog.Edit1->clear();
        dialog.exec();
        if (dialog.Risposta != 1)
            return std::nullopt;
        return std::make_pair(dialog.Edit1->text(), dialog.Edit2->text());
    });
}

} // namespace vardof::entry
