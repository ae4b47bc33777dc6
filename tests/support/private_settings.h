// Keeps a test program's settings, recent files and recovery files out of the user's own folders.
#pragma once

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtGlobal>

namespace marvo::test {

// Points the user's configuration and data folders into a scratch folder that lives as long as
// the program. Call it first in main (or in the test class's initMain), before the application
// object and before any setting is read.
inline void usePrivateSettings() {
  static QTemporaryDir home;
  if (!home.isValid()) qFatal("usePrivateSettings: no scratch folder");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
}

// Whether the settings and data folders are not the user's own (usePrivateSettings, a scratch
// XDG folder given by the caller, or Qt's test mode).
inline bool settingsArePrivate() {
  const QString home = QDir::homePath();
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) != home + QStringLiteral("/.config") &&
         QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) !=
             home + QStringLiteral("/.local/share");
}

}  // namespace marvo::test
