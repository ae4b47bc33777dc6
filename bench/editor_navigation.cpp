// Benchmark of the code editor on a 90,000-line scenario: opening it, the line operations, F1, the
// jump list, the search, Enter with keyword normalisation and "_" with the object lookup.
#include <algorithm>
#include <ctime>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "bench/bench_util.h"
#include "editor/code_editor_window.h"
#include "editor/outline_panel.h"
#include "editor_scenario.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"

using marvo::bench::medianMs;
using marvo::bench::report;

namespace {
// Process CPU time in milliseconds: on a busy machine it shows what the editor itself spends.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::vector<double> cpuSamples;

// Like medianMs, and records the median CPU time of the same runs for printCpu().
double timed(int runs, const std::function<void()>& body) {
  std::vector<double> cpu;
  const double wall = medianMs(runs, [&] {
    const double start = cpuMs();
    body();
    cpu.push_back(cpuMs() - start);
  });
  std::sort(cpu.begin(), cpu.end());
  cpuSamples = cpu;
  return wall;
}

void printCpu() {
  if (!cpuSamples.empty()) std::printf("    cpu median %.2f ms\n", cpuSamples[cpuSamples.size() / 2]);
  cpuSamples.clear();
}

// A figure without a limit of its own: printed like report() but never failing the run.
void info(const char* name, double median) { std::printf("%-60s median %12.2f ms  (for information)\n", name, median); }

void placeCaretAtEnd(QPlainTextEdit* edit, int line) {
  QTextCursor cursor(edit->document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::EndOfBlock);
  edit->setTextCursor(cursor);
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const auto path = marvo::bench::writeEditorScenario(dir.path().toStdString());

  marvo::ScriptedDialogs dialogs;
  marvo::ScenarioDocument document;
  marvo::CodeEditorWindow editor(document, dialogs);
  editor.show();
  if (!QTest::qWaitForWindowActive(&editor)) std::printf("warning: the editor window did not become active\n");
  bool ok = true;

  // Opening: "Open File" in the main window reads the file into the scenario document while the editor is hidden;
  // the lines are coloured when the editor is shown. Opening with the editor shown colours at once.
  std::vector<std::string> scenario;
  auto readIntoEditor = [&] {
    auto read = marvo::readScenarioFile(path);
    if (!read.error.empty()) throw std::runtime_error(read.error);
    editor.document().setLines(read.lines);
    QCoreApplication::processEvents();
    scenario = std::move(read.lines);
  };
  const double openShown = timed(5, readIntoEditor);
  if (editor.document().lineCount() != marvo::bench::kEditorScenarioLines) {
    std::printf("error: %d lines in the editor\n", editor.document().lineCount());
    return 1;
  }
  ok &= report("open a 90,000-line scenario, editor shown (read, convert, colour)", openShown, 500, "ms");
  printCpu();
  ok &= report("lines() of 90,000 lines", timed(9, [&] { (void)editor.document().lines(); }), 100, "ms");
  printCpu();
  info("insertLine in the middle", timed(21, [&] { editor.document().insertLine(45000, "x"); }));
  printCpu();
  info("replaceLine in the middle", timed(21, [&] { editor.document().replaceLine(45000, "y"); }));
  printCpu();
  editor.document().setLines(scenario);

  // F1 alternates: a press that goes to the common location (the text's last lines) searches for
  // it; the press after it goes back to line 0. Only the searching presses are counted.
  editor.scenarioView()->setFocus();
  placeCaretAtEnd(editor.scenarioView(), 0);
  std::vector<double> toCommon, toCommonCpu;
  for (int i = 0; i < 18; ++i) {
    const double ms = timed(1, [&] { QTest::keyClick(editor.scenarioView(), Qt::Key_F1); });
    if (editor.firstVisibleLine() > 0) {
      toCommon.push_back(ms);
      toCommonCpu.push_back(cpuSamples.at(0));
    }
  }
  std::sort(toCommon.begin(), toCommon.end());
  std::sort(toCommonCpu.begin(), toCommonCpu.end());
  ok &= report("F1 to the common location", toCommon.at(toCommon.size() / 2), 50, "ms");
  cpuSamples = toCommonCpu;
  printCpu();

  const double jumpList = timed(9, [&] {
    editor.scenarioView()->setFocus();
    editor.locationBox()->setFocus();
  });
  ok &= report("jump list rebuild (focus into the list)", jumpList, 50, "ms");
  printCpu();
  std::printf("  (%d locations listed)\n", editor.locationBox()->count());

  editor.searchField()->setText(QStringLiteral("RETURN"));
  editor.searchField()->setFocus();
  const double search = timed(9, [&] {
    editor.scrollToLine(0);
    QTest::keyClick(editor.searchField(), Qt::Key_Return);
  });
  ok &= report("search to the last line", search, 50, "ms");
  printCpu();

  editor.scenarioView()->setFocus();
  int line = 30001;
  const double enter = timed(21, [&] {
    editor.document().replaceLine(line, "goto loc5 if rnd>50 return");
    placeCaretAtEnd(editor.scenarioView(), line);
    line += 3;
    QTest::keyClick(editor.scenarioView(), Qt::Key_Return);
  });
  ok &= report("Enter with keyword normalisation", enter, 5, "ms");
  printCpu();

  line = 60001;
  std::vector<double> underscore;
  for (int i = 0; i < 21; ++i) {
    editor.document().replaceLine(line, "IF item19");  // declared on the last line of the head
    placeCaretAtEnd(editor.scenarioView(), line);
    line += 3;
    underscore.push_back(timed(1, [&] { QTest::keyClick(editor.scenarioView(), '_'); }));
    if (!editor.propertyPopup()->isVisible()) {
      std::printf("error: the property list did not open\n");
      return 1;
    }
    QTest::keyClick(editor.propertyPopup(), Qt::Key_Right);
  }
  std::sort(underscore.begin(), underscore.end());
  ok &= report("\"_\" with the object lookup", underscore[underscore.size() / 2], 5, "ms");

  // Go to definition (F12) and find references (Shift+F12) from "GOTO loc3001" in the middle of
  // the text, on the symbol index the document keeps.
  {
    const auto lines = editor.document().lines();  // earlier steps inserted lines: look the line up
    const int gotoLine = static_cast<int>(std::find(lines.begin(), lines.end(), "GOTO loc3001") - lines.begin());
    dialogs.messages.clear();
    info("outline of 6,000 locations rebuilt", timed(5, [&] { editor.outlinePanel()->rebuild(); }));
    printCpu();
    auto caretOnName = [&] {
      QTextCursor cursor(editor.scenarioView()->document()->findBlockByNumber(gotoLine));
      cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 7);
      editor.scenarioView()->setTextCursor(cursor);
    };
    bool found = true;
    const double definition = timed(21, [&] {
      caretOnName();
      found &= editor.goToDefinition();
    });
    ok &= report("go to definition (F12), 90,000 lines", definition, 20, "ms");
    printCpu();
    const double references = timed(21, [&] {
      caretOnName();
      editor.findReferences();
    });
    ok &= report("find references (Shift+F12), 90,000 lines", references, 20, "ms");
    printCpu();
    if (!found || editor.scenarioView()->textCursor().blockNumber() != gotoLine || dialogs.messages.size() != 0) {
      std::printf("error: go to definition or references did not find loc3001 (line \"%s\", %d messages)\n",
                  editor.document().line(gotoLine).c_str(), static_cast<int>(dialogs.messages.size()));
      ok = false;
    }
  }

