// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

/// @brief The eyedropper's loupe: the captured pixels around the pointer,
/// enlarged, with the centre pixel outlined and its code underneath.
///
/// It takes no pointer input, which goes on to the eyedropper window. Over a
/// picture the eyedropper window paints itself, it is a native child of that
/// window, so that it shows above it. Over a picture the display server shows
/// by itself it is a small window of its own above the eyedropper window,
/// placed in global coordinates: as a child it would make the eyedropper
/// window keep a picture of its whole size to paint from.
class LoupeView : public QWidget
{
    Q_OBJECT
public:
    /// A child of @p window, or with @p ownWindow a window of its own that
    /// @p window owns; show it after @p window.
    ///
    /// NOTE: as a child it is native, and a native widget makes its siblings
    /// native too unless the application says otherwise: the program sets
    /// Qt::AA_DontCreateNativeWidgetSiblings at start, and so must a test.
    LoupeView(QWidget *window, bool ownWindow);

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
