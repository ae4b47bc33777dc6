// The library editor window "Library edit".
#include "TForm4.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "line_codec.h"

using marvo::editor::toCp1251;
using marvo::editor::toQString;

TForm4::TForm4(marvo::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Library edit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  ToolBar1 = new QToolBar(this);
  ToolButton2 = new QToolButton(ToolBar1);
  ToolButton2->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  ToolButton2->setToolTip(QStringLiteral("Save"));
  ToolBar1->addWidget(ToolButton2);
  connect(ToolButton2, &QToolButton::clicked, this, &TForm4::ToolButton2Click);

  RichEdit1 = new QPlainTextEdit(this);
  RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setTabChangesFocus(false);
  RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addWidget(RichEdit1);
  setFixedSize(569, 359);

  // Key preview: Esc closes the window whichever control has the focus.
  RichEdit1->installEventFilter(this);
  ToolButton2->installEventFilter(this);
}

std::vector<std::string> TForm4::libraryLines() const {
  const QTextDocument* doc = RichEdit1->document();
  const int count = doc->lastBlock().length() <= 1 ? doc->blockCount() - 1 : doc->blockCount();
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(count));
  QTextBlock block = doc->firstBlock();
  for (int i = 0; i < count; ++i, block = block.next()) out.push_back(toCp1251(block.text()));
  return out;
}

void TForm4::setLibraryLines(const std::vector<std::string>& lines) {
  QString text;
  for (const auto& line : lines) {
    marvo::editor::appendQt(line, text);
    text.append(QLatin1Char('\n'));
  }
  RichEdit1->setPlainText(text);
}

std::string TForm4::libraryText() const {
  std::string out;
  for (QTextBlock block = RichEdit1->document()->firstBlock(); block.isValid(); block = block.next()) {
    if (block != RichEdit1->document()->firstBlock()) out += "\r\n";
    marvo::editor::appendCp1251(block.text(), out);
  }
  return out;
}

void TForm4::setLibraryText(std::string_view cp1251) {
  // Text after a NUL byte is not part of the library, as when the file is read line by line.
  cp1251 = cp1251.substr(0, cp1251.find('\0'));
  // setPlainText makes a block of every CR, LF and CR LF.
  RichEdit1->setPlainText(toQString(cp1251));
}

bool TForm4::ToolButton2Click() {
  if (const auto error = marvo::replaceFile("marvo.lib", libraryText())) {
    dialogs_.message(this, QString::fromStdString(*error));
    return false;
  }
  dialogs_.message(this, QStringLiteral("Marvo.lib saved"));
  return true;
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      close();
      return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == RichEdit1 && enter && (key->modifiers() & Qt::ShiftModifier)) {
      // Shift+Enter would break the line inside its block, a break that no library line can
      // hold (it would be saved as "?"): every line break starts a new line.
      QTextCursor cursor = RichEdit1->textCursor();
      cursor.insertBlock();
      RichEdit1->setTextCursor(cursor);
      RichEdit1->ensureCursorVisible();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm4::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}
