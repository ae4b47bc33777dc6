// The code editor window "Code Edit": controls, the scenario line operations and navigation.
#include "TForm2.h"

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

#include "ScenarioHighlighter.h"
#include "engine/text.h"
#include "help/reference_topics.h"
#include "line_codec.h"
#include "navigation.h"
#include "walkthrough_panel.h"
#include "problems_panel.h"

using marvo::editor::toCp1251;
using marvo::editor::toQString;
using namespace marvo::literals;

namespace {
// The text a new author sees before opening anything.
std::vector<std::string> defaultTemplate() {
  return {"", "", "", std::string("*- - - - - - Первая локация - - - - - - - - "_w), ":loc1", "", "", "", "READ", "", "",
          std::string("* - - - - - Локация общего назначения - - - - - - - - - -"_w), ":common", "", "", "RETURN", "", ""};
}

constexpr int kSidePanelWidth = 210;
}  // namespace

TForm2::TForm2(marvo::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Code Edit"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  resize(809, 572);
  buildControls();
  buildContextMenu();
  highlighter_ = new ScenarioHighlighter(this);
  wireProblems();
  setLines(defaultTemplate());
}

void TForm2::buildControls() {
  Memo1 = new QPlainTextEdit(this);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  ComboBox1 = new QComboBox(this);
  ComboBox1->setEditable(false);
  ComboBox1->setMaxVisibleItems(12);
  ComboBox1->setMinimumWidth(kSidePanelWidth);
  ComboBox1->setToolTip(QStringLiteral("Быстрое перемещение по локациям (CTRL)"));

  Label4 = new QLabel(QStringLiteral("0"), this);
  Edit1 = new QLineEdit(this);
  Edit1->setToolTip(QStringLiteral("Введите искомую строку и нажмите ENTER"));
  CheckBox1 = new QCheckBox(QStringLiteral("Включить автоподстановку"), this);
  CheckBox1->setChecked(true);
  Memo2 = new QPlainTextEdit(this);
  Memo2->setReadOnly(true);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* locationRow = new QHBoxLayout;
  locationRow->addStretch();
  locationRow->addWidget(new QLabel(QStringLiteral("Выбор локации:"), this));
  locationRow->addWidget(ComboBox1);
  auto* indicatorRow = new QHBoxLayout;
  indicatorRow->addWidget(new QLabel(QStringLiteral("Строка:"), this));
  indicatorRow->addWidget(Label4);
  indicatorRow->addStretch();

  auto* side = new QWidget(this);
  side->setFixedWidth(kSidePanelWidth);
  auto* sideColumn = new QVBoxLayout(side);
  sideColumn->setContentsMargins(0, 0, 0, 0);
  sideColumn->addWidget(new QLabel(QStringLiteral("Найти строку:"), side));
  sideColumn->addWidget(Edit1);
  sideColumn->addWidget(CheckBox1);
  sideColumn->addWidget(new QLabel(QStringLiteral("Состояние переменных:"), side));
  sideColumn->addWidget(Memo2, 1);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 0, 8, 8);
  grid->addLayout(locationRow, 0, 0);
  grid->addLayout(indicatorRow, 0, 1);
  // The problems list sits under the text; it appears with the first check.
  Problems = new ProblemsPanel(this);
  Problems->hide();
  auto* textAndProblems = new QSplitter(Qt::Vertical, this);
  textAndProblems->addWidget(Memo1);
  textAndProblems->addWidget(Problems);
  textAndProblems->setStretchFactor(0, 4);
  textAndProblems->setStretchFactor(1, 1);
  grid->addWidget(textAndProblems, 1, 0);
  grid->addWidget(side, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
  walkthroughs = new WalkthroughPanel(*Memo1, this);
  grid->addWidget(walkthroughs, 2, 0, 1, 2);

  // The property list floats over the text area, just under the caret, while it is called up.
  ListBox1 = new QListWidget(this);
  ListBox1->resize(153, 129);
  for (const auto& item : properties_.items()) {
    ListBox1->addItem(toQString(item));
    const std::string_view hint = marvo::propertyHint(item);
    ListBox1->item(ListBox1->count() - 1)->setToolTip(QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())));
  }
  ListBox1->hide();

  connect(CheckBox1, &QCheckBox::clicked, this, [this] { Memo1->setFocus(); });
  connect(ComboBox1, &QComboBox::activated, this, &TForm2::jumpToLocation);

  // Key preview: the window sees every key before the focused control does.
  for (QWidget* control : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(Memo2),
                           static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit1),
                           static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(ListBox1)})
    control->installEventFilter(this);
  Memo1->viewport()->installEventFilter(this);
}

