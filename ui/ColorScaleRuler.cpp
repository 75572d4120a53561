#include "ui/ColorScaleRuler.h"

#include <QMouseEvent>
#include <QPainter>

TColorScaleRuler::TColorScaleRuler(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("PaintBox1");
    setFixedSize(DesignedWidth, DesignedHeight);
}

void TColorScaleRuler::SetRow(const std::uint8_t* row)
{
    Row = row;
    update();
}

int TColorScaleRuler::HandleAt(const std::uint8_t* row, QPoint p)
{
    if (!row)
        return -1;
    const int n = row[0];
    for (int k = 2; k <= n - 1; ++k) {
        const int b = row[k];
        if (2 * b + 6 <= p.x() && p.x() <= 2 * b + 15 && 21 < p.y() && p.y() <= 30)
            return k;
    }
    return -1;
}

void TColorScaleRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawLine(10, 10, 10, 20);
    painter.drawLine(10, 20, 523, 20);
    painter.drawLine(523, 20, 523, 10);
    painter.drawLine(523, 10, 10, 10);
    if (!Row || Row[0] < 3)
        return;
    painter.setBrush(QColor(192, 192, 192));
    const int n = Row[0];
    for (int k = 2; k <= n - 1; ++k) {
        const int x = 2 * Row[k];
        // The tick covers column x + 10, rows 8..21; the handle columns
        // x + 6..x + 14, rows 22..29, outlined black and filled silver (a
        // one-pixel pen outlines w + 1 by h + 1 pixels).
        painter.drawLine(x + 10, 8, x + 10, 21);
        painter.drawRect(x + 6, 22, 8, 7);
    }
}

void TColorScaleRuler::mousePressEvent(QMouseEvent* event)
{
    emit Pressed(event->position().toPoint(), event->button());
}

void TColorScaleRuler::mouseMoveEvent(QMouseEvent* event)
{
    emit Dragged(event->position().toPoint(), event->buttons());
}
