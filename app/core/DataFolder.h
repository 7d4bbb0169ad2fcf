#pragma once
// Where the chord base, the user file and the settings live: beside the program when that folder
// is writable and not an installed program's (a portable copy), else in the user's data folder.
#include <QString>
#include <functional>

namespace DataFolder {

inline const QString ChordBaseName = QStringLiteral("veltrasomin_chords.ini");
inline const QString UserFileName = QStringLiteral("user_chords.ini");
inline const QString SettingsName = QStringLiteral("veltrasomin_settings.ini");

bool IsWritableFolder(const QString &folder);

// True for a program installed system-wide or into a prefix (a bin folder, /usr, /opt), unless
// its folder already holds the user file or the settings of an earlier start.
bool IsInstalledFolder(const QString &executableFolder);

// xdgDataHome is $XDG_DATA_HOME; empty or relative means ~/.local/share. The result ends with "/"; the
// folder exists unless it could not be created. isWritable tells whether the program may keep
// its files beside itself.
QString ChooseDataFolder(const QString &executableFolder, const QString &xdgDataHome, const QString &home,
                         const std::function<bool(const QString &)> &isWritable = IsWritableFolder);

// $HOME when it names a folder, else the home the user database gives.
QString UserHome();

// The same from the running program's folder and environment.
QString ChooseDataFolder();

} // namespace DataFolder
