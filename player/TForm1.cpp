// The main game window: layout, menu, keys, activation, the game clock and the engine host.
#include "TForm1.h"

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

#include "editor/TForm2.h"
#include "editor/TForm4.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "player/installed_data.h"
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

TForm1::TForm1(marvo::Engine& engine, marvo::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      engine_(engine),
      game_(engine),
      dialogs_(dialogs),
      openDialog1_{QStringLiteral("scenary (*.scn)"), QString(), QString()},
      saveDialog1_{QStringLiteral("scenary (*.scn)"), QStringLiteral("scn"), QStringLiteral("newqst.scn")},
      openDialog2_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"), QString()},
      saveDialog2_{QStringLiteral("Save game (*.sav)"), QStringLiteral("sav"),
                   QStringLiteral("savegame.sav")},
      walkthroughDialog_{QStringLiteral("Walkthrough (*.walk)"), QStringLiteral("walk"), QString()} {
  setObjectName(QStringLiteral("Form1"));
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
  fillList(ListBox1, shownInventory_);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer1->start();

  // Key preview: F9 reaches the window whatever control has the focus.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm1::onFocusWindowChanged);
}

TForm1::~TForm1() {
  // The children (and the windows parented to us) are destroyed after this body: stop reacting to
  // the application first.
  Timer1->stop();
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
}

void TForm1::attachWindows(TForm2& editor, QDialog& mapEditor, TForm4& libraryEditor) {
  editor_ = &editor;
  mapEditor_ = &mapEditor;
  libraryEditor_ = &libraryEditor;
  attachRecovery();
  wireWalkthroughs();
}

void TForm1::buildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("central"));
  setCentralWidget(central);

  Memo3 = new QPlainTextEdit(central);
  Memo3->setObjectName(QStringLiteral("Memo3"));
  Memo3->setReadOnly(true);
  Memo3->setFrameShape(QFrame::NoFrame);
  Memo3->setFocusPolicy(Qt::ClickFocus);

  Edit2 = new QLineEdit(central);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setFrame(false);
  Edit2->setFixedHeight(25);
  connect(Edit2, &QLineEdit::returnPressed, this, &TForm1::Edit2KeyPress);

  Label3 = new QLabel(QStringLiteral("Инвентарь:"), central);
  Label3->setObjectName(QStringLiteral("Label3"));
  ListBox1 = new QListWidget(central);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  Label12 = new QLabel(QStringLiteral("Характеристики:"), central);
  Label12->setObjectName(QStringLiteral("Label12"));
  ListBox2 = new QListWidget(central);
  ListBox2->setObjectName(QStringLiteral("ListBox2"));
  for (QListWidget* list : {ListBox1, ListBox2}) {
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    list->setFocusPolicy(Qt::ClickFocus);
  }

  auto* left = new QVBoxLayout;
  left->setSpacing(7);
  left->addWidget(Memo3, 1);
  left->addWidget(Edit2);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addWidget(Label3);
  right->addWidget(ListBox1, 225);
  right->addSpacing(5);
  right->addWidget(Label12);
  right->addWidget(ListBox2, 209);
  right->addSpacing(32);

  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(0, 8, 7, 19);
  columns->setSpacing(7);
  columns->addLayout(left, 1);
  columns->addLayout(right);
  ListBox1->setFixedWidth(129);
  ListBox2->setFixedWidth(129);
}

