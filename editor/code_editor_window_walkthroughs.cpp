// The code editor's "Run walkthroughs": every ".walk" beside the scenario against the text being edited.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "code_editor_window.h"
#include "gui/scenario_document.h"
#include "problems_panel.h"
#include "walkthrough_panel.h"

namespace marvo {

void CodeEditorWindow::addWalkthroughCommand() {
  contextMenu_->addSeparator();
  runWalkthroughsAction_ = contextMenu_->addAction(QStringLiteral("Run walkthroughs"));
  runWalkthroughsAction_->setObjectName(QStringLiteral("runWalkthroughsAction"));
  // The key itself is handled with the window's other keys; the menu only shows it.
  runWalkthroughsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
  runWalkthroughsAction_->setShortcutContext(Qt::WidgetShortcut);
  runWalkthroughsAction_->setShortcutVisibleInContextMenu(true);
  connect(runWalkthroughsAction_, &QAction::triggered, this, &CodeEditorWindow::runWalkthroughs);

  // Failures land in the problems list; activating one opens it in the viewer.
  connect(walkthroughPanel_, &WalkthroughPanel::finished, this, [this](const QList<Problem>& failures) {
    problemsPanel_->setProblems(failures);
    showProblems();
  });
  connect(problemsPanel_, &ProblemsPanel::problemActivated, this, [this](const Problem& problem) {
    if (problem.rule == WalkthroughPanel::problemRule()) walkthroughPanel_->openFailure(problem.data.toInt());
  });
}

void CodeEditorWindow::runWalkthroughs() {
  const QString file = document_.path();
  const QString folder = file.isEmpty() ? QDir::currentPath() : QFileInfo(file).absolutePath();
  walkthroughPanel_->run(document_.lines(), libraryLines(), folder);
}

}  // namespace marvo
