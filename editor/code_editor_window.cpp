// The code editor window "Code Edit": controls, the scenario line operations and navigation.
#include "code_editor_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/scenario_document.h"
#include "scenario_highlighter.h"
#include "engine/text.h"
#include "help/reference_topics.h"
#include "gui/qt_codec.h"
#include "navigation.h"
#include "walkthrough_panel.h"
#include "problems_panel.h"

using marvo::toCp1251;
using marvo::toQt;
using namespace marvo::literals;

namespace {
constexpr int kSidePanelWidth = 210;
}  // namespace

CodeEditorWindow::CodeEditorWindow(marvo::ScenarioDocument& document, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), document_(document), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Code Edit"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  resize(809, 572);
  buildControls();
  buildContextMenu();
  highlighter_ = new ScenarioHighlighter(this);
  wireProblems();
  connect(&document_, &marvo::ScenarioDocument::textReplaced, this, [this] {
    pendingStart_ = QTextCursor();  // a property name being typed belongs to the old text
    caretToStart();
  });
}

void CodeEditorWindow::buildControls() {
  scenarioView = new QPlainTextEdit(this);
  scenarioView->setDocument(document_.textDocument());
  scenarioView->setLineWrapMode(QPlainTextEdit::NoWrap);
  scenarioView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scenarioView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scenarioView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  locationBox = new QComboBox(this);
  locationBox->setEditable(false);
  locationBox->setMaxVisibleItems(12);
  locationBox->setMinimumWidth(kSidePanelWidth);
  locationBox->setToolTip(QStringLiteral("Быстрое перемещение по локациям (CTRL)"));

  lineIndicator = new QLabel(QStringLiteral("0"), this);
  searchField = new QLineEdit(this);
  searchField->setToolTip(QStringLiteral("Введите искомую строку и нажмите ENTER"));
  autoCompleteBox = new QCheckBox(QStringLiteral("Включить автоподстановку"), this);
  autoCompleteBox->setChecked(true);
  variablePane = new QPlainTextEdit(this);
  variablePane->setReadOnly(true);
  variablePane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  variablePane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* locationRow = new QHBoxLayout;
  locationRow->addStretch();
  locationRow->addWidget(new QLabel(QStringLiteral("Выбор локации:"), this));
  locationRow->addWidget(locationBox);
  auto* indicatorRow = new QHBoxLayout;
  indicatorRow->addWidget(new QLabel(QStringLiteral("Строка:"), this));
  indicatorRow->addWidget(lineIndicator);
  indicatorRow->addStretch();

  auto* side = new QWidget(this);
  side->setFixedWidth(kSidePanelWidth);
  auto* sideColumn = new QVBoxLayout(side);
  sideColumn->setContentsMargins(0, 0, 0, 0);
  sideColumn->addWidget(new QLabel(QStringLiteral("Найти строку:"), side));
  sideColumn->addWidget(searchField);
  sideColumn->addWidget(autoCompleteBox);
  sideColumn->addWidget(new QLabel(QStringLiteral("Состояние переменных:"), side));
  sideColumn->addWidget(variablePane, 1);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 0, 8, 8);
  grid->addLayout(locationRow, 0, 0);
  grid->addLayout(indicatorRow, 0, 1);
  // The problems list sits under the text; it appears with the first check.
  Problems = new ProblemsPanel(this);
  Problems->hide();
  auto* textAndProblems = new QSplitter(Qt::Vertical, this);
  textAndProblems->addWidget(scenarioView);
  textAndProblems->addWidget(Problems);
  textAndProblems->setStretchFactor(0, 4);
  textAndProblems->setStretchFactor(1, 1);
  grid->addWidget(textAndProblems, 1, 0);
  grid->addWidget(side, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
  walkthroughs = new WalkthroughPanel(*scenarioView, this);
  grid->addWidget(walkthroughs, 2, 0, 1, 2);

  // The property list floats over the text area, just under the caret, while it is called up.
  propertyPopup = new QListWidget(this);
  propertyPopup->resize(153, 129);
  for (const auto& item : properties_.items()) {
    propertyPopup->addItem(toQt(item));
    const std::string_view hint = marvo::propertyHint(item);
    propertyPopup->item(propertyPopup->count() - 1)->setToolTip(QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())));
  }
  propertyPopup->hide();

  connect(autoCompleteBox, &QCheckBox::clicked, this, [this] { scenarioView->setFocus(); });
  connect(locationBox, &QComboBox::activated, this, &CodeEditorWindow::jumpToLocation);

  // Key preview: the window sees every key before the focused control does.
  for (QWidget* control : {static_cast<QWidget*>(scenarioView), static_cast<QWidget*>(variablePane),
                           static_cast<QWidget*>(locationBox), static_cast<QWidget*>(searchField),
                           static_cast<QWidget*>(autoCompleteBox), static_cast<QWidget*>(propertyPopup)})
    control->installEventFilter(this);
  scenarioView->viewport()->installEventFilter(this);
}