void TForm1::buildMenu() {
  auto addItem = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                        const QKeySequence& shortcut, void (TForm1::*handler)()) {
    action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };

  File1 = menuBar()->addMenu(QStringLiteral("File"));
  File1->setObjectName(QStringLiteral("File1"));
  addItem(File1, New1, "New1", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::New1Click);
  addItem(File1, OpenFile1, "OpenFile1", QStringLiteral("Open File"), QKeySequence(Qt::CTRL | Qt::Key_L),
          &TForm1::OpenFile1Click);
  addItem(File1, Saveas1, "Saveas1", QStringLiteral("Save as..."), QKeySequence(Qt::CTRL | Qt::Key_S),
          &TForm1::Saveas1Click);
  addItem(File1, Exit1, "Exit1", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &TForm1::Exit1Click);
  buildSaveMenu();

  Help1 = menuBar()->addMenu(QStringLiteral("Game"));
  Help1->setObjectName(QStringLiteral("Help1"));
  addItem(Help1, Begingame1, "Begingame1", QStringLiteral("Begin game"), QKeySequence(Qt::CTRL | Qt::Key_F1),
          &TForm1::Begingame1Click);
  addItem(Help1, Savegame1, "Savegame1", QStringLiteral("Save game"), QKeySequence(Qt::CTRL | Qt::Key_F2),
          &TForm1::Savegame1Click);
  addItem(Help1, Loadgame1, "Loadgame1", QStringLiteral("Load game"), QKeySequence(Qt::CTRL | Qt::Key_F3),
          &TForm1::Loadgame1Click);
  addItem(Help1, Savewalkthrough1, "Savewalkthrough1", QStringLiteral("Save walkthrough..."), QKeySequence(),
          &TForm1::Savewalkthrough1Click);
  addItem(Help1, Talk1, "Talk1", QStringLiteral("Talk"), QKeySequence(Qt::Key_F12), &TForm1::Talk1Click);

  Edit1 = menuBar()->addMenu(QStringLiteral("Edit"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  addItem(Edit1, Editscenary1, "Editscenary1", QStringLiteral("Edit scenary"), QKeySequence(Qt::Key_F4),
          &TForm1::Editscenary1Click);
  addItem(Edit1, Mapeditor1, "Mapeditor1", QStringLiteral("Map editor"), QKeySequence(Qt::Key_F5),
          &TForm1::Mapeditor1Click);

  addItem(nullptr, Clearscreen1, "Clearscreen1", QStringLiteral("Clear screen"), QKeySequence(),
          &TForm1::Clearscreen1Click);
  addItem(nullptr, Help2, "Help2", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &TForm1::Help2Click);
}

void TForm1::applyLook() {
  // Every selector names our own controls: the sheet also reaches the windows parented to us.
  setStyleSheet(QStringLiteral(
      "QMainWindow#Form1, QWidget#central { background: black; }"
      "QPlainTextEdit#Memo3 { background: rgb(64, 64, 64); color: rgb(235, 235, 235); border: none; }"
      "QLineEdit#Edit2 { background: rgb(55, 55, 55); color: white; border: none; }"
      "QLabel#Label3, QLabel#Label12 { color: white; }"
      "QListWidget#ListBox1, QListWidget#ListBox2 { background: rgb(55, 55, 55); color: white; border: none; }"
      "QListWidget#ListBox1::item, QListWidget#ListBox2::item { height: 20px; }"));
  Memo3->setFont(narrowFont(19));
  Edit2->setFont(narrowFont(19));
  Label3->setFont(narrowFont(13));
  Label12->setFont(narrowFont(13));
  ListBox1->setFont(narrowFont(16));
  ListBox2->setFont(narrowFont(16));
}

// ---- keys, activation and small commands ----

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // Key preview: the window sees the keys of all its controls before they do.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    if (FormKeyDown(*static_cast<QKeyEvent*>(event))) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TForm1::FormKeyDown(const QKeyEvent& key) {
  if (key.key() != Qt::Key_F9) return false;
  Begingame1Click();
  return true;
}

void TForm1::Edit2KeyPress() { Talk1Click(); }

void TForm1::onFocusWindowChanged(QWindow* window) {
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
  QMetaObject::invokeMethod(this, &TForm1::FormActivate, Qt::QueuedConnection);
}

void TForm1::FormActivate() {
  Edit2->setFocus();
  reloadLibrary();
}

void TForm1::reloadLibrary() {
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

void TForm1::Clearscreen1Click() {
  output_.clear();
  output_.emplace_back(">");
  outputStale_ = true;
  showOutput();
}

void TForm1::Memo3Change() {
  while (output_.size() > static_cast<std::size_t>(kOutputLimit)) output_.pop_front();
}

void TForm1::Help2Click() {
  if (openReference) openReference();
  const QString helpFile = QDir::current().absoluteFilePath(QStringLiteral("marvohlp.hlp"));
  if (openDocument && QFileInfo::exists(helpFile)) openDocument(QUrl::fromLocalFile(helpFile));
}

void TForm1::Editscenary1Click() {
  if (!editor_) return;
  editor_->exec();
  modified_ = true;
  activateWindow();  // also where no window manager hands the focus back
}

void TForm1::Mapeditor1Click() {
  if (!mapEditor_) return;
  mapEditor_->exec();
  activateWindow();
}

void TForm1::Timer1Timer() { game_.tick(); }

void TForm1::report(const QString& text) { dialogs_.message(this, text); }

void TForm1::showError(const QString& text) {
  if (auto* app = dynamic_cast<marvo::Application*>(QCoreApplication::instance())) {
    app->showError(text);
    return;
  }
  report(text);
}

// ---- engine host ----

void TForm1::focusInput() { focusPending_ = true; }

void TForm1::clearOutput() {
  output_.clear();
  outputStale_ = true;
}

void TForm1::appendOutput(std::string_view line) {
  output_.emplace_back(line);
  outputStale_ = true;
  Memo3Change();
}

void TForm1::showMessage(std::string_view text) {
  viewsStale_ = true;
  showResults();
  report(marvo::toQt(text));
}

void TForm1::viewsChanged() { viewsStale_ = true; }

QStringList TForm1::outputLines() const {
  QStringList lines;
  for (const auto& line : output_) lines.append(marvo::toQt(line));
  return lines;
}

void TForm1::showResults() {
  showOutput();
  showViews();
  if (focusPending_) {
    focusPending_ = false;
    Edit2->setFocus();
  }
}

void TForm1::showOutput() {
  if (!outputStale_) return;
  outputStale_ = false;
  Memo3->setPlainText(outputLines().join(QLatin1Char('\n')));
  Memo3->moveCursor(QTextCursor::End);
}

void TForm1::showViews() {
  if (!viewsStale_) return;
  viewsStale_ = false;
  if (engine_.inventoryView() != shownInventory_) {
    shownInventory_ = engine_.inventoryView();
    fillList(ListBox1, shownInventory_);
  }
  if (engine_.characteristicsView() != shownCharacteristics_) {
    shownCharacteristics_ = engine_.characteristicsView();
    fillList(ListBox2, shownCharacteristics_);
  }
  auto monitor = engine_.monitorView();
  if (monitor != shownMonitor_ && editor_) {
    shownMonitor_ = std::move(monitor);
    editor_->setVariablePane(shownMonitor_);
  }
}
