// SPDX-License-Identifier: MIT
#include "main/settingspath.h"
#include "main/settingsstore.h"

#include "common/appinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    // NOTE: Without a per-user folder the per-user file has no path: reads
    // then go to the file beside the program, and writes fail and say so.
    const QString perUser = userDir.isEmpty() ? QString() : userDir + QStringLiteral("/Config.ini");
    // NOTE: An installed program never writes into a system folder, even
    // where it could (as root).
    if (SameFolder(exeDir, installDir))
        return {perUser, {}};
    if (FolderCanHold(exeDir, besideProgram))
        return {besideProgram, {}};
    return {perUser, besideProgram};
}

QString UserConfigFolder(const QString &xdgConfigHome, const QString &home)
{
    // NOTE: Qt's own per-user folder would take a relative XDG_CONFIG_HOME
    // as it is (a folder below wherever the program was started) and, without
    // HOME, the root folder's /.config.
    QString base;
    if (QDir::isAbsolutePath(xdgConfigHome))
        base = xdgConfigHome;
    else if (QDir::isAbsolutePath(home))
        base = home + QStringLiteral("/.config");
    else
        return {};
    return QDir::cleanPath(base + u'/' + appinfo::Name());
}

} // namespace detail

ConfigFile ConfigFileLocation()
{
    return detail::ChooseConfigFile(
        QCoreApplication::applicationDirPath(),
        detail::UserConfigFolder(qEnvironmentVariable("XDG_CONFIG_HOME"),
                                 qEnvironmentVariable("HOME")),
        QStringLiteral(VANDREL_INSTALL_BINDIR));
}

} // namespace settings
