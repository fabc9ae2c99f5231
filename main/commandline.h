// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/// @brief What the command line asks for.
struct CommandLine
{
    enum class Action {
        Window,  ///< no options: the main window
        Pick,    ///< --pick: the eyedropper alone, the code printed
        Help,    ///< --help: print text and exit 0
        Version, ///< --version: print text and exit 0
        Error,   ///< a mistake: text on standard error, exit 2
    };
    Action action = Action::Window;
    /// The form of the picked code, as the main window's attribute box takes it.
    QString format = QStringLiteral(u"なし");
    bool lower = false;
    bool copy = false;
    /// The help or version text, or what was wrong.
    QString text;
};

/// Reads @p arguments, the program's name first.
CommandLine ParseCommandLine(const QStringList &arguments);

/// The exit status of a mistake on the command line, as GNU programs use it.
inline constexpr int kUsageExit = 2;
