// marvo's command line: --version, --help, and a start from the desktop menu or a file manager.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace marvo {

class MainWindow;

// Answers --version and --help on standard output before any window exists (no display needed).
// Returns the exit status when it answered, else std::nullopt.
std::optional<int> answerInfoOptions(int argc, char** argv);

// Reads "[--desktop] [SCENARIO]". With --desktop (the desktop entry passes it) the program may
// change its current folder and read the installed library while the folder has no "marvo.lib",
// and "Open File" offers the installed sample games. Returns the scenario to open (empty: none).
QString prepareStart(const QStringList& arguments, MainWindow& mainWindow);

}  // namespace marvo