void CodeEditorWindow::buildContextMenu() {
  contextMenu = new QMenu(this);
  createObjectAction = contextMenu->addAction(QStringLiteral("Создать объект"));
  contextMenu->addSeparator();
  libraryAction = contextMenu->addAction(QStringLiteral("Marvo.lib"));
  contextMenu->addSeparator();
  dialogueAction = contextMenu->addAction(QStringLiteral("Диалог NPC"));
  // The key itself is handled with the window's other keys; the menu only shows it.
  dialogueAction->setShortcut(QKeySequence(kNpcMakerKey));
  dialogueAction->setShortcutContext(Qt::WidgetShortcut);
  dialogueAction->setShortcutVisibleInContextMenu(true);
  connect(createObjectAction, &QAction::triggered, this, &CodeEditorWindow::createObject);
  connect(libraryAction, &QAction::triggered, this, &CodeEditorWindow::editLibrary);
  connect(dialogueAction, &QAction::triggered, this, &CodeEditorWindow::makeDialogue);
  contextMenu->addSeparator();
  checkScenarioAction = contextMenu->addAction(QStringLiteral("Проверить сценарий"));
  checkScenarioAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7));
  checkScenarioAction->setShortcutContext(Qt::WidgetShortcut);
  checkScenarioAction->setShortcutVisibleInContextMenu(true);
  connect(checkScenarioAction, &QAction::triggered, this, [this] { checkScenario(); });
  addWalkthroughCommand();
  contextMenu->addSeparator();
  publishAction = contextMenu->addAction(QStringLiteral("Publish to web..."));
  connect(publishAction, &QAction::triggered, this, &CodeEditorWindow::publishToWeb);

  scenarioView->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(scenarioView, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { contextMenu->popup(scenarioView->viewport()->mapToGlobal(pos)); });
}

void CodeEditorWindow::createObject() {
  if (openObjectPlacer) openObjectPlacer();
}

void CodeEditorWindow::editLibrary() {
  if (openLibraryEditor) openLibraryEditor();
}

void CodeEditorWindow::makeDialogue() {
  if (openNpcMaker) openNpcMaker();
}

void CodeEditorWindow::setVisible(bool visible) {
  // The text is coloured only while the window is shown: a scenario opened or replaced from the
  // main window (the editor hidden) does not pay for colouring every line. Colouring touches
  // only the layout, so the document's modified flag is kept as it was.
  QTextDocument* doc = scenarioView->document();
  const bool modified = doc->isModified();
  if (visible && !isVisible()) {
    // Sized as maximised already before it is shown: every change of the text area's width lays
    // out the visible lines again, and a line of megabytes takes long to lay out.
    if (QScreen* where = screen()) setGeometry(where->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    if (doc->characterCount() <= ScenarioHighlighter::kLargestColouredText) {
      highlighter_->setDocument(doc);
      highlighter_->rehighlight();
    }
  }
  QDialog::setVisible(visible);
  if (visible && caretToStartPending_) caretToStart();
  if (visible) activated();
  else if (highlighter_->document()) highlighter_->setDocument(nullptr);
  doc->setModified(modified);
}

void CodeEditorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) activated();
  QDialog::changeEvent(event);
}

