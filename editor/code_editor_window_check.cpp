// The code editor's checker commands: the problems list, the underlined lines, jumping to a line.
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>

#include "checker/checker.h"
#include "code_editor_window.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "problems_panel.h"
#include "scenario_highlighter.h"

namespace marvo {

namespace {

QList<Problem> problemsOf(const std::vector<check::Diagnostic>& found, std::unordered_map<int, LineProblems>& marks) {
  QList<Problem> out;
  for (const auto& d : found) {
    Problem p;
    p.inScenario = d.source == check::Source::Scenario;
    p.source = p.inScenario ? QStringLiteral("сценарий") : QStringLiteral("marvo.lib");
    p.line = d.line;
    p.severity = d.severity == check::Severity::Error ? Problem::Severity::Error : Problem::Severity::Warning;
    p.text = toQt(d.text);
    p.rule = QString::fromStdString(d.rule);
    if (p.inScenario) {
      LineProblems& mark = marks[d.line - 1];
      mark.error = mark.error || p.severity == Problem::Severity::Error;
      mark.messages.append(
          (p.severity == Problem::Severity::Error ? QStringLiteral("Ошибка: ") : QStringLiteral("Предупреждение: ")) +
          p.text);
    }
    out.append(p);
  }
  return out;
}

}  // namespace

void CodeEditorWindow::wireProblems() {
  connect(problemsPanel_, &ProblemsPanel::problemActivated, this, &CodeEditorWindow::goToProblem);
  // Key preview for the list too: F9, Esc and the other window keys work there as well.
  problemsPanel_->list()->installEventFilter(this);
}

QObject* CodeEditorWindow::problemsList() const { return problemsPanel_->list(); }

void CodeEditorWindow::showProblems() {
  if (!problemsPanel_->isHidden()) return;
  problemsPanel_->show();
  // The list appears with a quarter of the height under the text.
  if (auto* splitter = qobject_cast<QSplitter*>(problemsPanel_->parentWidget())) {
    const int total = splitter->height();
    splitter->setSizes({total - total / 4, total / 4});
  }
}

int CodeEditorWindow::checkScenario() { return runChecker(false); }

void CodeEditorWindow::checkBeforeGame() { runChecker(true); }

int CodeEditorWindow::runChecker(bool onlyWhenErrors) {
  check::CheckInput input;
  input.scenario = document_.lines();
  input.library = libraryLines();
  const auto found = check::checkScenario(input);
  const int errors = check::countDiagnostics(found).errors;
  if (onlyWhenErrors && errors == 0) return 0;
  std::unordered_map<int, LineProblems> marks;
  problemsPanel_->setProblems(problemsOf(found, marks));
  showProblems();
  markProblemLines(marks);
  return errors;
}

void CodeEditorWindow::markProblemLines(const std::unordered_map<int, LineProblems>& lines) {
  QTextDocument* doc = scenarioView_->document();
  // The marks live in the document's lines; the highlighter draws them while the window is shown.
  const bool shown = highlighter_->document() == doc;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    if (!block.userData()) continue;
    block.setUserData(nullptr);
    if (shown) highlighter_->rehighlightBlock(block);
  }
  for (const auto& [line, problems] : lines) {
    QTextBlock block = doc->findBlockByNumber(line);
    if (!block.isValid()) continue;
    block.setUserData(new ProblemMark(problems.error, problems.messages));
    if (shown) highlighter_->rehighlightBlock(block);
  }
}

void CodeEditorWindow::goToProblem(const Problem& problem) {
  if (!problem.inScenario || problem.line <= 0) return;
  const QTextBlock block = scenarioView_->document()->findBlockByNumber(problem.line - 1);
  if (!block.isValid()) return;
  scenarioView_->setTextCursor(QTextCursor(block));
  scenarioView_->centerCursor();
  scenarioView_->setFocus();
  refreshLineIndicator();
}

}  // namespace marvo
