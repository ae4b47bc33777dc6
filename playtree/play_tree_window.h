// The "Дерево прохождений" window: the play tree of the scenario with the first line of every
// reply; play from a node, delete branches, name and bless nodes, check the tree with a
// side-by-side difference, accept new replies, jump to the scenario line, export and import .walk.
#pragma once

#include <QWidget>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/program_builder.h"
#include "playtree/play_tree.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace marvo {

class Dialogs;

class PlayTreeWindow : public QWidget {
  Q_OBJECT

 public:
  // `program` builds the program of the scenario text as it is now (the check and new plays use it).
  PlayTreeWindow(Dialogs& dialogs, std::function<PreparedProgram()> program, QWidget* parent = nullptr);
  ~PlayTreeWindow() override;

  // The tree of the scenario at `scenario` (its sidecar "NAME.tree"; none for an unsaved text:
  // the tree is then kept in memory only). A broken sidecar is reported and kept as NAME.tree.bak.
  void openFor(const std::filesystem::path& scenario);
  const tree::PlayTree& tree() const { return tree_; }
  // The node shown in a row, and the row of a node.
  std::size_t nodeOf(const QTreeWidgetItem* item) const;
  QTreeWidgetItem* itemOf(std::size_t node) const;
  bool checking() const { return worker_ != nullptr; }

  QTreeWidget* treeView() const { return view_; }
  QPlainTextEdit* blessedPane() const { return blessedPane_; }
  QPlainTextEdit* replyPane() const { return replyPane_; }
  QProgressBar* progressBar() const { return progress_; }
  QPushButton* playButton() const { return play_; }
  QPushButton* deleteButton() const { return delete_; }
  QPushButton* blessButton() const { return bless_; }
  QPushButton* checkButton() const { return check_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* lineButton() const { return line_; }
  QPushButton* exportPathButton() const { return exportPath_; }
  QPushButton* exportBlessedButton() const { return exportBlessed_; }
  QPushButton* importButton() const { return import_; }

 public slots:
  // A game played (the command log from game start, Windows-1251): its commands join the tree
  // with the replies they get on the current text. Connect it to the plays started from the code
  // editor.
  void recordPlay(const std::vector<std::string>& commands);
  // While on (the game was started from the code editor), every turn played records the command
  // log so far: connect the main window's turnPlayed to recordTurn.
  void setRecording(bool on) { recording_ = on; }
  void recordTurn(const std::vector<std::string>& commandLog) {
    if (recording_) recordPlay(commandLog);
  }
  void playSelected();      // "Играть отсюда"
  void deleteSelected();    // "Удалить ветку"
  void blessSelected();     // "Ответ верный": also accepts a changed reply
  void startCheck();        // "Проверить дерево"
  void cancelCheck();       // "Отмена"
  void showSelectedLine();  // "К строке сценария"
  void exportSelectedPath();
  void exportBlessedLeaves();
  void importWalkthrough();

 signals:
  // Replay the game to this path on the current text and go on playing there (the main window).
  void playRequested(const std::vector<std::string>& commands);
  // Open the code editor at this scenario line (from 1).
  void lineRequested(int line);
  // A check finished (also cancelled); for tests and the status line.
  void checkFinished();

 private:
  void rebuild();
  void showSelected();
  void save();
  void setBusy(bool busy);
  void finishCheck(bool cancelled, tree::PlayTree checked);
  std::size_t selected() const;

  Dialogs& dialogs_;
  std::function<PreparedProgram()> program_;
  std::filesystem::path file_;
  tree::PlayTree tree_;
  std::vector<QTreeWidgetItem*> items_;  // per node, null for removed ones
  bool filling_ = false;
  bool recording_ = false;

  std::unique_ptr<std::thread> worker_;
  std::atomic<bool> cancelRequested_{false};

  QTreeWidget* view_ = nullptr;
  QPlainTextEdit* blessedPane_ = nullptr;
  QPlainTextEdit* replyPane_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* bless_ = nullptr;
  QPushButton* check_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* line_ = nullptr;
  QPushButton* exportPath_ = nullptr;
  QPushButton* exportBlessed_ = nullptr;
  QPushButton* import_ = nullptr;
};

}  // namespace marvo
