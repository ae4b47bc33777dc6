// The main game window: layout, menu, keys, activation, the game clock and the engine host.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
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
#include "gui/scenario_document.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "game/installed_data.h"
#include "player/window_application.h"

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
  for (const auto& item : items) list->addItem(marvo::toQt(item));
}

}  // namespace

MainWindow::MainWindow(marvo::Engine& engine, marvo::ScenarioDocument& document, marvo::Dialogs& dialogs,
                       QWidget* parent)
    : QMainWindow(parent),
      engine_(engine),
      game_(engine),
      document_(document),
      dialogs_(dialogs),
      scenarioOpenDialog_{QStringLiteral("scenary (*.scn)"), QString(), QString()},
      scenarioSaveDialog_{QStringLiteral("scenary (*.scn)"), QStringLiteral("scn"), QStringLiteral("newqst.scn")},
      gameOpenDialog_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"), QString()},
      gameSaveDialog_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"),
                   QStringLiteral("savegame.sav")},
      walkthroughDialog_{QStringLiteral("Walkthrough (*.walk)"), QStringLiteral("walk"), QString()} {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Marvo IF v1.03"));
  setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
  resize(800, 532);

  exitApplication = [](int code) { QCoreApplication::exit(code); };
  openDocument = [](const QUrl& url) { QDesktopServices::openUrl(url); };

  buildControls();
  buildMenu();
  applyLook();

  for (const char* line : kBanner) output_.emplace_back(line);
  outputStale_ = true;
  showOutput();
  shownInventory_ = engine_.inventoryView();
  fillList(inventoryList, shownInventory_);

  clockTimer = new QTimer(this);
  clockTimer->setInterval(1000);
  connect(clockTimer, &QTimer::timeout, this, &MainWindow::clockTick);
  clockTimer->start();

  // Key preview: F9 reaches the window whatever control has the focus.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::onFocusWindowChanged);
}

MainWindow::~MainWindow() {
  // The children (and the windows parented to us) are destroyed after this body: stop reacting to
  // the application first.
  clockTimer->stop();
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
}

void MainWindow::attachWindows(CodeEditorWindow& editor, QDialog& mapEditor, marvo::LibraryEditorWindow& libraryEditor) {
  editor_ = &editor;
  mapEditor_ = &mapEditor;
  libraryEditor_ = &libraryEditor;
  wireWalkthroughs();
}

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("central"));
  setCentralWidget(central);

  outputPane = new QPlainTextEdit(central);
  outputPane->setObjectName(QStringLiteral("outputPane"));
  outputPane->setReadOnly(true);
  outputPane->setFrameShape(QFrame::NoFrame);
  outputPane->setFocusPolicy(Qt::ClickFocus);

  commandLine = new QLineEdit(central);
  commandLine->setObjectName(QStringLiteral("commandLine"));
  commandLine->setFrame(false);
  commandLine->setFixedHeight(25);
  connect(commandLine, &QLineEdit::returnPressed, this, &MainWindow::commandLineEntered);

  inventoryLabel = new QLabel(QStringLiteral("Инвентарь:"), central);
  inventoryLabel->setObjectName(QStringLiteral("inventoryLabel"));
  inventoryList = new QListWidget(central);
  inventoryList->setObjectName(QStringLiteral("inventoryList"));
  characteristicsLabel = new QLabel(QStringLiteral("Характеристики:"), central);
  characteristicsLabel->setObjectName(QStringLiteral("characteristicsLabel"));
  characteristicsList = new QListWidget(central);
  characteristicsList->setObjectName(QStringLiteral("characteristicsList"));
  for (QListWidget* list : {inventoryList, characteristicsList}) {
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    list->setFocusPolicy(Qt::ClickFocus);
  }

  auto* left = new QVBoxLayout;
  left->setSpacing(7);
  left->addWidget(outputPane, 1);
  left->addWidget(commandLine);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addWidget(inventoryLabel);
  right->addWidget(inventoryList, 225);
  right->addSpacing(5);
  right->addWidget(characteristicsLabel);
  right->addWidget(characteristicsList, 209);
  right->addSpacing(32);

  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(0, 8, 7, 19);
  columns->setSpacing(7);
  columns->addLayout(left, 1);
  columns->addLayout(right);
  inventoryList->setFixedWidth(129);
  characteristicsList->setFixedWidth(129);
}

