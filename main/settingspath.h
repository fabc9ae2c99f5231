// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

/// @brief Inner workings of the settings store that its tests reach directly.
///
/// Only main/settingsstore.cpp and the tests include this header; the windows
/// use main/settingsstore.h.
namespace settings::detail {

/// @brief Picks the settings file: @p exeDir + "/Config.ini" when that folder
/// can hold it, otherwise Config.ini in @p fallbackDir.
///
/// The executable's folder can hold the file when it is a writable folder and
/// Config.ini in it is either absent or a writable regular file. A writable
/// folder is needed even for an existing file, because every write replaces
/// the file through a temporary file beside it. An empty @p fallbackDir (no
/// per-user folder known) keeps the executable's folder.
QString ChooseConfigFile(const QString &exeDir, const QString &fallbackDir);

/// @brief Called by a write after the new contents are complete in the
/// temporary file and just before that file replaces the settings file.
/// Returning false abandons the write. Tests use it to interrupt a writer at
/// its most delicate moment; an empty function (the default) does nothing.
void SetBeforeReplaceHook(std::function<bool()> hook);

} // namespace settings::detail
