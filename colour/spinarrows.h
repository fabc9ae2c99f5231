// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractSlider>

/// @brief A bare pair of spin arrows over a value 0 to 255, step 1.
///
/// Pressing an arrow steps once, then repeats while the button is held. The
/// value raises valueChanged synchronously, and only on a real change, like
/// every other channel view.
class SpinArrows : public QAbstractSlider
{
    Q_OBJECT
public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    enum class Part { None, Up, Down };
    Part partAt(const QPoint &pos) const;

    Part m_pressed = Part::None;
};
