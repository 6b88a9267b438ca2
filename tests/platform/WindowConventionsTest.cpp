// Drop-downs and spin boxes change only with the focus; read-only memos wrap.

#include "platform/widgets/WindowConventions.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

using vardof::platform::WindowConventions;

namespace {

void wheelDown(QWidget *w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

struct Window
{
    QDialog dialog;
    QComboBox *combo = new QComboBox;
    QSpinBox *spin = new QSpinBox;
    QPlainTextEdit *log = new QPlainTextEdit;
    QPlainTextEdit *editor = new QPlainTextEdit;

    Window()
    {
        auto *layout = new QVBoxLayout(&dialog);
        combo->addItems({QStringLiteral("uno"), QStringLiteral("due"), QStringLiteral("tre")});
        spin->setRange(0, 10);
        spin->setValue(5);
        log->setReadOnly(true);
        log->setLineWrapMode(QPlainTextEdit::NoWrap);
        editor->setLineWrapMode(QPlainTextEdit::NoWrap);
        for (QWidget *w : {static_cast<QWidget *>(combo), static_cast<QWidget *>(spin), static_cast<QWidget *>(log),
                           static_cast<QWidget *>(editor)})
            layout->addWidget(w);
        dialog.show();
        QApplication::processEvents();
    }
};

} // namespace

TEST(WindowConventionsTest, wheelWithoutFocusChangesNothing)
{
    const WindowConventions conventions;
    Window w;
    w.editor->setFocus();
    QApplication::processEvents();
    wheelDown(w.combo);
    wheelDown(w.spin);
    wheelDown(w.spin->findChild<QLineEdit *>());
    EXPECT_EQ(w.combo->currentIndex(), 0);
    EXPECT_EQ(w.spin->value(), 5);
    EXPECT_EQ(w.combo->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(w.spin->focusPolicy(), Qt::StrongFocus);
}

TEST(WindowConventionsTest, wheelWithFocusStillWorks)
{
    const WindowConventions conventions;
    Window w;
    w.dialog.activateWindow();
    w.combo->setFocus();
    QApplication::processEvents();
    if (!w.combo->hasFocus())
        GTEST_SKIP() << "the platform gives no focus";
    wheelDown(w.combo);
    EXPECT_EQ(w.combo->currentIndex(), 1);
}

TEST(WindowConventionsTest, readOnlyMemosWrapEditorsDoNot)
{
    const WindowConventions conventions;
    Window w;
    EXPECT_EQ(w.log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(w.editor->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(WindowConventionsTest, hostWindowsAreLeftAloneOnceTheEntryEnds)
{
    {
        const WindowConventions conventions;
    }
    Window w;
    w.editor->setFocus();
    QApplication::processEvents();
    wheelDown(w.combo);
    EXPECT_EQ(w.combo->currentIndex(), 1);
    EXPECT_EQ(w.log->lineWrapMode(), QPlainTextEdit::NoWrap);
}
