// Find and Replace, Go to line: bars above the code editor's text.
#include "find_bar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "code_view.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"

namespace marvo {

namespace {

bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// Text buttons: tool buttons, so that Enter in a field is never taken by a dialog's default button.
QToolButton* button(const QString& text, const QString& tip, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(tip);
  b->setAutoRaise(false);
  return b;
}

bool fitsCp1251(const QString& text) { return toQt(toCp1251(text)) == text; }

}  // namespace

FindBar::FindBar(CodeView& view, ScenarioDocument& document, QWidget* parent)
    : QWidget(parent), view_(view), document_(document) {
  setObjectName(QStringLiteral("findBar"));
  findField_ = new QLineEdit(this);
  findField_->setAccessibleName(QStringLiteral("Найти"));
  findField_->setPlaceholderText(QStringLiteral("Искомый текст"));
  findField_->setClearButtonEnabled(true);
  replaceField_ = new QLineEdit(this);
  replaceField_->setAccessibleName(QStringLiteral("Заменить на"));
  replaceField_->setPlaceholderText(QStringLiteral("Чем заменить"));
  matchCaseBox_ = new QCheckBox(QStringLiteral("Учитывать регистр"), this);
  wholeWordBox_ = new QCheckBox(QStringLiteral("Слово целиком"), this);
  statusLabel_ = new QLabel(this);
  previousButton_ = button(QStringLiteral("Назад"), QStringLiteral("Предыдущее совпадение (Shift+Enter)"), this);
  nextButton_ = button(QStringLiteral("Далее"), QStringLiteral("Следующее совпадение (Enter)"), this);
  replaceButton_ = button(QStringLiteral("Заменить"), QStringLiteral("Заменить выделенное совпадение (Enter)"), this);
  replaceAllButton_ = button(QStringLiteral("Заменить все"), QStringLiteral("Заменить все совпадения в тексте"), this);
  closeButton_ = button(QStringLiteral("✕"), QStringLiteral("Закрыть (Esc)"), this);

  auto* findRow = new QHBoxLayout;
  findRow->addWidget(new QLabel(QStringLiteral("Найти:"), this));
  findRow->addWidget(findField_, 1);
  findRow->addWidget(previousButton_);
  findRow->addWidget(nextButton_);
  findRow->addWidget(matchCaseBox_);
  findRow->addWidget(wholeWordBox_);
  findRow->addWidget(statusLabel_);
  findRow->addStretch();
  findRow->addWidget(closeButton_);
  replaceRow_ = new QWidget(this);
  auto* replaceRow = new QHBoxLayout(replaceRow_);
  replaceRow->setContentsMargins(0, 0, 0, 0);
  replaceRow->addWidget(new QLabel(QStringLiteral("Заменить на:"), replaceRow_));
  replaceRow->addWidget(replaceField_, 1);
  replaceField_->setParent(replaceRow_);
  replaceButton_->setParent(replaceRow_);
  replaceAllButton_->setParent(replaceRow_);
  replaceRow->addWidget(replaceButton_);
  replaceRow->addWidget(replaceAllButton_);
  replaceRow->addStretch();
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 2, 0, 2);
  column->addLayout(findRow);
  column->addWidget(replaceRow_);

  recount_ = new QTimer(this);
  recount_->setSingleShot(true);
  recount_->setInterval(150);
  connect(recount_, &QTimer::timeout, this, &FindBar::showCount);
  connect(findField_, &QLineEdit::textChanged, this, &FindBar::refresh);
  connect(matchCaseBox_, &QCheckBox::toggled, this, &FindBar::refresh);
  connect(wholeWordBox_, &QCheckBox::toggled, this, &FindBar::refresh);
  connect(nextButton_, &QToolButton::clicked, this, &FindBar::findNext);
  connect(previousButton_, &QToolButton::clicked, this, &FindBar::findPrevious);
  connect(replaceButton_, &QToolButton::clicked, this, &FindBar::replaceCurrent);
  connect(replaceAllButton_, &QToolButton::clicked, this, &FindBar::replaceAll);
  connect(closeButton_, &QToolButton::clicked, this, &FindBar::closeBar);
  connect(view_.document(), &QTextDocument::contentsChanged, this, [this] {
    if (isVisible()) recount_->start();
  });
  findField_->installEventFilter(this);
  replaceField_->installEventFilter(this);
  hide();
}

