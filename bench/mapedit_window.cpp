// Benchmark: opening the map editor on a full map and scrolling the whole grid (offscreen, painted).
#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "bench/bench_util.h"
#include "bench/mapedit_loaded_window.h"
#include "editor/code_editor_window.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "mapedit/map_editor_window.h"
#include "mapedit/map_file.h"
#include "mapedit/map_grid_view.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  marvo::ScriptedDialogs dialogs;
  marvo::ScenarioDocument document;
  marvo::CodeEditorWindow editor(document, dialogs);
  marvo::MapEditorWindow window(document, dialogs);
  if (!marvo::bench::loadFullMap(window, dialogs, "marvo_bench_mapedit_window")) return 1;
  window.resize(1280, 800);

  // Opening: show, lay out and paint the first screen.
  const double open = marvo::bench::medianMs(9, [&] {
    window.show();
    window.repaint();
    QApplication::processEvents();
    window.hide();
  });

  // Scrolling: one page at a time down the rows, then across the columns, painting every page.
  window.show();
  QApplication::processEvents();
  auto* grid = window.mapGrid();
  std::vector<double> steps;
  int pages = 0;
  const double fullScroll = marvo::bench::medianMs(5, [&] {
    for (auto* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()}) {
      bar->setValue(0);
      for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->pageStep())) {
        const double step = marvo::bench::medianMs(1, [&] {
          bar->setValue(value);
          grid->viewport()->repaint();
        });
        steps.push_back(step);
        ++pages;
      }
    }
  });
  std::sort(steps.begin(), steps.end());
  const double medianStep = steps.empty() ? 0 : steps[steps.size() / 2];
  std::printf("scrolled %d pages in 5 passes\n", pages);

  bool within = marvo::bench::report("open the map editor on a full map (show + paint)", open, 200, "ms");
  within = marvo::bench::report("scroll the full grid once, page by page, painted", fullScroll, 500, "ms") && within;
  within = marvo::bench::report("one page step (scroll + paint)", medianStep, 16, "ms") && within;
  return within ? 0 : 1;
}
