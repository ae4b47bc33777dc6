// Opening scenarios that strain the code editor, with the editor shown: one line of 1 MB (at most
// 2 s), and a scenario of 50 MB (at most 6 s and 800 MB peak memory). Each case runs in a process
// of its own ("bench_long_lines line" / "bench_long_lines large"), so that the peak is its own.
#include <sys/resource.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_util.h"
#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/engine.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "player/main_window.h"

namespace {

using namespace marvo::literals;

// One location with a comment line of `size` bytes of words (the code editor's text area lays it
// out; the game does not print it).
std::string oneLongLine(std::size_t size) {
  std::string text(":loc1\r\n!Комната.\r\n* "_w);
  const std::string_view word = "слово "_w;
  while (text.size() < size) text += word;
  text += "\r\nREAD\r\n:common\r\nRETURN\r\n";
  return text;
}

// Locations with long descriptions up to `size` bytes: about 87,000 lines, within the 90,000 lines
// a program may have, so that the game starts as well.
std::string largeScenario(std::size_t size) {
  std::string description;
  while (description.size() < 4000) description += std::string("Старые карты забытых королевств на стенах. "_w);
  std::string text;
  text.reserve(size + 4000);
  for (int loc = 0; text.size() < size; ++loc) {
    const std::string n = std::to_string(loc);
    text += ":loc" + n + "\r\n";
    text += "!" + n + " " + description + "\r\n";
    text += std::string("@На север\r\n"_w);
    text += "TALK north\r\nGOTO loc" + std::to_string(loc + 1) + "\r\nREDO\r\nREAD\r\n";
  }
  text += ":common\r\nRETURN\r\n";
  return text;
}

double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// "Open File" of `content` in the program's windows, then the code editor shown and painted.
int openAndShow(const char* name, const std::string& content, double limitMs, double limitMb) {
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  marvo::replaceFile("marvo.lib", "");
  if (auto error = marvo::replaceFile("bench.scn", content)) {
    std::printf("cannot write the scenario: %s\n", error->c_str());
    return 1;
  }
  marvo::Engine engine;
  marvo::ScriptedDialogs dialogs;
  marvo::ScenarioDocument document;
  auto mainWindow = std::make_unique<marvo::MainWindow>(engine, document, dialogs);
  auto* codeEditor = new marvo::CodeEditorWindow(document, dialogs, mainWindow.get());
  auto* libraryEditor = new marvo::LibraryEditorWindow(dialogs, mainWindow.get());
  mainWindow->attachWindows(*codeEditor, *new QDialog(mainWindow.get()), *libraryEditor);
  mainWindow->show();
  QCoreApplication::processEvents();
  const double before = peakMegabytes();

  const double cpuStart = cpuMs();
  const auto start = std::chrono::steady_clock::now();
  mainWindow->openScenario(QStringLiteral("bench.scn"));
  if (qEnvironmentVariableIsSet("BENCH_STEPS"))
    std::printf("  opened in %.0f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  codeEditor->show();
  if (qEnvironmentVariableIsSet("BENCH_STEPS"))
    std::printf("  shown after %.0f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  codeEditor->scenarioView()->repaint();
  QCoreApplication::processEvents();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  bool ok = codeEditor->document().lineCount() > 0 && dialogs.messages.isEmpty();
  if (!ok) std::printf("%s: the scenario did not open cleanly\n", name);
  // On a machine shared with other work the wall time grows; the processor time shows the cost.
  std::printf("%s: %.1f MB file, peak before opening %.0f MB, processor time %.0f ms\n", name,
              static_cast<double>(content.size()) / 1e6, before, cpuMs() - cpuStart);
  ok &= marvo::bench::report("  open and show in the code editor", ms, limitMs, "ms");
  ok &= marvo::bench::report("  peak memory of the process", peakMegabytes(), limitMb, "MB");
  codeEditor->hide();
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // "Open File" records a recent file: keep it out of the user's settings.
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() == 2 && args[1] == QStringLiteral("line"))
    return openAndShow("one line of 1 MB", oneLongLine(1'000'000), 2000, 800);
  if (args.size() == 2 && args[1] == QStringLiteral("large"))
    return openAndShow("scenario of 50 MB", largeScenario(50'000'000), 6000, 800);
  // Each case in a fresh process.
  int status = 0;
  for (const QString& which : {QStringLiteral("line"), QStringLiteral("large")}) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {which});
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) status = 1;
  }
  return status;
}
