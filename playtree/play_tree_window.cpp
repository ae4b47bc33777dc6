// The play tree window: wires its controls to the play tree core.
#include "play_tree_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/qt_codec.h"
#include "playtree/tree_check.h"

namespace marvo {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;
enum Column { CommandColumn, ReplyColumn, NameColumn };

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString joined(const std::vector<std::string>& lines) { return toQt(lines).join(QLatin1Char('\n')); }

}  // namespace

PlayTreeWindow::PlayTreeWindow(Dialogs& dialogs, std::function<PreparedProgram()> program, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), program_(std::move(program)) {
  setWindowTitle(QStringLiteral("Дерево прохождений"));
  setObjectName(QStringLiteral("playTreeWindow"));
  view_ = new QTreeWidget(this);
  view_->setHeaderLabels({QStringLiteral("Команда"), QStringLiteral("Ответ"), QStringLiteral("Имя")});
  view_->header()->setStretchLastSection(true);
  view_->setAccessibleName(QStringLiteral("Дерево прохождений"));
  blessedPane_ = new QPlainTextEdit(this);
  replyPane_ = new QPlainTextEdit(this);
  for (QPlainTextEdit* pane : {blessedPane_, replyPane_}) pane->setReadOnly(true);
  blessedPane_->setAccessibleName(QStringLiteral("Ожидаемый ответ"));
  replyPane_->setAccessibleName(QStringLiteral("Ответ сейчас"));
  status_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setVisible(false);

  auto button = [this](QPushButton*& made, const QString& caption, void (PlayTreeWindow::*slot)()) {
    made = new QPushButton(caption, this);
    connect(made, &QPushButton::clicked, this, slot);
  };
  button(play_, QStringLiteral("Играть отсюда"), &PlayTreeWindow::playSelected);
  button(delete_, QStringLiteral("Удалить ветку"), &PlayTreeWindow::deleteSelected);
  button(bless_, QStringLiteral("Ответ верный"), &PlayTreeWindow::blessSelected);
  button(check_, QStringLiteral("Проверить дерево"), &PlayTreeWindow::startCheck);
  button(cancel_, QStringLiteral("Отмена"), &PlayTreeWindow::cancelCheck);
  button(line_, QStringLiteral("К строке сценария"), &PlayTreeWindow::showSelectedLine);
  button(exportPath_, QStringLiteral("Путь в .walk..."), &PlayTreeWindow::exportSelectedPath);
  button(exportBlessed_, QStringLiteral("Верные ветви в .walk..."), &PlayTreeWindow::exportBlessedLeaves);
  button(import_, QStringLiteral("Импорт .walk..."), &PlayTreeWindow::importWalkthrough);
  cancel_->setEnabled(false);

  auto* diff = new QWidget(this);
  auto* sides = new QHBoxLayout(diff);
  sides->setContentsMargins(0, 0, 0, 0);
  sides->addWidget(blessedPane_);
  sides->addWidget(replyPane_);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(view_);
  split->addWidget(diff);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {play_, delete_, bless_, line_, check_, cancel_}) buttons->addWidget(b);
  auto* files = new QHBoxLayout;
  for (QPushButton* b : {exportPath_, exportBlessed_, import_}) files->addWidget(b);
  files->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(split, 1);
  layout->addWidget(progress_);
  layout->addWidget(status_);
  layout->addLayout(files);
  resize(800, 600);

  connect(view_, &QTreeWidget::currentItemChanged, this, &PlayTreeWindow::showSelected);
  connect(view_, &QTreeWidget::itemActivated, this, &PlayTreeWindow::playSelected);
  // A name typed into the name column.
  connect(view_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (filling_ || column != NameColumn) return;
    tree_.node(nodeOf(item)).name = fromQt(item->text(NameColumn).trimmed());
    save();
  });
}

PlayTreeWindow::~PlayTreeWindow() {
  cancelRequested_ = true;
  if (worker_) worker_->join();
}