void MainWindow::buildMenu() {
  auto addItem = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                        const QKeySequence& shortcut, void (MainWindow::*handler)()) {
    action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };

  fileMenu = menuBar()->addMenu(QStringLiteral("File"));
  fileMenu->setObjectName(QStringLiteral("fileMenu"));
  addItem(fileMenu, newAction, "newAction", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::newScenario);
  addItem(fileMenu, openFileAction, "openFileAction", QStringLiteral("Open File"), QKeySequence(Qt::CTRL | Qt::Key_L),
          &MainWindow::openFile);
  addItem(fileMenu, saveAsAction, "saveAsAction", QStringLiteral("Save as..."), QKeySequence(Qt::CTRL | Qt::Key_S),
          &MainWindow::saveScenarioAsCommand);
  addItem(fileMenu, exitAction, "exitAction", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::exitProgram);
  buildSaveMenu();

  gameMenu = menuBar()->addMenu(QStringLiteral("Game"));
  gameMenu->setObjectName(QStringLiteral("gameMenu"));
  addItem(gameMenu, beginGameAction, "beginGameAction", QStringLiteral("Begin game"), QKeySequence(Qt::CTRL | Qt::Key_F1),
          &MainWindow::beginGame);
  addItem(gameMenu, saveGameAction, "saveGameAction", QStringLiteral("Save game"), QKeySequence(Qt::CTRL | Qt::Key_F2),
          &MainWindow::saveGame);
  addItem(gameMenu, loadGameAction, "loadGameAction", QStringLiteral("Load game"), QKeySequence(Qt::CTRL | Qt::Key_F3),
          &MainWindow::loadGame);
  addItem(gameMenu, saveWalkthroughAction, "saveWalkthroughAction", QStringLiteral("Save walkthrough..."), QKeySequence(),
          &MainWindow::saveWalkthrough);
  addItem(gameMenu, talkAction, "talkAction", QStringLiteral("Talk"), QKeySequence(Qt::Key_F12), &MainWindow::submitCommand);

  editMenu = menuBar()->addMenu(QStringLiteral("Edit"));
  editMenu->setObjectName(QStringLiteral("editMenu"));
  addItem(editMenu, editScenarioAction, "editScenarioAction", QStringLiteral("Edit scenary"), QKeySequence(Qt::Key_F4),
          &MainWindow::openCodeEditor);
  addItem(editMenu, mapEditorAction, "mapEditorAction", QStringLiteral("Map editor"), QKeySequence(Qt::Key_F5),
          &MainWindow::openMapEditor);

  addItem(nullptr, clearScreenAction, "clearScreenAction", QStringLiteral("Clear screen"), QKeySequence(),
          &MainWindow::clearScreen);
  addItem(nullptr, helpAction, "helpAction", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &MainWindow::showHelp);
}

void MainWindow::applyLook() {
  // Every selector names our own controls: the sheet also reaches the windows parented to us.
  setStyleSheet(QStringLiteral(
      "QMainWindow#mainWindow, QWidget#central { background: black; }"
      "QPlainTextEdit#outputPane { background: rgb(64, 64, 64); color: rgb(235, 235, 235); border: none; }"
      "QLineEdit#commandLine { background: rgb(55, 55, 55); color: white; border: none; }"
      "QLabel#inventoryLabel, QLabel#characteristicsLabel { color: white; }"
      "QListWidget#inventoryList, QListWidget#characteristicsList { background: rgb(55, 55, 55); color: white; border: none; }"
      "QListWidget#inventoryList::item, QListWidget#characteristicsList::item { height: 20px; }"));
  outputPane->setFont(narrowFont(19));
  commandLine->setFont(narrowFont(19));
  inventoryLabel->setFont(narrowFont(13));
  characteristicsLabel->setFont(narrowFont(13));
  inventoryList->setFont(narrowFont(16));
  characteristicsList->setFont(narrowFont(16));
}

// ---- keys, activation and small commands ----

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Key preview: the window sees the keys of all its controls before they do.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    if (previewKey(*static_cast<QKeyEvent*>(event))) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::previewKey(const QKeyEvent& key) {
  if (key.key() != Qt::Key_F9) return false;
  beginGame();
  return true;
}

void MainWindow::commandLineEntered() { submitCommand(); }

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
  commandLine->setFocus();
  reloadLibrary();
}

void MainWindow::reloadLibrary() {
  if (!libraryEditor_) return;
  libraryLoaded_ = true;
  auto read = marvo::readWholeFile(marvo::libraryToRead(libraryFallback));
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
  outputStale_ = true;
  showOutput();
}

void MainWindow::outputChanged() {
  while (output_.size() > static_cast<std::size_t>(kOutputLimit)) output_.pop_front();
}

void MainWindow::showHelp() {
  if (openReference) openReference();
  const QString helpFile = QDir::current().absoluteFilePath(QStringLiteral("marvohlp.hlp"));
  if (openDocument && QFileInfo::exists(helpFile)) openDocument(QUrl::fromLocalFile(helpFile));
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

void MainWindow::clockTick() { game_.tick(); }

void MainWindow::report(const QString& text) { dialogs_.message(this, text); }

void MainWindow::showError(const QString& text) {
  if (auto* app = dynamic_cast<marvo::Application*>(QCoreApplication::instance())) {
    app->showError(text);
    return;
  }
  report(text);
}

// ---- engine host ----

void MainWindow::focusInput() { focusPending_ = true; }

void MainWindow::clearOutput() {
  output_.clear();
  outputStale_ = true;
}

void MainWindow::appendOutput(std::string_view line) {
  output_.emplace_back(line);
  outputStale_ = true;
  outputChanged();
}

void MainWindow::showMessage(std::string_view text) {
  viewsStale_ = true;
  showResults();
  report(marvo::toQt(text));
}

void MainWindow::viewsChanged() { viewsStale_ = true; }

QStringList MainWindow::outputLines() const {
  QStringList lines;
  for (const auto& line : output_) lines.append(marvo::toQt(line));
  return lines;
}

void MainWindow::showResults() {
  showOutput();
  showViews();
  if (focusPending_) {
    focusPending_ = false;
    commandLine->setFocus();
  }
}

void MainWindow::showOutput() {
  if (!outputStale_) return;
  outputStale_ = false;
  outputPane->setPlainText(outputLines().join(QLatin1Char('\n')));
  outputPane->moveCursor(QTextCursor::End);
}

void MainWindow::showViews() {
  if (!viewsStale_) return;
  viewsStale_ = false;
  if (engine_.inventoryView() != shownInventory_) {
    shownInventory_ = engine_.inventoryView();
    fillList(inventoryList, shownInventory_);
  }
  if (engine_.characteristicsView() != shownCharacteristics_) {
    shownCharacteristics_ = engine_.characteristicsView();
    fillList(characteristicsList, shownCharacteristics_);
  }
  auto monitor = engine_.monitorView();
  if (monitor != shownMonitor_ && editor_) {
    shownMonitor_ = std::move(monitor);
    editor_->setVariablePane(shownMonitor_);
  }
}
