#pragma once

#include <QWidget>

#include <cstdint>

// The ruler of one colours table row: a scale for the intensities 0..256
// (intensity b at x = 10 + 2 b) with a tick and a handle for each interior
// boundary. It only draws; the colouring options dialog handles its pointer.
class TColorScaleRuler : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignedWidth = 569;
    static constexpr int DesignedHeight = 41;

    explicit TColorScaleRuler(QWidget* parent = nullptr);

    // The row to draw (its count, then its boundaries), or null for none.
    void SetRow(const std::uint8_t* row);

    // The interior boundary k (2..n-1) whose handle holds the point, or -1.
    static int HandleAt(const std::uint8_t* row, QPoint point);
    // The intensity a pointer at x stands for.
    static int ValueAt(int x) { return (x - 10) / 2; }

    QSize sizeHint() const override { return {DesignedWidth, DesignedHeight}; }

signals:
    void Pressed(QPoint position, Qt::MouseButton button);
    void Dragged(QPoint position, Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const std::uint8_t* Row = nullptr;
};