void PlayTreeWindow::openFor(const std::filesystem::path& scenario) {
  file_ = scenario.empty() ? std::filesystem::path() : tree::treeFileFor(scenario);
  tree::TreeLoad load = file_.empty() ? tree::TreeLoad{} : tree::loadTree(file_);
  tree_ = std::move(load.tree);
  rebuild();
  if (!load.message.empty()) dialogs_.message(this, QString::fromStdString(load.message));
}

void PlayTreeWindow::recordPlay(const std::vector<std::string>& commands) {
  if (checking()) return;
  tree::recordPlay(tree_, program_(), commands);
  save();
  rebuild();
}

std::size_t PlayTreeWindow::nodeOf(const QTreeWidgetItem* item) const {
  return item ? item->data(CommandColumn, kNodeRole).value<qulonglong>() : 0;
}

QTreeWidgetItem* PlayTreeWindow::itemOf(std::size_t node) const {
  return node < items_.size() ? items_[node] : nullptr;
}

std::size_t PlayTreeWindow::selected() const { return nodeOf(view_->currentItem()); }

void PlayTreeWindow::rebuild() {
  const std::size_t current = selected();
  filling_ = true;
  view_->clear();
  items_.assign(tree_.nodes().size(), nullptr);
  for (std::size_t id : tree_.order()) {
    const tree::Node& node = tree_.node(id);
    auto* item = id == 0 ? new QTreeWidgetItem(view_) : new QTreeWidgetItem(items_[node.parent]);
    // Marks: a reply the check found changed, a command that no longer fits, a blessed reply.
    QString mark = node.unfit     ? QStringLiteral("✗ ")
                   : node.changed ? QStringLiteral("≠ ")
                   : node.blessed ? QStringLiteral("✓ ")
                                  : QString();
    item->setText(CommandColumn,
                  mark + (id == 0 ? QStringLiteral("(начало игры)") : QStringLiteral(">") + toQt(node.command)));
    item->setText(ReplyColumn, node.reply.empty() ? QString() : toQt(node.reply.front()));
    item->setText(NameColumn, toQt(node.name));
    item->setData(CommandColumn, kNodeRole, QVariant::fromValue<qulonglong>(id));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (node.unfit) item->setForeground(CommandColumn, QBrush(Qt::gray));
    if (node.changed) item->setForeground(ReplyColumn, QBrush(Qt::red));
    items_[id] = item;
  }
  view_->expandAll();
  filling_ = false;
  if (QTreeWidgetItem* again = itemOf(current)) view_->setCurrentItem(again);
  std::size_t changed = 0, unfit = 0;
  for (std::size_t id : tree_.order()) {
    changed += tree_.node(id).changed;
    unfit += tree_.node(id).unfit;
  }
  status_->setText(QStringLiteral("Узлов: %1, изменённых ответов: %2, команд не к месту: %3")
                       .arg(tree_.order().size())
                       .arg(changed)
                       .arg(unfit));
  showSelected();
}

void PlayTreeWindow::showSelected() {
  if (filling_) return;
  const tree::Node& node = tree_.node(selected());
  blessedPane_->setPlainText(node.blessed ? joined(*node.blessed) : QString());
  replyPane_->setPlainText(joined(node.reply));
}

void PlayTreeWindow::save() {
  if (file_.empty()) return;
  if (auto error = tree::saveTree(file_, tree_)) dialogs_.message(this, QString::fromLocal8Bit(*error));
}

void PlayTreeWindow::playSelected() {
  if (checking() || !view_->currentItem()) return;
  emit playRequested(tree_.path(selected()));
}

void PlayTreeWindow::deleteSelected() {
  const std::size_t id = selected();
  if (checking() || id == 0) return;
  tree_.remove(id);
  save();
  rebuild();
}

void PlayTreeWindow::blessSelected() {
  if (checking() || !view_->currentItem()) return;
  tree_.bless(selected());
  save();
  rebuild();
}

