// SPDX-License-Identifier: MIT
// Vandrel: makes HTML colour codes.

#include "common/appinfo.h"
#include "common/fonts.h"
#include "common/messagebox.h"
#include "main/clipboard.h"
#include "main/clipboardkeeper.h"
#include "main/colourchooser.h"
#include "main/commandline.h"
#include "main/frmmain.h"
#include "main/pickcommand.h"
#include "main/platformchoice.h"
#include "main/preload.h"
#include "main/settingsstore.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(command.text.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "vandrel: %s\nTry 'vandrel --help' for more information.\n",
                     command.text.toLocal8Bit().constData());
        return kUsageExit;
    case CommandLine::Action::Window:
    case CommandLine::Action::Pick:
        break;
    }
    const bool pick = command.action == CommandLine::Action::Pick;

    const DesktopEnvironment desktop = DesktopEnvironment::current();
    if (pick && !desktop.hasDisplay()) {
        std::fputs("vandrel: the screen could not be read: no display\n", stderr);
        return 2;
    }
    if (const QByteArray platform = ChooseQtPlatform(desktop); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    // Forked before any thread exists.
    const std::unique_ptr<ClipboardKeeper> keeper =
        pick && command.copy ? ClipboardKeeper::Start() : nullptr;
    // NOTE: by default a native widget makes its siblings native too. The
    // eyedropper's loupe is one; the frozen picture beside it, where the
    // window paints it itself, would then become a native window that takes
    // the pointer from the eyedropper window.
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication app(argc, argv);
    // Fonts and image plugins get ready while the window builds its toolbar
    // and menus.
    // NOTE: Only now: the application object's constructor sets the C
    // library's locale and may remove DESKTOP_STARTUP_ID from the
    // environment, and no other thread may read either meanwhile, as the
    // font configuration does. Made after the application object, the worker
    // is joined before that goes, however main() ends.
    StartUpPreload preload;
    QApplication::setApplicationName(appinfo::Name());
    QApplication::setApplicationVersion(appinfo::VersionText());
    QApplication::setDesktopFileName(appinfo::AppId());
    // Qt's own dialogs and context menus speak Japanese like the program.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtJapanese);

    QApplication::setFont(MappedFont(kPGothicName, 9));

    settings::IniFileStore store;
    DialogColourChooser chooser;
    SystemClipboard clipboard;
    const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture(desktop);
    Services services{&store, &chooser, &clipboard, capture.get(), StandardFeedback()};

    if (pick) {
        preload.wait();
        if (command.copy && !keeper) {
            std::fputs("vandrel: the clipboard could not be kept\n", stderr);
            return 2;
        }
        return RunPickCommand(services, command, keeper.get());
    }
    FrmMain window(services);
    window.startUp();
    // Done by now: the window's text needed the font database.
    preload.wait();
    window.show();
    return QApplication::exec();
}
