// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

/// @brief A check box whose caption wraps onto further lines when it is
/// wider than the box, instead of being cut off.
///
/// The options dialog's captions are laid out for a two-line box; with the
/// fonts found on Linux the longer one does not fit on one line.
class WrapCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit WrapCheckBox(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