void FindBar::openFind() { open(false); }

void FindBar::openReplace() { open(true); }

void FindBar::open(bool withReplace) {
  const QTextCursor caret = view_.textCursor();
  if (caret.hasSelection()) {
    const QString selected = caret.selectedText();
    // A selection over several lines holds paragraph separators: it is no text to find.
    if (!selected.contains(QChar::ParagraphSeparator)) findField_->setText(selected);
  }
  replaceRow_->setVisible(withReplace);
  show();
  refresh();
  findField_->setFocus();
  findField_->selectAll();
}

void FindBar::closeBar() {
  hide();
  view_.setMarkedText({}, {});
  view_.setFocus();
}

editor::FindOptions FindBar::options() const {
  return {.matchCase = matchCaseBox_->isChecked(), .wholeWord = wholeWordBox_->isChecked()};
}

bool FindBar::needle(std::string& out) const {
  const QString text = findField_->text();
  if (!fitsCp1251(text)) return false;
  out = toCp1251(text);
  return !out.empty();
}

void FindBar::refresh() {
  std::string wanted;
  view_.setMarkedText(needle(wanted) ? wanted : std::string(), options());
  showCount();
}

int FindBar::matchCount() const {
  std::string wanted;
  if (!needle(wanted)) return 0;
  int count = 0;
  std::string line;
  for (QTextBlock block = view_.document()->begin(); block.isValid(); block = block.next()) {
    line.clear();
    appendCp1251(block.text(), line);
    count += static_cast<int>(editor::findInLine(line, wanted, options()).size());
  }
  return count;
}

void FindBar::showCount() {
  recount_->stop();
  const QString text = findField_->text();
  if (text.isEmpty()) {
    statusLabel_->clear();
  } else if (!fitsCp1251(text)) {
    statusLabel_->setText(QStringLiteral("Таких знаков нет в Windows-1251: в сценарии их быть не может"));
  } else {
    const int count = matchCount();
    statusLabel_->setText(count ? QStringLiteral("Совпадений: %1").arg(count) : QStringLiteral("Не найдено"));
  }
}

bool FindBar::findNext() { return find(true); }

bool FindBar::findPrevious() { return find(false); }

bool FindBar::find(bool forward) {
  std::string wanted;
  if (!needle(wanted)) return false;
  const auto opts = options();
  QTextDocument* doc = view_.document();
  const QTextCursor caret = view_.textCursor();
  const QTextBlock start = doc->findBlock(forward ? caret.selectionEnd() : caret.selectionStart());
  const int startColumn = (forward ? caret.selectionEnd() : caret.selectionStart()) - start.position();
  std::string line;
  // Every line from the caret's line round the end of the text and back to it: the caret's line
  // first for the part beyond the caret, last for the part before it.
  const int lineCount = doc->blockCount();
  QTextBlock block = start;
  for (int step = 0; step <= lineCount; ++step) {
    const bool beyondCaret = step == 0, beforeCaret = step == lineCount;
    line.clear();
    appendCp1251(block.text(), line);
    auto found = editor::findInLine(line, wanted, opts);
    if (!forward) std::reverse(found.begin(), found.end());
    int column = -1;
    for (int c : found) {
      const bool after = forward ? c >= startColumn : c < startColumn;
      if ((beyondCaret && !after) || (beforeCaret && after)) continue;
      column = c;
      break;
    }
    if (column >= 0) {
      QTextCursor match(block);
      match.setPosition(block.position() + column);
      match.setPosition(block.position() + column + static_cast<int>(wanted.size()), QTextCursor::KeepAnchor);
      view_.setTextCursor(match);
      view_.centerCursor();
      emit caretMoved();
      return true;
    }
    block = forward ? block.next() : block.previous();
    if (!block.isValid()) block = forward ? doc->firstBlock() : doc->lastBlock();
  }
  statusLabel_->setText(QStringLiteral("Не найдено"));
  return false;
}

