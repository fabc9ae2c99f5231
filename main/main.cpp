// SPDX-License-Identifier: MIT
// Vandrel: makes HTML colour codes.

#include "common/appinfo.h"
#include "common/fonts.h"
#include "common/messagebox.h"
#include "main/clipboard.h"
#include "main/colourchooser.h"
#include "main/frmmain.h"
#include "main/platformchoice.h"
#include "main/preload.h"
#include "main/settingsstore.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QFont>
#include <memory>

int main(int argc, char *argv[])
{
    const DesktopEnvironment desktop = DesktopEnvironment::current();
    if (const QByteArray platform = ChooseQtPlatform(desktop); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    // Fonts and image plugins get ready while the application object
    // connects to the display and the window builds its toolbar and menus.
    StartUpPreload preload;
    QApplication app(argc, argv);
    preload.applicationStarted();
    QApplication::setApplicationName(appinfo::Name());
    QApplication::setApplicationVersion(appinfo::VersionText());
    QApplication::setDesktopFileName(appinfo::AppId());

    QApplication::setFont(MappedFont(kPGothicName, 9));

    settings::IniFileStore store;
    DialogColourChooser chooser;
    SystemClipboard clipboard;
    const std::unique_ptr<ScreenCapture> capture =
        desktop.isWayland() ? CreatePortalScreenCapture() : CreateScreenCapture();
    Services services{&store, &chooser, &clipboard, capture.get(), StandardFeedback()};

    FrmMain window(services);
    window.startUp();
    // Done by now: the window's text needed the font database.
    preload.wait();
    window.show();
    return QApplication::exec();
}
