// The code editor window "Code Edit": controls, context menu, showing and navigation.
#include "code_editor_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
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

#include "engine/text.h"
#include "gui/document_saver.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "help/reference_topics.h"
#include "navigation.h"
#include "problems_panel.h"
#include "scenario_highlighter.h"
#include "walkthrough_panel.h"

namespace marvo {

namespace {
constexpr int kSidePanelWidth = 210;
}  // namespace

CodeEditorWindow::CodeEditorWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), document_(document), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Code Edit"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  resize(809, 572);
  buildControls();
  buildContextMenu();
  buildNavigation();
  highlighter_ = new ScenarioHighlighter(this);
  highlighter_->followBackgroundOf(scenarioView_);
  refreshLineIndicator();
  wireProblems();
  setUpSpelling();
  connect(&document_, &ScenarioDocument::textReplaced, this, [this] {
    pendingStart_ = QTextCursor();  // a property name being typed belongs to the old text
    caretToStart();
  });
  // Ctrl+S: the text to its file, as "Save" (F2) in the main window; a name is asked when it has none.
  auto* save = new QAction(this);
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, [this] { DocumentSaver(document_, dialogs_, this).save(); });
  addAction(save);
}

void CodeEditorWindow::buildControls() {
  scenarioView_ = new CodeView(this);
  scenarioView_->setAccessibleName(QStringLiteral("Текст сценария"));
  scenarioView_->setDocument(document_.textDocument());
  scenarioView_->setLineWrapMode(QPlainTextEdit::NoWrap);
  scenarioView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scenarioView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  locationBox_ = new QComboBox(this);
  locationBox_->setAccessibleName(QStringLiteral("Выбор локации"));
  locationBox_->setEditable(false);
  locationBox_->setMaxVisibleItems(12);
  locationBox_->setMinimumWidth(kSidePanelWidth);
  locationBox_->setToolTip(QStringLiteral("Быстрое перемещение по локациям (CTRL)"));

  lineIndicator_ = new QLabel(QStringLiteral("0"), this);
  searchField_ = new QLineEdit(this);
  searchField_->setAccessibleName(QStringLiteral("Найти строку"));
  searchField_->setToolTip(QStringLiteral("Введите искомую строку и нажмите ENTER"));
  autoCompleteBox_ = new QCheckBox(QStringLiteral("Включить автоподстановку"), this);
  autoCompleteBox_->setChecked(true);
  variablePane_ = new QPlainTextEdit(this);
  variablePane_->setAccessibleName(QStringLiteral("Состояние переменных"));
  variablePane_->setReadOnly(true);
  variablePane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  variablePane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* locationRow = new QHBoxLayout;
  locationRow->addStretch();
  locationRow->addWidget(new QLabel(QStringLiteral("Выбор локации:"), this));
  locationRow->addWidget(locationBox_);
  auto* indicatorRow = new QHBoxLayout;
  indicatorRow->addWidget(new QLabel(QStringLiteral("Строка:"), this));
  indicatorRow->addWidget(lineIndicator_);
  lineNumberNote_ = new QLabel(this);
  lineNumberNote_->setToolTip(
      QStringLiteral("«Строка:» считает строки с 0. Слева от текста, в списке проблем и в «Перейти к строке» "
                     "(Ctrl+G) строки считаются с 1: там у этой строки номер после «№»."));
  indicatorRow->addWidget(lineNumberNote_);
  indicatorRow->addStretch();

  auto* side = new QWidget(this);
  side->setFixedWidth(kSidePanelWidth);
  auto* sideColumn = new QVBoxLayout(side);
  sideColumn->setContentsMargins(0, 0, 0, 0);
  sideColumn->addWidget(new QLabel(QStringLiteral("Найти строку:"), side));
  sideColumn->addWidget(searchField_);
  sideColumn->addWidget(autoCompleteBox_);
  sideColumn->addWidget(new QLabel(QStringLiteral("Состояние переменных:"), side));
  sideColumn->addWidget(variablePane_, 1);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 0, 8, 8);
  grid->addLayout(locationRow, 0, 0);
  grid->addLayout(indicatorRow, 0, 1);
  // The problems list sits under the text; it appears with the first check.
  problemsPanel_ = new ProblemsPanel(this);
  problemsPanel_->hide();
  auto* textAndProblems = new QSplitter(Qt::Vertical, this);
  textAndProblems->addWidget(scenarioView_);
  textAndProblems->addWidget(problemsPanel_);
  textAndProblems->setStretchFactor(0, 4);
  textAndProblems->setStretchFactor(1, 1);
  grid->addWidget(textWithBars(textAndProblems), 1, 0);
  grid->addWidget(side, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
  walkthroughPanel_ = new WalkthroughPanel(*scenarioView_, this);
  grid->addWidget(walkthroughPanel_, 2, 0, 1, 2);

  // The property list floats over the text area, just under the caret, while it is called up.
  propertyPopup_ = new QListWidget(this);
  propertyPopup_->setAccessibleName(QStringLiteral("Подсказки"));
  propertyPopup_->resize(153, 129);
  for (const auto& item : properties_.items()) {
    propertyPopup_->addItem(toQt(item));
    const std::string_view hint = propertyHint(item);
    propertyPopup_->item(propertyPopup_->count() - 1)
        ->setToolTip(QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())));
  }
  propertyPopup_->hide();

  connect(autoCompleteBox_, &QCheckBox::clicked, this, [this] { scenarioView_->setFocus(); });
  connect(locationBox_, &QComboBox::activated, this, &CodeEditorWindow::jumpToLocation);

  // Key preview: the window sees every key before the focused control does.
  for (QWidget* control : {static_cast<QWidget*>(scenarioView_), static_cast<QWidget*>(variablePane_),
                           static_cast<QWidget*>(locationBox_), static_cast<QWidget*>(searchField_),
                           static_cast<QWidget*>(autoCompleteBox_), static_cast<QWidget*>(propertyPopup_)})
    control->installEventFilter(this);
  scenarioView_->viewport()->installEventFilter(this);
}

