// SPDX-License-Identifier: MIT
#include "main/pickcommand.h"

#include "common/recentcolours.h"
#include "common/services.h"
#include "common/settingsstore.h"
#include "main/clipboardkeeper.h"
#include "main/clipboardtext.h"
#include "main/commandline.h"
#include "pickers/frmgetcolor.h"
#include "pickers/screencapture.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

void Complain(const char *reason)
{
    std::fprintf(stderr, "vandrel: %s\n", reason);
}

colour::LetterCase LetterCaseOf(const CommandLine &command)
{
    return command.lower ? colour::LetterCase::Lower : colour::LetterCase::Upper;
}

/// Prints the picked code, adds the colour to the recent colours and hands
/// the code to the keeper, if any; gives the command's exit status.
int Deliver(colour::ColourValue picked, Services &services, const CommandLine &command,
            ClipboardKeeper *keeper)
{
    const colour::LetterCase letterCase = LetterCaseOf(command);
    const QString code = colour::ApplyLetterCase(StoredColourCode(picked), letterCase);
    const QByteArray line = (ClipboardText(command.format, code, letterCase) + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain("the code could not be printed");
        return 2;
    }
    RecentColours recent = RecentColours::Read(*services.settings);
    recent.use(picked);
    recent.write(*services.settings);
    if (const settings::WriteResult &unsaved = services.settings->unsaved().pending();
        !unsaved.ok())
        std::fprintf(stderr, "vandrel: the recent colours could not be saved in %s%s%s\n",
                     unsaved.path.toLocal8Bit().constData(), unsaved.error ? ": " : "",
                     unsaved.error ? std::strerror(unsaved.error) : "");
    if (keeper && !keeper->keep(QString::fromUtf8(line.chopped(1)))) {
        Complain("the clipboard could not be kept");
        return 2;
    }
    return 0;
}

} // namespace

int RunPickCommand(Services &services, const CommandLine &command, ClipboardKeeper *keeper)
{
    ScreenCapture::Result shot = services.capture->grab();
    // Esc while the desktop portal was waited for: cancelled, as in the
    // eyedropper.
    if (shot.givenUp)
        return 1;
    if (shot.refused || !shot.picture) {
        Complain("the screen could not be read");
        return 2;
    }
    // The command ends with the eyedropper, not when Qt sees no window left.
    QApplication::setQuitOnLastWindowClosed(false);
    auto *eyedropper = new FrmGetColor(std::move(shot.picture));
    eyedropper->setLetterCase(LetterCaseOf(command));

    std::optional<colour::ColourValue> picked;
    QObject::connect(
        eyedropper, &FrmGetColor::picked, eyedropper,
        [&picked](colour::ColourValue value) { picked = value; }, Qt::DirectConnection);
    // NOTE: queued, so the eyedropper has left the screen before the
    // clipboard is handed over and the command ends.
    QObject::connect(
        eyedropper, &FrmGetColor::closed, qApp,
        [&] {
            // Closed without a pick (Esc): cancelled.
            QCoreApplication::exit(picked ? Deliver(*picked, services, command, keeper) : 1);
        },
        Qt::QueuedConnection);
    eyedropper->showOverDesktop();
    return QApplication::exec();
}
