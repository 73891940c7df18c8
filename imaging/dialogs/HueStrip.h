#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// Picture 1050 of "Color Tone": every fully saturated hue, cyan through blue, magenta, red, yellow and
// green back to cyan, one per column. Pressing or dragging the left button over it picks the colour under
// the pointer; moves outside the strip pick nothing, so the last colour stays.
class HueStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 28;
    static constexpr int kLow = 33;
    static constexpr int kHigh = 254;

    explicit HueStrip(QWidget* parent = nullptr);

    // The colour of one column (0 to kWidth - 1).
    static QColor ColumnColour(int column);
    const QImage& Picture() const { return picture_; }

signals:
    void ColourPicked(QColor colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Pick(QPoint position);

    QImage picture_;
};
