// The main game window: layout, menu, keys, activation, the game clock and the engine host.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/file_io.h"
#include "game/installed_data.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "player/menu_lines.h"
#include "player/window_application.h"

namespace marvo {

namespace {

const char* const kBanner[] = {
    "Marvo IF v2.01 Zantor",
    "------------------------------------------",
    "Marvo IF: text adventures to play and to write",
};

// "Arial Narrow" where it is installed, else its metric twin from fonts-liberation.
QFont narrowFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
  font.setPixelSize(pixelSize);
  return font;
}

void fillList(QListWidget* list, const std::vector<std::string>& items) {
  list->clear();
  for (const auto& item : items) list->addItem(toQt(item));
}

}  // namespace

MainWindow::MainWindow(Engine& engine, ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      engine_(engine),
      game_(engine),
      document_(document),
      dialogs_(dialogs),
      scenarioOpenDialog_{QStringLiteral("scenary (*.scn)"), QString(), QString()},
      scenarioSaveDialog_{QStringLiteral("scenary (*.scn)"), QStringLiteral("scn"), QStringLiteral("newqst.scn")},
      gameOpenDialog_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"), QString()},
      gameSaveDialog_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"), QStringLiteral("savegame.sav")},
      walkthroughDialog_{QStringLiteral("Walkthrough (*.walk)"), QStringLiteral("walk"), QString()},
      transcriptDialog_{QStringLiteral("Запись игры (*.txt)"), QStringLiteral("txt"), QString()} {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Marvo IF v1.03"));
  setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
  resize(800, 532);

  buildControls();
  buildMenu();
  applyLook();
  buildPlayAids();
  buildRewind();
  buildPlayRecovery();

  for (const char* line : kBanner) output_.emplace_back(line);
  outputAppended_ = output_.size();
  outputStale_ = true;
  showOutput();
  shownInventory_ = engine_.inventoryView();
  fillList(inventoryList_, shownInventory_);

  clockTimer_ = new QTimer(this);
  clockTimer_->setInterval(1000);
  connect(clockTimer_, &QTimer::timeout, this, &MainWindow::clockTick);
  clockTimer_->start();

  // Key preview: F9 reaches the window whatever control has the focus.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::onFocusWindowChanged);
  document_.setReplaceGuard(this);
  setAcceptDrops(true);  // scenarios and saved games dropped on the window open
}

MainWindow::~MainWindow() {
  // The children (and the windows parented to us) are destroyed after this body: stop reacting to
  // the application first.
  clockTimer_->stop();
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  document_.setReplaceGuard(nullptr);
}

void MainWindow::attachWindows(CodeEditorWindow& editor, QDialog& mapEditor, LibraryEditorWindow& libraryEditor) {
  editor_ = &editor;
  mapEditor_ = &mapEditor;
  libraryEditor_ = &libraryEditor;
}

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("central"));
  setCentralWidget(central);

  outputPane_ = new OutputPane(central);
  outputPane_->setObjectName(QStringLiteral("outputPane"));
  outputPane_->setFrameShape(QFrame::NoFrame);

  commandLine_ = new CommandLine(central);
  commandLine_->setObjectName(QStringLiteral("commandLine"));
  commandLine_->setFrame(false);
  commandLine_->setFixedHeight(25);
  connect(commandLine_, &QLineEdit::returnPressed, this, &MainWindow::submitCommand);

  inventoryLabel_ = new QLabel(QStringLiteral("Инвентарь:"), central);
  inventoryLabel_->setObjectName(QStringLiteral("inventoryLabel"));
  inventoryList_ = new QListWidget(central);
  inventoryList_->setObjectName(QStringLiteral("inventoryList"));
  characteristicsLabel_ = new QLabel(QStringLiteral("Характеристики:"), central);
  characteristicsLabel_->setObjectName(QStringLiteral("characteristicsLabel"));
  characteristicsList_ = new QListWidget(central);
  characteristicsList_->setObjectName(QStringLiteral("characteristicsList"));
  for (QListWidget* list : {inventoryList_, characteristicsList_}) {
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
  }

  auto* left = new QVBoxLayout;
  left->setSpacing(7);
  left->addWidget(outputPane_, 1);
  left->addWidget(commandLine_);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addWidget(inventoryLabel_);
  right->addWidget(inventoryList_, 225);
  right->addSpacing(5);
  right->addWidget(characteristicsLabel_);
  right->addWidget(characteristicsList_, 209);
  right->addSpacing(32);

  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(0, 8, 7, 19);
  columns->setSpacing(7);
  columns->addLayout(left, 1);
  columns->addLayout(right);
  inventoryList_->setFixedWidth(129);
  characteristicsList_->setFixedWidth(129);
}

