// SPDX-License-Identifier: MIT
#pragma once

#include "main/settingsstore.h"

#include <QString>
#include <functional>

/// @brief Inner workings of the settings store that its tests reach directly.
///
/// Only main/settingsstore.cpp and the tests include this header; the windows
/// use main/settingsstore.h.
namespace settings::detail {

/// @brief Picks the settings file for a program in @p exeDir.
///
/// - @p exeDir is @p installDir (the folder the program is installed to):
///   Config.ini in @p userDir, without a seed, even if @p exeDir is writable.
/// - @p exeDir can hold Config.ini: the file there.
/// - Otherwise Config.ini in @p userDir, seeded from the one in @p exeDir.
///
/// The executable's folder can hold the file when it is a writable folder and
/// Config.ini in it is either absent or a writable regular file. A writable
/// folder is needed even for an existing file, because every write replaces
/// the file through a temporary file beside it. An empty @p userDir (no
/// per-user folder known) gives an empty path where the per-user file would
/// be needed, with the file beside the program as seed; an empty
/// @p installDir matches no folder.
ConfigFile ChooseConfigFile(const QString &exeDir, const QString &userDir,
                            const QString &installDir);

/// @brief The per-user folder of the settings file, from the environment's
/// XDG_CONFIG_HOME and HOME: "Vandrel" in the first of $XDG_CONFIG_HOME and
/// $HOME/.config that is an absolute path (a relative one is ignored, as the
/// XDG rules say). Empty when neither is: there is no per-user folder.
QString UserConfigFolder(const QString &xdgConfigHome, const QString &home);

/// @brief Called by a write after the new contents are complete in the
/// temporary file and just before that file replaces the settings file.
/// Returning false abandons the write. Tests use it to interrupt a writer at
/// its most delicate moment; an empty function (the default) does nothing.
void SetBeforeReplaceHook(std::function<bool()> hook);

} // namespace settings::detail