QAction* CodeEditorWindow::addKeyItem(QMenu* menu, const QString& caption, const QKeySequence& keys) {
  QAction* action = menu->addAction(caption);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WidgetShortcut);
  action->setShortcutVisibleInContextMenu(true);
  return action;
}

void CodeEditorWindow::buildContextMenu() {
  contextMenu_ = new QMenu(this);
  addEditingCommands();
  createObjectAction_ = contextMenu_->addAction(QStringLiteral("Создать объект"));
  contextMenu_->addSeparator();
  libraryAction_ = contextMenu_->addAction(QStringLiteral("Marvo.lib"));
  contextMenu_->addSeparator();
  dialogueAction_ = addKeyItem(contextMenu_, QStringLiteral("Диалог NPC"), QKeySequence(kDialogueMakerKey));
  connect(createObjectAction_, &QAction::triggered, this, &CodeEditorWindow::openObjectPlacer);
  connect(libraryAction_, &QAction::triggered, this, &CodeEditorWindow::openLibraryEditor);
  connect(dialogueAction_, &QAction::triggered, this, &CodeEditorWindow::openDialogueMaker);
  contextMenu_->addSeparator();
  checkScenarioAction_ =
      addKeyItem(contextMenu_, QStringLiteral("Проверить сценарий"), QKeySequence(Qt::CTRL | Qt::Key_F7));
  connect(checkScenarioAction_, &QAction::triggered, this, [this] { checkScenario(); });
  addWalkthroughCommand();
  contextMenu_->addSeparator();
  publishAction_ = contextMenu_->addAction(QStringLiteral("Publish to web..."));
  connect(publishAction_, &QAction::triggered, this, &CodeEditorWindow::publishToWeb);

  scenarioView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(scenarioView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    prepareContextMenu(pos);
    contextMenu_->popup(scenarioView_->viewport()->mapToGlobal(pos));
  });
}

void CodeEditorWindow::openObjectPlacer() { emit objectPlacerRequested(); }

void CodeEditorWindow::openLibraryEditor() { emit libraryEditorRequested(); }

void CodeEditorWindow::openDialogueMaker() { emit dialogueMakerRequested(); }

std::vector<std::string> CodeEditorWindow::libraryLines() const {
  return librarySource_ ? librarySource_() : std::vector<std::string>{};
}

