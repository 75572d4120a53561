#pragma once

#include <QColor>
#include <QWidget>

// A square showing a colour, framed so that it stands out on any window
// face. A press of any mouse button, or Space or Enter while it has the
// focus, emits Pressed; the owner decides what to do with it.
class TColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit TColorSwatch(QColor color, QWidget* parent = nullptr);

    QColor Color() const { return Fill; }
    void SetColor(QColor color);

    QSize sizeHint() const override;

signals:
    void Pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor Fill;
};
