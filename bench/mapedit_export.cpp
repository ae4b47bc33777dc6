// Benchmark: "Export map" of a full map into the code editor, line breaking included (offscreen).
#include <QAction>
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/bench_util.h"
#include "bench/mapedit_loaded_window.h"
#include "editor/code_editor_window.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "mapedit/map_editor_window.h"
#include "mapedit/map_export.h"
#include "mapedit/map_file.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  marvo::ScriptedDialogs dialogs;
  marvo::ScenarioDocument document;
  marvo::CodeEditorWindow editor(document, dialogs);
  marvo::MapEditorWindow window(document, dialogs);
  if (!marvo::bench::loadFullMap(window, dialogs, "marvo_bench_mapedit_export")) return 1;

  // For the breakdown: the export alone, and handing its lines to the code editor.
  std::vector<std::string> lines;
  const double coreMs =
      marvo::bench::medianMs(9, [&] { lines = marvo::mapedit::exportMap(window.map(), window.exportOptions()).lines; });
  const double handOverMs = marvo::bench::medianMs(9, [&] { document.setLines(lines); });
  const double exportMs = marvo::bench::medianMs(9, [&] { window.exportAction()->trigger(); });
  // The first export into an editor holding another text makes every line of the document anew.
  std::vector<double> intoOther;
  for (int i = 0; i < 5; ++i) {
    document.setLines({"x"});
    intoOther.push_back(marvo::bench::medianMs(1, [&] { window.exportAction()->trigger(); }));
  }
  std::sort(intoOther.begin(), intoOther.end());
  std::printf(
      "exported %d lines: export alone %.2f ms, ScenarioDocument::setLines %.2f ms, into an editor holding another "
      "text %.2f ms\n",
      document.lineCount(), coreMs, handOverMs, intoOther[intoOther.size() / 2]);
  if (document.lineCount() < 9801 * 10 || dialogs.messages.isEmpty() ||
      dialogs.messages.back() != QStringLiteral("Export map OK")) {
    std::fputs("bench_mapedit_export: the export did not reach the code editor\n", stderr);
    return 1;
  }
  return marvo::bench::report("export a full map into the code editor (again)", exportMs, 300, "ms") ? 0 : 1;
}
