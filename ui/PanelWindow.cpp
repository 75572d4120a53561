#include "ui/PanelWindow.h"

#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <algorithm>

TPanelWindow::TPanelWindow(const QString& caption, QWidget* owner)
    : QWidget(owner, Qt::Tool)
{
    setWindowTitle(caption);
}

int TPanelWindow::ColumnWidth(const QWidget* widget)
{
    // The layers panel, the widest of the column, needs about 18 text lines'
    // height of width at any font size.
    return std::max(235, QFontMetrics(widget->font()).height() * 18);
}

void TPanelWindow::closeEvent(QCloseEvent* event)
{
    const bool wasVisible = isVisible();
    event->accept();
    if (wasVisible)
        emit ClosedByUser();
}

void TPanelWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat() && !FocusIsInTextEntry()) {
        event->accept();
        emit DeleteKeyReleased();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

bool TPanelWindow::FocusIsInTextEntry() const
{
    for (const QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w))
            return true;
    }
    return false;
}