bool FindBar::selectionIsMatch() const {
  std::string wanted;
  const QTextCursor caret = view_.textCursor();
  if (!needle(wanted) || !caret.hasSelection()) return false;
  const QTextBlock block = view_.document()->findBlock(caret.selectionStart());
  if (caret.selectionEnd() - caret.selectionStart() != static_cast<int>(wanted.size()) ||
      caret.selectionEnd() > block.position() + block.length() - 1)
    return false;
  return editor::matchesAt(toCp1251(block.text()), caret.selectionStart() - block.position(), wanted, options());
}

bool FindBar::replaceCurrent() {
  if (selectionIsMatch()) {
    QTextCursor caret = view_.textCursor();
    // The replacement goes in as the text would hold it: Windows-1251 ("?" for what it cannot hold).
    caret.insertText(toQt(toCp1251(replaceField_->text())));
    view_.setTextCursor(caret);
  }
  return findNext();
}

int FindBar::replaceAll() {
  std::string wanted;
  if (!needle(wanted)) return 0;
  const std::string replacement = toCp1251(replaceField_->text());
  const auto lines = document_.lines();
  int total = 0;
  {
    ScenarioDocument::UndoStep step(document_);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
      int count = 0;
      std::string changed =
          editor::replaceInLine(lines[static_cast<std::size_t>(i)], wanted, replacement, options(), count);
      if (count == 0) continue;
      document_.replaceLine(i, changed);
      total += count;
    }
  }
  showCount();
  statusLabel_->setText(total ? QStringLiteral("Заменено: %1").arg(total) : QStringLiteral("Не найдено"));
  return total;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      closeBar();
      return true;
    }
    if (isEnter(key)) {
      if (watched == replaceField_)
        replaceCurrent();
      else if (key->modifiers() & Qt::ShiftModifier)
        findPrevious();
      else
        findNext();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Go to line ------------------------------------------------------------------------------

GoToLineBar::GoToLineBar(CodeView& view, QWidget* parent) : QWidget(parent), view_(view) {
  setObjectName(QStringLiteral("goToLineBar"));
  lineField_ = new QLineEdit(this);
  lineField_->setAccessibleName(QStringLiteral("Номер строки"));
  lineField_->setValidator(new QIntValidator(1, 999'999'999, lineField_));
  lineField_->setMaximumWidth(120);
  rangeLabel_ = new QLabel(this);
  auto* go = button(QStringLiteral("Перейти"), QStringLiteral("Перейти к строке (Enter)"), this);
  auto* close = button(QStringLiteral("✕"), QStringLiteral("Закрыть (Esc)"), this);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 2, 0, 2);
  row->addWidget(new QLabel(QStringLiteral("Перейти к строке:"), this));
  row->addWidget(lineField_);
  row->addWidget(rangeLabel_);
  row->addWidget(go);
  row->addStretch();
  row->addWidget(close);
  connect(go, &QToolButton::clicked, this, [this] { goTo(lineField_->text().toInt()); });
  connect(close, &QToolButton::clicked, this, &GoToLineBar::closeBar);
  lineField_->installEventFilter(this);
  hide();
}

void GoToLineBar::open() {
  rangeLabel_->setText(QStringLiteral("(номер с 1, всего %1)").arg(view_.document()->blockCount()));
  lineField_->setText(QString::number(view_.textCursor().blockNumber() + 1));
  show();
  lineField_->setFocus();
  lineField_->selectAll();
}

void GoToLineBar::closeBar() {
  hide();
  view_.setFocus();
}

void GoToLineBar::goTo(int number) {
  QTextDocument* doc = view_.document();
  const int index = std::clamp(number, 1, std::max(1, doc->blockCount())) - 1;
  view_.setTextCursor(QTextCursor(doc->findBlockByNumber(index)));
  view_.centerCursor();
  closeBar();
  emit caretMoved();
}

bool GoToLineBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineField_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      closeBar();
      return true;
    }
    if (isEnter(key)) {
      if (!lineField_->text().isEmpty()) goTo(lineField_->text().toInt());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace marvo
