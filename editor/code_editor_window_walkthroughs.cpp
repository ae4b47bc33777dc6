// The code editor's "Run walkthroughs": the scenario's walkthroughs against the text being edited.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "code_editor_window.h"
#include "gui/scenario_document.h"
#include "problems_panel.h"
#include "walkthrough/walk_selection.h"
#include "walkthrough_panel.h"

namespace marvo {

void CodeEditorWindow::addWalkthroughCommand() {
  contextMenu_->addSeparator();
  runWalkthroughsAction_ =
      addKeyItem(contextMenu_, QStringLiteral("Run walkthroughs"), QKeySequence(Qt::CTRL | Qt::Key_F9));
  runWalkthroughsAction_->setObjectName(QStringLiteral("runWalkthroughsAction"));
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
  // Only the walkthroughs named for the scenario's file run: those of another game in the same
  // folder would fail against this text. A text without a file has none.
  const QString file = document_.path();
  std::vector<std::filesystem::path> walks;
  QString none = QStringLiteral(
      "Сценарий ещё не сохранён в файл. Сохраните его: прохождения сценария ИМЯ.scn — это ИМЯ.walk, "
      "ИМЯ-*.walk и файлы .walk в папке ИМЯ рядом с ним");
  if (!file.isEmpty()) {
    walks = walk::walkthroughsFor(QFile::encodeName(file).toStdString());
    const QString name = QFileInfo(file).completeBaseName();
    none = QStringLiteral(
               "Нет прохождений этого сценария: положите рядом с ним %1.walk или %1-*.walk, "
               "или файлы .walk в папку %1")
               .arg(name);
  }
  walkthroughPanel_->run(document_.lines(), libraryLines(), std::move(walks), none);
}

}  // namespace marvo