void CodeEditorWindow::setVisible(bool visible) {
  // The text is coloured only while the window is shown: a scenario opened or replaced from the
  // main window (the editor hidden) does not pay for colouring every line. Colouring touches
  // only the layout, so the document's modified flag is kept as it was.
  QTextDocument* doc = scenarioView_->document();
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
  if (visible) startSpelling();  // the dictionaries are loaded when the editor is first shown
  if (visible && caretToStartPending_) caretToStart();
  if (visible)
    activated();
  else if (highlighter_->document())
    highlighter_->setDocument(nullptr);
  doc->setModified(modified);
}

void CodeEditorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) activated();
  QDialog::changeEvent(event);
}

void CodeEditorWindow::mousePressEvent(QMouseEvent* event) {
  propertyPopup_->hide();
  QDialog::mousePressEvent(event);
}

void CodeEditorWindow::activated() {
  propertyPopup_->hide();
  if (storyMap_) syncLibrary();  // the library editor may have changed it meanwhile
  scenarioView_->setFocus();
}

void CodeEditorWindow::setVariablePane(const std::vector<std::string>& lines) {
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text.append(QLatin1Char('\n'));
    appendQt(lines[i], text);
  }
  variablePane_->setPlainText(text);
}

void CodeEditorWindow::caretToStart() {
  caretToStartPending_ = !isVisible();
  if (caretToStartPending_) return;
  scenarioView_->moveCursor(QTextCursor::Start);
  scenarioView_->verticalScrollBar()->setValue(0);
  scenarioView_->horizontalScrollBar()->setValue(0);
}

// ---- Navigation ------------------------------------------------------------------------------

int CodeEditorWindow::caretLine() const { return scenarioView_->textCursor().blockNumber(); }

// Without line wrapping every block is one line, and the vertical scroll bar counts lines.
int CodeEditorWindow::firstVisibleLine() const { return scenarioView_->verticalScrollBar()->value(); }

void CodeEditorWindow::scrollToLine(int target) {
  const int first = firstVisibleLine();
  scenarioView_->verticalScrollBar()->setValue(first + (target - first));
}

void CodeEditorWindow::moveCaretToLine(int index) {
  if (index < 0 || index >= document_.lineCount()) return;
  caretToStartPending_ = false;  // the caret asked for wins over a pending move to the start
  scenarioView_->setTextCursor(QTextCursor(scenarioView_->document()->findBlockByNumber(index)));
  refreshLineIndicator();
  // The window may not be laid out yet: centre the line once it is.
  QTimer::singleShot(0, scenarioView_, [view = scenarioView_] { view->centerCursor(); });
}

void CodeEditorWindow::rebuildLocationList() {
  QStringList items;
  for (const auto& item : editor::locationItems(document_.lines(), document_.symbols())) items.append(toQt(item));
  locationBox_->clear();
  locationBox_->addItems(items);
  locationBox_->setCurrentIndex(-1);
}

void CodeEditorWindow::jumpToLocation(int index) {
  const std::string item = toCp1251(locationBox_->itemText(index));
  scrollToLine(editor::findEqualLine(document_.lines(), item));
  scenarioView_->setFocus();
}

void CodeEditorWindow::search() {
  const std::string needle = editor::searchNeedle(toCp1251(searchField_->text()));
  scrollToLine(editor::findLineContaining(document_.lines(), firstVisibleLine(), needle));
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
  const int target = editor::findCommonLine(all);
  if (target < static_cast<int>(all.size())) {
    scrollToLine(target);
    return;
  }
  QTextCursor batch(scenarioView_->document());
  batch.beginEditBlock();
  for (auto repair : editor::commonRepairLines()) document_.appendLine(repair);
  batch.endEditBlock();
  scrollToLine(document_.lineCount());
}

void CodeEditorWindow::leaveForGame() {
  // The game starts in any case; errors found on the way are waiting in the problems list.
  checkBeforeGame();
  close();
  emit gameRequested();
}

void CodeEditorWindow::leaveForMapEditor() {
  // The map editor opens over this window; this window closes when the map editor has closed.
  emit mapEditorRequested();
  close();
}

}  // namespace marvo
