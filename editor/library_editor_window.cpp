// The library editor window "Library edit": the library text in a plain text area, saved to "marvo.lib".
#include "library_editor_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "code_view.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/qt_codec.h"
#include "scenario_highlighter.h"

namespace marvo {

LibraryEditorWindow::LibraryEditorWindow(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Library edit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  toolBar_ = new QToolBar(this);
  saveButton_ = new QToolButton(toolBar_);
  saveButton_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  saveButton_->setToolTip(QStringLiteral("Save"));
  toolBar_->addWidget(saveButton_);
  connect(saveButton_, &QToolButton::clicked, this, &LibraryEditorWindow::saveLibrary);

  lineIndicator_ = new QLabel(toolBar_);
  lineIndicator_->setContentsMargins(12, 0, 0, 0);
  toolBar_->addWidget(lineIndicator_);

  libraryView_ = new CodeView(this);
  libraryView_->setAccessibleName(QStringLiteral("Текст библиотеки"));
  libraryView_->setLineWrapMode(QPlainTextEdit::NoWrap);
  libraryView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  libraryView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  libraryView_->setTabChangesFocus(false);
  highlighter_ = new ScenarioHighlighter(this);
  highlighter_->followBackgroundOf(libraryView_);
  connect(libraryView_, &QPlainTextEdit::cursorPositionChanged, this, &LibraryEditorWindow::refreshLineIndicator);
  connect(libraryView_, &QPlainTextEdit::blockCountChanged, this, &LibraryEditorWindow::refreshLineIndicator);
  refreshLineIndicator();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar_);
  layout->addWidget(libraryView_);
  setFixedSize(569, 359);

  // Key preview: Esc closes the window whichever control has the focus.
  libraryView_->installEventFilter(this);
  saveButton_->installEventFilter(this);
}

std::vector<std::string> LibraryEditorWindow::libraryLines() const {
  const QTextDocument* doc = libraryView_->document();
  const int count = doc->lastBlock().length() <= 1 ? doc->blockCount() - 1 : doc->blockCount();
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(count));
  QTextBlock block = doc->firstBlock();
  for (int i = 0; i < count; ++i, block = block.next()) out.push_back(toCp1251(block.text()));
  return out;
}

void LibraryEditorWindow::setLibraryLines(const std::vector<std::string>& lines) {
  QString text;
  for (const auto& line : lines) {
    appendQt(line, text);
    text.append(QLatin1Char('\n'));
  }
  libraryView_->setPlainText(text);
}

std::string LibraryEditorWindow::libraryText() const {
  std::string out;
  for (QTextBlock block = libraryView_->document()->firstBlock(); block.isValid(); block = block.next()) {
    if (block != libraryView_->document()->firstBlock()) out += "\r\n";
    appendCp1251(block.text(), out);
  }
  return out;
}

void LibraryEditorWindow::setLibraryText(std::string_view cp1251) {
  // Text after a NUL byte is not part of the library, as when the file is read line by line.
  cp1251 = cp1251.substr(0, cp1251.find('\0'));
  // setPlainText makes a block of every CR, LF and CR LF.
  libraryView_->setPlainText(toQt(cp1251));
}

void LibraryEditorWindow::refreshLineIndicator() {
  lineIndicator_->setText(QStringLiteral("Строка %1 из %2")
                              .arg(libraryView_->textCursor().blockNumber() + 1)
                              .arg(libraryView_->document()->blockCount()));
}

void LibraryEditorWindow::setVisible(bool visible) {
  // The library is loaded at every activation of the main window, hidden: it is coloured only
  // while shown. Colouring touches only the layout, so the modified flag stays as it was.
  QTextDocument* doc = libraryView_->document();
  const bool modified = doc->isModified();
  if (visible && !highlighter_->document() && doc->characterCount() <= ScenarioHighlighter::kLargestColouredText)
    highlighter_->setDocument(doc);
  else if (!visible && highlighter_->document())
    highlighter_->setDocument(nullptr);
  QDialog::setVisible(visible);
  doc->setModified(modified);
}

bool LibraryEditorWindow::saveLibrary() {
  if (const auto error = replaceFile("marvo.lib", libraryText())) {
    dialogs_.message(this, QStringLiteral("Библиотека не сохранена: %1.").arg(fileProblem(*error)));
    return false;
  }
  dialogs_.message(this, QStringLiteral("Marvo.lib saved"));
  return true;
}

bool LibraryEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      close();
      return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == libraryView_ && enter && (key->modifiers() & Qt::ShiftModifier)) {
      // Shift+Enter would break the line inside its block, a break that no library line can
      // hold (it would be saved as "?"): every line break starts a new line.
      QTextCursor cursor = libraryView_->textCursor();
      cursor.insertBlock();
      libraryView_->setTextCursor(cursor);
      libraryView_->ensureCursorVisible();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void LibraryEditorWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace marvo