void MainWindow::buildMenu() {
  auto addItem = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                        const QKeySequence& shortcut, void (MainWindow::*handler)()) {
    action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };

  fileMenu_ = menuBar()->addMenu(QStringLiteral("File"));
  fileMenu_->setObjectName(QStringLiteral("fileMenu"));
  addItem(fileMenu_, newAction_, "newAction", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N),
          &MainWindow::newScenario);
  addItem(fileMenu_, openFileAction_, "openFileAction", QStringLiteral("Open File"), QKeySequence(Qt::CTRL | Qt::Key_L),
          &MainWindow::openFile);
  addItem(fileMenu_, saveAsAction_, "saveAsAction", QStringLiteral("Save as..."), QKeySequence(Qt::CTRL | Qt::Key_S),
          &MainWindow::saveScenarioAsCommand);
  addItem(fileMenu_, exitAction_, "exitAction", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
          &MainWindow::exitProgram);
  buildSaveMenu();

  gameMenu_ = menuBar()->addMenu(QStringLiteral("Game"));
  gameMenu_->setObjectName(QStringLiteral("gameMenu"));
  addItem(gameMenu_, beginGameAction_, "beginGameAction", QStringLiteral("Begin game"),
          QKeySequence(Qt::CTRL | Qt::Key_F1), &MainWindow::beginGame);
  addItem(gameMenu_, saveGameAction_, "saveGameAction", QStringLiteral("Save game"),
          QKeySequence(Qt::CTRL | Qt::Key_F2), &MainWindow::saveGame);
  addItem(gameMenu_, loadGameAction_, "loadGameAction", QStringLiteral("Load game"),
          QKeySequence(Qt::CTRL | Qt::Key_F3), &MainWindow::loadGame);
  addItem(gameMenu_, saveWalkthroughAction_, "saveWalkthroughAction", QStringLiteral("Save walkthrough..."),
          QKeySequence(), &MainWindow::saveWalkthrough);
  addItem(gameMenu_, talkAction_, "talkAction", QStringLiteral("Talk"), QKeySequence(Qt::Key_F12),
          &MainWindow::submitCommand);

  editMenu_ = menuBar()->addMenu(QStringLiteral("Edit"));
  editMenu_->setObjectName(QStringLiteral("editMenu"));
  addItem(editMenu_, editScenarioAction_, "editScenarioAction", QStringLiteral("Edit scenary"),
          QKeySequence(Qt::Key_F4), &MainWindow::openCodeEditor);
  addItem(editMenu_, mapEditorAction_, "mapEditorAction", QStringLiteral("Map editor"), QKeySequence(Qt::Key_F5),
          &MainWindow::openMapEditor);

  addItem(nullptr, clearScreenAction_, "clearScreenAction", QStringLiteral("Clear screen"), QKeySequence(),
          &MainWindow::clearScreen);
  addItem(nullptr, helpAction_, "helpAction", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &MainWindow::showHelp);
}

void MainWindow::applyLook() {
  // Every selector names our own controls: the sheet also reaches the windows parented to us.
  setStyleSheet(QStringLiteral(
      "QMainWindow#mainWindow, QWidget#central { background: black; }"
      "QPlainTextEdit#outputPane { background: rgb(64, 64, 64); color: rgb(235, 235, 235); border: none; }"
      "QLineEdit#commandLine { background: rgb(55, 55, 55); color: white; border: none; }"
      "QLabel#inventoryLabel, QLabel#characteristicsLabel { color: white; }"
      "QListWidget#inventoryList, QListWidget#characteristicsList { background: rgb(55, 55, 55); color: white; border: "
      "none; }"
      "QListWidget#inventoryList::item, QListWidget#characteristicsList::item { height: 20px; }"));
  outputPane_->setFont(narrowFont(19));
  commandLine_->setFont(narrowFont(19));
  inventoryLabel_->setFont(narrowFont(13));
  characteristicsLabel_->setFont(narrowFont(13));
  inventoryList_->setFont(narrowFont(16));
  characteristicsList_->setFont(narrowFont(16));
}

