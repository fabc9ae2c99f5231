// SPDX-License-Identifier: MIT
#include "main/commandline.h"

#include "common/appinfo.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

const QString kHelp = uR"(Usage: vandrel [OPTION]...
Make HTML colour codes. Without options, open the main window.

      --pick         pick a colour from the screen with the eyedropper, print
                       its code and exit; no main window is shown
      --format TEXT  the form of the code, as the attribute box of the main
                       window takes it: なし (the bare #RRGGBB, the default),
                       an attribute name (BGCOLOR gives BGCOLOR="#RRGGBB"),
                       or another form the box lists
      --lower        the code in lower case
      --copy         also put the code on the clipboard, where it stays after
                       vandrel has ended until another program takes the
                       clipboard (30 minutes at most)
  -h, --help         display this help and exit
      --version      output version information and exit

Exit status: 0 a colour was picked; 1 the pick was cancelled with Esc;
2 the screen could not be read, the code could not be printed or kept on the
clipboard, or the options were wrong.
)"_s;

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(u"version"_s);
    const QCommandLineOption pick(u"pick"_s);
    const QCommandLineOption format(u"format"_s, QString(), u"TEXT"_s);
    const QCommandLineOption lower(u"lower"_s);
    const QCommandLineOption copy(u"copy"_s);
    parser.addOptions({help, version, pick, format, lower, copy});

    CommandLine command;
    const auto error = [&command](const QString &text) {
        command.action = CommandLine::Action::Error;
        command.text = text;
        return command;
    };
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(help)) {
        command.action = CommandLine::Action::Help;
        command.text = kHelp;
        return command;
    }
    if (parser.isSet(version)) {
        command.action = CommandLine::Action::Version;
        command.text =
            u"vandrel (%1) %2\nCopyright (C) 2026 Vandrel developers.\nLicense: MIT.\n"_s.arg(
                appinfo::Name(), appinfo::VersionText());
        return command;
    }
    if (!parser.positionalArguments().isEmpty())
        return error(u"unexpected argument '%1'."_s.arg(parser.positionalArguments().front()));
    if (parser.isSet(pick)) {
        command.action = CommandLine::Action::Pick;
        if (parser.isSet(format))
            command.format = parser.value(format);
        command.lower = parser.isSet(lower);
        command.copy = parser.isSet(copy);
    } else if (parser.isSet(format) || parser.isSet(lower) || parser.isSet(copy)) {
        return error(u"--format, --lower and --copy go with --pick."_s);
    }
    return command;
}
