// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

/// @brief The eyedropper's loupe: the captured pixels around the pointer,
/// enlarged, with the centre pixel outlined and its code underneath.
///
/// A native child of the eyedropper window, so that it shows above a frozen
/// picture that lives in a native window of its own; it takes no pointer
/// input, which goes on to the eyedropper window.
class LoupeView : public QWidget
{
    Q_OBJECT
public:
    explicit LoupeView(QWidget *window);

    /// @brief Shows @p pixels (pickers::loupe::kCells square, RGB32) and
    /// @p code, repainting only the blocks and the strip that differ from
    /// what it showed.
    void showPixels(const QImage &pixels, const QString &code);

    const QImage &pixels() const { return m_pixels; }
    const QString &code() const { return m_code; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_pixels;
    QString m_code;
};
