// SPDX-License-Identifier: MIT
#include "common/dialoglayout.h"

#include "common/fonts.h"
#include "common/twips.h"

#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

#include <algorithm>

namespace dialoglayout {

void CentreOver(QWidget *window, const QWidget *anchor)
{
    if (!window)
        return;
    QScreen *screen = nullptr;
    QPoint centre;
    if (anchor && anchor->isVisible()) {
        const QRect area = anchor->frameGeometry();
        centre = area.center();
        screen = anchor->screen();
    } else {
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        centre = screen->availableGeometry().center();
    }
    const QSize size = window->frameGeometry().size();
    QPoint topLeft(centre.x() - size.width() / 2, centre.y() - size.height() / 2);
    if (screen) {
        // NOTE: a main window near a screen edge would push half of the box
        // off the screen; keep it where it can be seen and closed.
        const QRect available = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), available.left(),
                                std::max(available.left(), available.right() - size.width() + 1)));
        topLeft.setY(std::clamp(topLeft.y(), available.top(),
                                std::max(available.top(), available.bottom() - size.height() + 1)));
    }
    window->move(topLeft);
}

void SetUpToolWindow(QDialog *dialog, const QString &name, const QString &title, int widthTwips,
                     int heightTwips)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFont(MappedFont(kPGothicName, 9));
    dialog->setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
}

} // namespace dialoglayout

void CentredDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        dialoglayout::CentreOver(this, m_centreOver);
    QDialog::showEvent(event);
}