void TForm2::buildContextMenu() {
  PopupMenu1 = new QMenu(this);
  NPC1 = PopupMenu1->addAction(QStringLiteral("Создать объект"));
  PopupMenu1->addSeparator();
  Marvolib1 = PopupMenu1->addAction(QStringLiteral("Marvo.lib"));
  PopupMenu1->addSeparator();
  NPC2 = PopupMenu1->addAction(QStringLiteral("Диалог NPC"));
  // The key itself is handled with the window's other keys; the menu only shows it.
  NPC2->setShortcut(QKeySequence(kNpcMakerKey));
  NPC2->setShortcutContext(Qt::WidgetShortcut);
  NPC2->setShortcutVisibleInContextMenu(true);
  connect(NPC1, &QAction::triggered, this, &TForm2::NPC1Click);
  connect(Marvolib1, &QAction::triggered, this, &TForm2::Marvolib1Click);
  connect(NPC2, &QAction::triggered, this, &TForm2::NPC2Click);
  PopupMenu1->addSeparator();
  CheckScenario1 = PopupMenu1->addAction(QStringLiteral("Проверить сценарий"));
  CheckScenario1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7));
  CheckScenario1->setShortcutContext(Qt::WidgetShortcut);
  CheckScenario1->setShortcutVisibleInContextMenu(true);
  connect(CheckScenario1, &QAction::triggered, this, [this] { checkScenario(); });
  addWalkthroughCommand();
  PopupMenu1->addSeparator();
  Publishtoweb1 = PopupMenu1->addAction(QStringLiteral("Publish to web..."));
  connect(Publishtoweb1, &QAction::triggered, this, &TForm2::Publishtoweb1Click);

  Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Memo1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(Memo1->viewport()->mapToGlobal(pos)); });
}

void TForm2::NPC1Click() {
  if (openObjectPlacer) openObjectPlacer();
}

void TForm2::Marvolib1Click() {
  if (openLibraryEditor) openLibraryEditor();
}

void TForm2::NPC2Click() {
  if (openNpcMaker) openNpcMaker();
}

void TForm2::setVisible(bool visible) {
  // The text is coloured only while the window is shown: a scenario opened or replaced from the
  // main window (the editor hidden) does not pay for colouring every line. Colouring touches
  // only the layout, so the document's modified flag is kept as it was.
  QTextDocument* doc = Memo1->document();
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

void TForm2::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) activated();
  QDialog::changeEvent(event);
}

void TForm2::mousePressEvent(QMouseEvent* event) {
  ListBox1->hide();
  QDialog::mousePressEvent(event);
}

void TForm2::activated() {
  ListBox1->hide();
  Memo1->setFocus();
}

// ---- Scenario lines --------------------------------------------------------------------------
// The document holds each line as a block; after the final line break stands one more, empty
// block that is not a line (when the author removes that break, the last block is a line).