void CodeEditorWindow::mousePressEvent(QMouseEvent* event) {
  propertyPopup->hide();
  QDialog::mousePressEvent(event);
}

void CodeEditorWindow::activated() {
  propertyPopup->hide();
  scenarioView->setFocus();
}

void CodeEditorWindow::setVariablePane(const std::vector<std::string>& lines) {
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text.append(QLatin1Char('\n'));
    marvo::appendQt(lines[i], text);
  }
  variablePane->setPlainText(text);
}

void CodeEditorWindow::caretToStart() {
  caretToStartPending_ = !isVisible();
  if (caretToStartPending_) return;
  scenarioView->moveCursor(QTextCursor::Start);
  scenarioView->verticalScrollBar()->setValue(0);
  scenarioView->horizontalScrollBar()->setValue(0);
}

// ---- Navigation ------------------------------------------------------------------------------

int CodeEditorWindow::caretLine() const { return scenarioView->textCursor().blockNumber(); }

// Without line wrapping every block is one line, and the vertical scroll bar counts lines.
int CodeEditorWindow::firstVisibleLine() const { return scenarioView->verticalScrollBar()->value(); }

void CodeEditorWindow::scrollToLine(int target) {
  const int first = firstVisibleLine();
  scenarioView->verticalScrollBar()->setValue(first + (target - first));
}

void CodeEditorWindow::moveCaretToLine(int index) {
  if (index < 0 || index >= document_.lineCount()) return;
  caretToStartPending_ = false;  // the caret asked for wins over a pending move to the start
  scenarioView->setTextCursor(QTextCursor(scenarioView->document()->findBlockByNumber(index)));
  refreshLineIndicator();
  // The window may not be laid out yet: centre the line once it is.
  QTimer::singleShot(0, scenarioView, [memo = scenarioView] { memo->centerCursor(); });
}

void CodeEditorWindow::rebuildLocationList() {
  QStringList items;
  for (const auto& item : marvo::editor::locationItems(document_.lines(), document_.symbols())) items.append(toQt(item));
  locationBox->clear();
  locationBox->addItems(items);
  locationBox->setCurrentIndex(-1);
}

void CodeEditorWindow::jumpToLocation(int index) {
  const std::string item = toCp1251(locationBox->itemText(index));
  scrollToLine(marvo::editor::findEqualLine(document_.lines(), item));
  scenarioView->setFocus();
}

void CodeEditorWindow::search() {
  const std::string needle = marvo::editor::searchNeedle(toCp1251(searchField->text()));
  scrollToLine(marvo::editor::findLineContaining(document_.lines(), firstVisibleLine(), needle));
}

void CodeEditorWindow::toggleCommonLocation() {
  if (commonToggle_) {
    commonToggle_ = false;
    scrollToLine(savedLine_);
    return;
  }
  commonToggle_ = true;
  savedLine_ = caretLine();
  const auto all = document_.lines();
  const int target = marvo::editor::findCommonLine(all);
  if (target < static_cast<int>(all.size())) {
    scrollToLine(target);
    return;
  }
  QTextCursor batch(scenarioView->document());
  batch.beginEditBlock();
  for (auto repair : marvo::editor::commonRepairLines()) document_.appendLine(repair);
  batch.endEditBlock();
  scrollToLine(document_.lineCount());
}

void CodeEditorWindow::leaveForGame() {
  // The game starts in any case; errors found on the way are waiting in the problems list.
  checkBeforeGame();
  close();
  if (beginGame) beginGame();
}

void CodeEditorWindow::leaveForMapEditor() {
  // The map editor opens over this window; this window closes when the map editor has closed.
  if (openMapEditor) openMapEditor();
  close();
}
