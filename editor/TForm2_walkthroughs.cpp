// The code editor's "Run walkthroughs": every ".walk" beside the scenario against the text being edited.
#include <QAction>
#include <QDir>
#include <QMenu>

#include "TForm2.h"
#include "problems_panel.h"
#include "walkthrough_panel.h"

void TForm2::addWalkthroughCommand() {
  PopupMenu1->addSeparator();
  Runwalkthroughs1 = PopupMenu1->addAction(QStringLiteral("Run walkthroughs"));
  Runwalkthroughs1->setObjectName(QStringLiteral("Runwalkthroughs1"));
  // The key itself is handled with the window's other keys; the menu only shows it.
  Runwalkthroughs1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
  Runwalkthroughs1->setShortcutContext(Qt::WidgetShortcut);
  Runwalkthroughs1->setShortcutVisibleInContextMenu(true);
  connect(Runwalkthroughs1, &QAction::triggered, this, &TForm2::Runwalkthroughs1Click);

  // Failures land in the problems list; activating one opens it in the viewer.
  connect(walkthroughs, &WalkthroughPanel::finished, this, [this](const QList<Problem>& failures) {
    Problems->setProblems(failures);
    showProblems();
  });
  connect(Problems, &ProblemsPanel::problemActivated, this, [this](const Problem& problem) {
    if (problem.rule == WalkthroughPanel::problemRule()) walkthroughs->openFailure(problem.data.toInt());
  });
}

void TForm2::Runwalkthroughs1Click() {
  const QString folder = scenarioFolder ? scenarioFolder() : QDir::currentPath();
  walkthroughs->run(lines(), libraryLines ? libraryLines() : std::vector<std::string>{}, folder);
}