// ---- keys, activation and small commands ----

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Key preview: the window sees the keys of all its controls before they do.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    if (previewKey(*static_cast<QKeyEvent*>(event))) return true;
  }
  if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this && handleFileDrop(event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::previewKey(const QKeyEvent& key) {
  if (rewindKey(key)) return true;
  if (key.key() != Qt::Key_F9) return false;
  beginGame();
  return true;
}

void MainWindow::onFocusWindowChanged(QWindow* window) {
  if (!window || window->type() == Qt::Popup || window->type() == Qt::ToolTip) return;
  if (window != windowHandle()) {
    otherWindowWasActive_ = true;
    return;
  }
  // Coming back from another application leaves otherWindowWasActive_ false: no reload then.
  if (activatedOnce_ && !otherWindowWasActive_) return;
  activatedOnce_ = true;
  otherWindowWasActive_ = false;
  // Runs after the activation has been delivered, so a message box may open from it.
  QMetaObject::invokeMethod(this, &MainWindow::windowActivated, Qt::QueuedConnection);
}

void MainWindow::windowActivated() {
  commandLine_->setFocus();
  reloadLibrary();
}

void MainWindow::reloadLibrary() {
  if (!libraryEditor_) return;
  libraryLoaded_ = true;
  auto read = readWholeFile(libraryToRead(libraryFallback_));
  if (!read.error.empty()) {
    // The library text keeps what it held (nothing at the first activation). The loss is reported
    // once, not at every activation: the error box itself activates us again when it closes.
    if (!libraryErrorReported_) {
      libraryErrorReported_ = true;
      showError(QString::fromLocal8Bit(read.error));
    }
    return;
  }
  libraryErrorReported_ = false;
  libraryEditor_->setLibraryText(read.bytes);  // keeps whether the file ends with a line break
}

void MainWindow::clearScreen() {
  output_.clear();
  output_.emplace_back(">");
  ++outputClears_;
  ++outputAppended_;
  outputStale_ = true;
  showOutput();
}

void MainWindow::outputChanged() {
  while (output_.size() > static_cast<std::size_t>(kOutputLimit)) output_.pop_front();
}

void MainWindow::showHelp() {
  emit referenceRequested();
  const QString helpFile = QDir::current().absoluteFilePath(QStringLiteral("marvohlp.hlp"));
  if (QFileInfo::exists(helpFile)) emit documentRequested(QUrl::fromLocalFile(helpFile));
}

void MainWindow::openCodeEditor() {
  if (!editor_) return;
  editor_->exec();
  document_.markModified();
  activateWindow();  // also where no window manager hands the focus back
}

void MainWindow::openMapEditor() {
  if (!mapEditor_) return;
  mapEditor_->exec();
  activateWindow();
}

void MainWindow::clockTick() { history_.tick(); }

void MainWindow::report(const QString& text) { dialogs_.message(this, text); }

void MainWindow::showError(const QString& text) {
  if (auto* app = dynamic_cast<Application*>(QCoreApplication::instance())) {
    app->showError(text);
    return;
  }
  report(text);
}

// ---- engine host ----

void MainWindow::focusInput() { focusPending_ = true; }

void MainWindow::clearOutput() {
  output_.clear();
  ++outputClears_;
  outputStale_ = true;
}

void MainWindow::appendOutput(std::string_view line) {
  output_.emplace_back(line);
  ++outputAppended_;
  outputStale_ = true;
  outputChanged();
}

void MainWindow::showMessage(std::string_view text) {
  viewsStale_ = true;
  showResults();
  report(toQt(text));
}

void MainWindow::viewsChanged() { viewsStale_ = true; }

QStringList MainWindow::outputLines() const {
  QStringList lines;
  for (const auto& line : output_) lines.append(toQt(line));
  return lines;
}

void MainWindow::showResults() {
  showOutput();
  showViews();
  if (focusPending_) {
    focusPending_ = false;
    commandLine_->setFocus();
  }
}

void MainWindow::showOutput() {
  if (!outputStale_) return;
  outputStale_ = false;
  outputPane_->showLines(output_, outputAppended_, outputClears_);
  outputPane_->setMenuLines(offeredMenuLines(output_, menuChoices(engine_.state())));
  outputPane_->moveCursor(QTextCursor::End);
}

void MainWindow::showViews() {
  if (!viewsStale_) return;
  viewsStale_ = false;
  if (engine_.inventoryView() != shownInventory_) {
    shownInventory_ = engine_.inventoryView();
    fillList(inventoryList_, shownInventory_);
  }
  if (engine_.characteristicsView() != shownCharacteristics_) {
    shownCharacteristics_ = engine_.characteristicsView();
    fillList(characteristicsList_, shownCharacteristics_);
  }
  auto monitor = engine_.monitorView();
  if (monitor != shownMonitor_ && editor_) {
    shownMonitor_ = std::move(monitor);
    editor_->setVariablePane(shownMonitor_);
  }
}

}  // namespace marvo
