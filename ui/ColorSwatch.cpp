#include "ui/ColorSwatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TColorSwatch::TColorSwatch(QColor color, QWidget* parent)
    : QWidget(parent)
    , Fill(color.toRgb())
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetColor(QColor color)
{
    color = color.toRgb();
    if (color == Fill)
        return;
    Fill = color;
    update();
}

QSize TColorSwatch::sizeHint() const
{
    const int side = fontMetrics().height() * 3 / 2 + 4;
    return {side, side};
}

void TColorSwatch::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    // A dark outer and a light inner line: black shows on a white swatch,
    // white on a black one.
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.setPen(Qt::white);
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    painter.fillRect(box.adjusted(2, 2, -1, -1), Fill);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = box.adjusted(3, 3, -2, -2);
        option.backgroundColor = Fill;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TColorSwatch::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit Pressed();
}

void TColorSwatch::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit Pressed();
        break;
    default: QWidget::keyPressEvent(event);
    }
}
