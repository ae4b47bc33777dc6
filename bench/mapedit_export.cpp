// Benchmark: "Export map" of a full map into the code editor, line breaking included (offscreen).
#include <QAction>
#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "bench/bench_util.h"
#include "bench/mapedit_full_map.h"
#include "editor/TForm2.h"
#include "gui/dialogs.h"
#include "mapedit/TMap.h"
#include "mapedit/map_export.h"
#include "mapedit/map_file.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "marvo_bench_mapedit_export";
  fs::create_directories(dir);
  const fs::path file = dir / "full.map";
  if (auto error = marvo::mapedit::saveMapFile(file, marvo::bench::fullMap())) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return 1;
  }

  marvo::ScriptedDialogs dialogs;
  TForm2 editor(dialogs);
  TMap window(editor, dialogs);
  dialogs.fileAnswers.push_back(QString::fromStdString(file.string()));
  window.Loadfile1->trigger();
  fs::remove_all(dir);

  // For the breakdown: the export alone, and handing its lines to the code editor.
  std::vector<std::string> lines;
  const double coreMs = marvo::bench::medianMs(
      9, [&] { lines = marvo::mapedit::exportMap(window.map(), window.exportOptions()).lines; });
  const double handOverMs = marvo::bench::medianMs(9, [&] { editor.setLines(lines); });
  const double exportMs = marvo::bench::medianMs(9, [&] { window.Savescenary1->trigger(); });
  std::printf("exported %d lines: export alone %.2f ms, TForm2::setLines %.2f ms\n", editor.lineCount(),
              coreMs, handOverMs);
  if (editor.lineCount() < 9801 * 10 || dialogs.messages.isEmpty() ||
      dialogs.messages.back() != QStringLiteral("Export map OK")) {
    std::fputs("bench_mapedit_export: the export did not reach the code editor\n", stderr);
    return 1;
  }
  return marvo::bench::report("export a full map into the code editor", exportMs, 300, "ms") ? 0 : 1;
}
