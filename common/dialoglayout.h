// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>

class QString;

/// @brief Placing the small fixed windows: positions given in twips, and
/// centring over the window that opened them.
namespace dialoglayout {

/// @brief Moves the top-level @p window so that its centre lies on the
/// centre of @p anchor (the screen when @p anchor is null), kept inside the
/// available area of that screen.
void CentreOver(QWidget *window, const QWidget *anchor);

/// @brief Makes @p dialog one of the program's small fixed tool windows:
/// a title bar with a close button only, the window font, and a fixed client
/// area of @p widthTwips by @p heightTwips. It has no owner, so no parent.
void SetUpToolWindow(QDialog *dialog, const QString &name, const QString &title, int widthTwips,
                     int heightTwips);

} // namespace dialoglayout

/// @brief A small dialog without an owner that opens centred over the window
/// that opened it (the options dialog, the BODY tag editor, the about box).
class CentredDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CentredDialog(QWidget *centreOver) : QDialog(nullptr), m_centreOver(centreOver) {}

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPointer<QWidget> m_centreOver;
};
