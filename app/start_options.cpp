// marvo's command line; the start from the desktop finds the installed library and sample games.
#include "start_options.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "game/installed_data.h"
#include "marvo_version.h"
#include "player/main_window.h"

namespace marvo {
namespace {

constexpr const char* kDesktopOption = "--desktop";

std::filesystem::path toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The installed sample games, found from where this program lies (any installation prefix).
QString installedGames() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                         QStringLiteral(MARVO_GAMES_FROM_BINDIR));
}

}  // namespace

std::optional<int> answerInfoOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("marvo (Marvo IF) %s\n", MARVO_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "usage: marvo [--desktop] [SCENARIO]\n"
          "Opens the main game window of Marvo IF; a SCENARIO (.scn) is opened and started.\n"
          "The library marvo.lib is read from the current directory.\n"
          "  --desktop   started from the desktop menu or a file manager: when the current\n"
          "              directory has no marvo.lib, work in the scenario's directory when it\n"
          "              has one, else in the per-user folder, and read the installed library\n"
          "  --version   print the version\n"
          "  --help      print this help\n");
      return 0;
    }
  }
  return std::nullopt;
}

QString prepareStart(const QStringList& arguments, MainWindow& mainWindow) {
  QStringList rest = arguments.mid(1);
  const bool fromDesktop = rest.removeAll(QLatin1String(kDesktopOption)) > 0;
  QString scenario = rest.size() == 1 ? rest.front() : QString();
  if (!fromDesktop) return scenario;

  // Absolute before the current folder may change.
  if (!scenario.isEmpty()) scenario = QFileInfo(scenario).absoluteFilePath();
  const QString games = installedGames();
  const QString userDir =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/marvo");
  const DesktopStartPlan plan =
      planDesktopStart(std::filesystem::current_path(), toPath(scenario), toPath(userDir), toPath(games));
  if (!plan.workDir.empty()) QDir::setCurrent(QFile::decodeName(plan.workDir.c_str()));
  mainWindow.setLibraryFallback(plan.libraryFallback);

  // "Open File" starts among the installed games, on the first of them.
  const QStringList samples = QDir(games).entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name);
  if (!samples.isEmpty()) mainWindow.offerScenario(games + QLatin1Char('/') + samples.front());
  return scenario;
}

}  // namespace marvo