  std::vector<double> hiddenThenShown, hiddenOnly, hiddenCpu, shownCpu;
  for (int i = 0; i < 5; ++i) {
    editor.hide();
    editor.document().clearText();
    const double open = timed(1, readIntoEditor);
    const double openCpu = cpuSamples.at(0);
    const double show = timed(1, [&] {
      editor.show();
      QCoreApplication::processEvents();
    });
    hiddenOnly.push_back(open);
    hiddenThenShown.push_back(open + show);
    hiddenCpu.push_back(openCpu);
    shownCpu.push_back(openCpu + cpuSamples.at(0));
  }

  std::sort(hiddenOnly.begin(), hiddenOnly.end());
  std::sort(hiddenThenShown.begin(), hiddenThenShown.end());
  std::sort(hiddenCpu.begin(), hiddenCpu.end());
  std::sort(shownCpu.begin(), shownCpu.end());
  ok &= report("open with the editor hidden (read, convert)", hiddenOnly[2], 500, "ms");
  std::printf("    cpu median %.2f ms\n", hiddenCpu[2]);
  ok &= report("open hidden, then show the editor (colouring every line)", hiddenThenShown[2], 500, "ms");
  std::printf("    cpu median %.2f ms\n", shownCpu[2]);
  // Filling the document is QTextDocument's own per-line work; colouring adds to it when shown.
  info("setLines(90,000 lines), editor shown", timed(5, [&] { editor.document().setLines(scenario); }));
  printCpu();
  editor.hide();
  info("setLines(90,000 lines), editor hidden", timed(5, [&] { editor.document().setLines(scenario); }));
  printCpu();

  return ok ? 0 : 1;
}
