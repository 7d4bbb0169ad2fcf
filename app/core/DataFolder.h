#pragma once
// Where the chord base, the user file and the settings live: beside the program when that folder
// is writable (a portable copy), else in the user's data folder.
#include <QString>

namespace DataFolder {

inline const QString ChordBaseName = QStringLiteral("veltrasomin_chords.ini");
inline const QString UserFileName = QStringLiteral("user_chords.ini");
inline const QString SettingsName = QStringLiteral("veltrasomin_settings.ini");

// xdgDataHome is $XDG_DATA_HOME, or empty for ~/.local/share. The result ends with "/"; the
// folder exists unless it could not be created.
QString ChooseDataFolder(const QString &executableFolder, const QString &xdgDataHome, const QString &home);

// The same from the running program's folder and environment.
QString ChooseDataFolder();

bool IsWritableFolder(const QString &folder);

} // namespace DataFolder