int TForm2::lineCount() const {
  const QTextDocument* doc = Memo1->document();
  const int blocks = doc->blockCount();
  return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

std::vector<std::string> TForm2::lines() const {
  // One pass over the document's raw text is far cheaper than asking every block for its text.
  const std::size_t count = static_cast<std::size_t>(lineCount());
  const QString raw = Memo1->document()->toRawText();
  const QStringView all(raw);
  std::vector<std::string> out;
  out.reserve(count);
  qsizetype start = 0;
  while (out.size() < count && start <= all.size()) {
    qsizetype end = all.indexOf(QChar::ParagraphSeparator, start);
    if (end < 0) end = all.size();
    out.push_back(toCp1251(all.sliced(start, end - start)));
    start = end + 1;
  }
  return out;
}

void TForm2::setLines(const std::vector<std::string>& lines) {
  const QString text = marvo::editor::linesToQt(lines);
  // Straight into the document: QPlainTextEdit::setPlainText would also re-apply the character
  // format to the whole new text, a second pass over every line. Undo history and the modified
  // flag are reset as a newly loaded text should have them.
  QTextDocument* doc = Memo1->document();
  pendingStart_ = QTextCursor();  // a property name being typed belongs to the old text
  doc->setPlainText(text);
  doc->setModified(false);
  caretToStart();
}

std::string TForm2::line(int index) const {
  if (index < 0 || index >= lineCount()) return {};
  return toCp1251(Memo1->document()->findBlockByNumber(index).text());
}

void TForm2::setBlockText(int index, const QString& text) {
  QTextCursor cursor(Memo1->document()->findBlockByNumber(index));
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  if (cursor.hasSelection()) cursor.removeSelectedText();
  cursor.insertText(text);
  cursor.endEditBlock();
}

void TForm2::replaceLine(int index, std::string_view text) {
  if (index < 0 || index >= lineCount()) return;
  QTextDocument* doc = Memo1->document();
  QTextCursor batch(doc);
  batch.beginEditBlock();
  setBlockText(index, toQString(text));
  // An emptied last block would no longer count as a line: give the text its final break.
  if (text.empty() && index == doc->blockCount() - 1) {
    batch.movePosition(QTextCursor::End);
    batch.insertBlock();
  }
  batch.endEditBlock();
}

void TForm2::insertLine(int index, std::string_view text) {
  const int count = lineCount();
  if (index < 0 || index > count) return;
  QTextDocument* doc = Memo1->document();
  QTextCursor cursor(doc);
  cursor.beginEditBlock();
  if (index < doc->blockCount()) {
    // Block `index` is a line or the empty block after the final break: put the new line before it.
    cursor.setPosition(doc->findBlockByNumber(index).position());
    cursor.insertText(toQString(text));
    cursor.insertBlock();
  } else {
    // The last line has no final break.
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(toQString(text));
    cursor.insertBlock();
  }
  cursor.endEditBlock();
}

void TForm2::appendLine(std::string_view text) { insertLine(lineCount(), text); }

void TForm2::clearText() {
  pendingStart_ = QTextCursor();
  Memo1->setPlainText(QString());
}

void TForm2::setVariablePane(const std::vector<std::string>& lines) {
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text.append(QLatin1Char('\n'));
    marvo::editor::appendQt(lines[i], text);
  }
  Memo2->setPlainText(text);
}

// ---- Navigation ------------------------------------------------------------------------------

int TForm2::caretLine() const { return Memo1->textCursor().blockNumber(); }

// Without line wrapping every block is one line, and the vertical scroll bar counts lines.
int TForm2::firstVisibleLine() const { return Memo1->verticalScrollBar()->value(); }

void TForm2::scrollToLine(int target) {
  const int first = firstVisibleLine();
  Memo1->verticalScrollBar()->setValue(first + (target - first));
}

void TForm2::moveCaretToLine(int index) {
  if (index < 0 || index >= lineCount()) return;
  caretToStartPending_ = false;  // the caret asked for wins over a pending move to the start
  Memo1->setTextCursor(QTextCursor(Memo1->document()->findBlockByNumber(index)));
  refreshLineIndicator();
  // The window may not be laid out yet: centre the line once it is.
  QTimer::singleShot(0, Memo1, [memo = Memo1] { memo->centerCursor(); });
}

void TForm2::rebuildLocationList() {
  QStringList items;
  for (const auto& item : marvo::editor::locationItems(lines())) items.append(toQString(item));
  ComboBox1->clear();
  ComboBox1->addItems(items);
  ComboBox1->setCurrentIndex(-1);
}

void TForm2::jumpToLocation(int index) {
  const std::string item = toCp1251(ComboBox1->itemText(index));
  scrollToLine(marvo::editor::findEqualLine(lines(), item));
  Memo1->setFocus();
}

void TForm2::search() {
  const std::string needle = marvo::editor::searchNeedle(toCp1251(Edit1->text()));
  scrollToLine(marvo::editor::findLineContaining(lines(), firstVisibleLine(), needle));
}

void TForm2::toggleCommonLocation() {
  if (commonToggle_) {
    commonToggle_ = false;
    scrollToLine(savedLine_);
    return;
  }
  commonToggle_ = true;
  savedLine_ = caretLine();
  const auto all = lines();
  const int target = marvo::editor::findCommonLine(all);
  if (target < static_cast<int>(all.size())) {
    scrollToLine(target);
    return;
  }
  QTextCursor batch(Memo1->document());
  batch.beginEditBlock();
  for (auto repair : marvo::editor::commonRepairLines()) appendLine(repair);
  batch.endEditBlock();
  scrollToLine(lineCount());
}

void TForm2::leaveForGame() {
  // The game starts in any case; errors found on the way are waiting in the problems list.
  checkBeforeGame();
  close();
  if (beginGame) beginGame();
}

void TForm2::leaveForMapEditor() {
  // The map editor opens over this window; this window closes when the map editor has closed.
  if (openMapEditor) openMapEditor();
  close();
}
