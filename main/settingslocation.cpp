// SPDX-License-Identifier: MIT
#include "main/settingspath.h"
#include "main/settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

// The folder the install rule puts the program into, set by the build.
#ifndef VANDREL_INSTALL_BINDIR
#define VANDREL_INSTALL_BINDIR ""
#endif

namespace settings {
namespace {

bool FolderCanHold(const QString &folder, const QString &filePath)
{
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir() || !folderInfo.isWritable() || !folderInfo.isExecutable())
        return false;
    const QFileInfo fileInfo(filePath);
    if (!fileInfo.exists())
        return !fileInfo.isSymLink();
    return fileInfo.isFile() && fileInfo.isReadable() && fileInfo.isWritable();
}

// Compares the folders symbolic links resolved, so that /bin is /usr/bin
// where one links to the other.
bool SameFolder(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

namespace detail {

ConfigFile ChooseConfigFile(const QString &exeDir, const QString &userDir,
                            const QString &installDir)
{
    const QString besideProgram = exeDir + QStringLiteral("/Config.ini");
    if (userDir.isEmpty())
        return {besideProgram, {}};
    const QString perUser = userDir + QStringLiteral("/Config.ini");
    // NOTE: An installed program never writes into a system folder, even
    // where it could (as root).
    if (SameFolder(exeDir, installDir))
        return {perUser, {}};
    if (FolderCanHold(exeDir, besideProgram))
        return {besideProgram, {}};
    return {perUser, besideProgram};
}

} // namespace detail

ConfigFile ConfigFileLocation()
{
    return detail::ChooseConfigFile(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        QStringLiteral(VANDREL_INSTALL_BINDIR));
}

} // namespace settings
