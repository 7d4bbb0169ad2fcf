#include "app/core/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>

namespace DataFolder {

bool IsWritableFolder(const QString &folder)
{
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

bool IsInstalledFolder(const QString &executableFolder)
{
    // A copy that already keeps its files there goes on with them, wherever it lies.
    const QDir dir(executableFolder);
    if (dir.exists(UserFileName) || dir.exists(SettingsName))
        return false;
    // Installed programs share their folder with others and outlive an uninstall badly: a prefix's
    // bin folder, or anything the system's packages own.
    const QString path = QDir::cleanPath(executableFolder);
    return dir.dirName() == QStringLiteral("bin") || path.startsWith(QStringLiteral("/usr/")) ||
           path.startsWith(QStringLiteral("/opt/"));
}

QString ChooseDataFolder(const QString &executableFolder, const QString &xdgDataHome, const QString &home,
                         const std::function<bool(const QString &)> &isWritable)
{
    QString folder;
    if (isWritable(executableFolder) && !IsInstalledFolder(executableFolder)) {
        folder = executableFolder;
    } else {
        // A relative path there is no path at all, as the desktop's folder rules have it.
        const QString base =
            QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
        folder = base + QStringLiteral("/vexo-veltrasomin");
        QDir().mkpath(folder);
    }
    folder = QDir::cleanPath(folder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString UserHome()
{
    // Without $HOME the toolkit names "/" as home, where the files could not be kept; a program
    // started from a service or a bare environment still has the user's own home.
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return QFile::decodeName(user->pw_dir);
    return QDir::rootPath();
}

QString ChooseDataFolder()
{
    return ChooseDataFolder(QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_DATA_HOME"),
                            UserHome());
}

} // namespace DataFolder
