// The code editor's "Run walkthroughs": every ".walk" beside the scenario against the text being edited.
#include <QAction>
#include <QDir>
#include <QMenu>

#include "code_editor_window.h"
#include "gui/scenario_document.h"
#include "problems_panel.h"
#include "walkthrough_panel.h"

void CodeEditorWindow::addWalkthroughCommand() {
  contextMenu->addSeparator();
  runWalkthroughsAction = contextMenu->addAction(QStringLiteral("Run walkthroughs"));
  runWalkthroughsAction->setObjectName(QStringLiteral("runWalkthroughsAction"));
  // The key itself is handled with the window's other keys; the menu only shows it.
  runWalkthroughsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
  runWalkthroughsAction->setShortcutContext(Qt::WidgetShortcut);
  runWalkthroughsAction->setShortcutVisibleInContextMenu(true);
  connect(runWalkthroughsAction, &QAction::triggered, this, &CodeEditorWindow::runWalkthroughs);

  // Failures land in the problems list; activating one opens it in the viewer.
  connect(walkthroughs, &WalkthroughPanel::finished, this, [this](const QList<Problem>& failures) {
    Problems->setProblems(failures);
    showProblems();
  });
  connect(Problems, &ProblemsPanel::problemActivated, this, [this](const Problem& problem) {
    if (problem.rule == WalkthroughPanel::problemRule()) walkthroughs->openFailure(problem.data.toInt());
  });
}

void CodeEditorWindow::runWalkthroughs() {
  const QString folder = scenarioFolder ? scenarioFolder() : QDir::currentPath();
  walkthroughs->run(document_.lines(), libraryLines ? libraryLines() : std::vector<std::string>{}, folder);
}
