// The play tree window offscreen: plays recorded as rows, bless and check with the side-by-side
// difference, accept, play from a node, delete a branch, the scenario line, a broken sidecar.
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "engine/codec.h"
#include "gui/dialogs.h"
#include "playtree/play_tree_window.h"

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

Lines w(const Lines& utf8) {
  Lines out;
  for (const auto& line : utf8) out.push_back(marvo::utf8ToCp1251(line));
  return out;
}

Lines house(const std::string& cupboard) {
  return {":hall",   "!Холл.",    "TALK север", "GOTO kitchen",      "REDO",         "READ", ":kitchen", "!Кухня.",
          "TALK юг", "GOTO hall", "REDO",       "TALK открыть шкаф", "!" + cupboard, "REDO", "READ"};
}

}  // namespace

class PlayTreeWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void playsBlessCheckAcceptAndPlay();
  void aBrokenSidecarIsReportedAndKept();
};

void PlayTreeWindowTest::playsBlessCheckAcceptAndPlay() {
  QTemporaryDir dir;
  Lines scenario = house("Пусто.");
  marvo::ScriptedDialogs dialogs;
  marvo::PlayTreeWindow window(dialogs, [&] { return marvo::prepareProgram(w(scenario), nullptr, {}); });
  const std::filesystem::path scn = dir.filePath(QStringLiteral("дом.scn")).toStdString();
  window.openFor(scn);
  window.recordPlay(w({"север", "открыть шкаф"}));
  window.recordPlay(w({"север", "юг"}));
  QTreeWidget* view = window.treeView();
  QCOMPARE(view->topLevelItemCount(), 1);
  QTreeWidgetItem* north = view->topLevelItem(0)->child(0);
  QCOMPARE(north->text(0), QStringLiteral(">север"));
  QCOMPARE(north->text(1), QStringLiteral("Кухня."));
  QCOMPARE(north->childCount(), 2);
  QTreeWidgetItem* open = north->child(0);
  const std::size_t openNode = window.nodeOf(open);
  QVERIFY(std::filesystem::exists(dir.filePath(QStringLiteral("дом.tree")).toStdString()));

  view->setCurrentItem(open);
  window.blessButton()->click();
  QVERIFY(window.itemOf(openNode)->text(0).startsWith(QStringLiteral("✓ ")));
  open = window.itemOf(openNode);
  open->setText(2, QStringLiteral("шкаф"));  // typed in place
  QCOMPARE(marvo::cp1251ToUtf8(window.tree().node(openNode).name), std::string("шкаф"));

  scenario = house("Пусто, только паутина.");
  QSignalSpy finished(&window, &marvo::PlayTreeWindow::checkFinished);
  window.checkButton()->click();
  QVERIFY(finished.wait(10000) || finished.count() == 1);
  QCOMPARE(window.progressBar()->value(), 2);
  QVERIFY(window.tree().node(openNode).changed);
  view->setCurrentItem(window.itemOf(openNode));
  QCOMPARE(window.blessedPane()->toPlainText(), QStringLiteral("Пусто.\nКухня."));
  QCOMPARE(window.replyPane()->toPlainText(), QStringLiteral("Пусто, только паутина.\nКухня."));
  QVERIFY(window.itemOf(openNode)->text(0).startsWith(QStringLiteral("≠ ")));

  QSignalSpy line(&window, &marvo::PlayTreeWindow::lineRequested);
  window.lineButton()->click();
  QCOMPARE(line.count(), 1);
  QCOMPARE(line.at(0).at(0).toInt(), 13);  // the cupboard's text line

  window.blessButton()->click();  // accept the new reply
  QVERIFY(!window.tree().node(openNode).changed);

  QSignalSpy play(&window, &marvo::PlayTreeWindow::playRequested);
  window.playButton()->click();
  QCOMPARE(play.count(), 1);
  QCOMPARE(play.at(0).at(0).value<std::vector<std::string>>(), w({"север", "открыть шкаф"}));

  view->setCurrentItem(window.itemOf(window.nodeOf(view->topLevelItem(0)->child(0))));
  window.deleteButton()->click();
  QCOMPARE(view->topLevelItem(0)->childCount(), 0);
  // The sidecar follows every change.
  std::ifstream saved(dir.filePath(QStringLiteral("дом.tree")).toStdString());
  const std::string text((std::istreambuf_iterator<char>(saved)), {});
  QVERIFY(text.find("север") == std::string::npos);
  QVERIFY(dialogs.messages.isEmpty());
}

void PlayTreeWindowTest::aBrokenSidecarIsReportedAndKept() {
  QTemporaryDir dir;
  const std::filesystem::path tree = dir.filePath(QStringLiteral("игра.tree")).toStdString();
  std::ofstream(tree) << "не дерево\n";
  marvo::ScriptedDialogs dialogs;
  marvo::PlayTreeWindow window(dialogs, [] { return marvo::prepareProgram({}, nullptr, {}); });
  window.openFor(dir.filePath(QStringLiteral("игра.scn")).toStdString());
  QCOMPARE(dialogs.messages.size(), 1);
  QVERIFY(dialogs.messages.first().contains(QStringLiteral("игра.tree.bak")));
  QVERIFY(std::filesystem::exists(tree.string() + ".bak"));
  QCOMPARE(window.treeView()->topLevelItem(0)->childCount(), 0);
}

QTEST_MAIN(PlayTreeWindowTest)
#include "play_tree_window_test.moc"