void PlayTreeWindow::setBusy(bool busy) {
  for (QPushButton* b : {play_, delete_, bless_, check_, exportPath_, exportBlessed_, import_}) b->setEnabled(!busy);
  cancel_->setEnabled(busy);
  progress_->setVisible(busy);
  view_->setEditTriggers(busy ? QAbstractItemView::NoEditTriggers
                              : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

void PlayTreeWindow::startCheck() {
  if (checking()) return;
  cancelRequested_ = false;
  progress_->setRange(0, static_cast<int>(tree_.leaves().size()));
  progress_->setValue(0);
  setBusy(true);
  // The worker checks a copy; the tree takes its marks only when the check ran to the end.
  worker_ = std::make_unique<std::thread>([this, copy = tree_, program = program_()]() mutable {
    const auto result = tree::checkTree(
        copy, program, std::max(1u, std::thread::hardware_concurrency()),
        [this](std::size_t done, std::size_t) {
          QMetaObject::invokeMethod(
              this, [this, done] { progress_->setValue(static_cast<int>(done)); }, Qt::QueuedConnection);
        },
        &cancelRequested_);
    QMetaObject::invokeMethod(
        this,
        [this, cancelled = result.cancelled, checked = std::move(copy)]() mutable {
          finishCheck(cancelled, std::move(checked));
        },
        Qt::QueuedConnection);
  });
}

void PlayTreeWindow::cancelCheck() { cancelRequested_ = true; }

void PlayTreeWindow::finishCheck(bool cancelled, tree::PlayTree checked) {
  if (worker_) worker_->join();
  worker_.reset();
  setBusy(false);
  if (!cancelled) {
    tree_ = std::move(checked);
    save();
  }
  rebuild();
  emit checkFinished();
}

void PlayTreeWindow::showSelectedLine() {
  const tree::Node& node = tree_.node(selected());
  // The first line that differs from the blessed reply, else the reply's first line.
  std::size_t at = 0;
  if (node.blessed)
    while (at < node.reply.size() && at < node.blessed->size() && node.reply[at] == (*node.blessed)[at]) ++at;
  if (at >= node.reply.size()) at = 0;
  if (node.reply.empty()) return;
  if (auto line = tree::scenarioLineOf(program_(), node.reply[at]))
    emit lineRequested(*line);
  else
    dialogs_.message(this, QStringLiteral("Строка сценария, напечатавшая «%1», не найдена: её мог вывести движок "
                                          "или библиотека.")
                               .arg(toQt(node.reply[at])));
}

void PlayTreeWindow::exportSelectedPath() {
  if (!view_->currentItem()) return;
  auto name = dialogs_.saveFile(this, {QStringLiteral("Прохождение (*.walk)"), QStringLiteral("walk"), QString()});
  if (!name) return;
  if (auto error = replaceFile(toPath(*name), tree::exportPath(tree_, selected())))
    dialogs_.message(this, QStringLiteral("Прохождение не сохранено: %1.").arg(fileProblem(*error)));
}

void PlayTreeWindow::exportBlessedLeaves() {
  auto name = dialogs_.saveFile(this, {QStringLiteral("Прохождение (*.walk)"), QStringLiteral("walk"), QString()});
  if (!name) return;
  if (auto error = replaceFile(toPath(*name), tree::exportBlessedLeaves(tree_)))
    dialogs_.message(this, QStringLiteral("Прохождения не сохранены: %1.").arg(fileProblem(*error)));
}

void PlayTreeWindow::importWalkthrough() {
  auto name = dialogs_.openFile(this, {QStringLiteral("Прохождение (*.walk)"), QStringLiteral("walk"), QString()});
  if (!name) return;
  const FileRead read = readWholeFile(toPath(*name));
  std::string error = read.error;
  if (error.empty()) {
    tree::PlayTree grown = tree_;
    if (tree::importWalk(grown, read.bytes, &error) >= 0) {
      // The imported plays get their replies on the current text.
      const auto program = program_();
      for (std::size_t leaf : grown.leaves()) tree::recordPlay(grown, program, grown.path(leaf));
      tree_ = std::move(grown);
      save();
      rebuild();
      return;
    }
    error = name->toStdString() + ": " + error;
  }
  dialogs_.message(this, QStringLiteral("Прохождение не импортировано: %1").arg(QString::fromStdString(error)));
}

}  // namespace marvo
