// SPDX-License-Identifier: MIT
#pragma once

class ClipboardKeeper;
struct CommandLine;
struct Services;

/// @brief `vandrel --pick`: the eyedropper over the screen as it is, with no
/// main window. A pick prints the code in the form the command line asks for
/// and adds the colour to the recent colours, the only setting it writes;
/// with a @p keeper the code also stays on the clipboard.
///
/// Returns the program's exit status: 0 picked, 1 cancelled, 2 the screen
/// could not be read or the code could not be printed or kept on the
/// clipboard (the reason on standard error).
int RunPickCommand(Services &services, const CommandLine &command, ClipboardKeeper *keeper);
