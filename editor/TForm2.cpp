// The code editor window "Code Edit".
#include "TForm2.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "gui/dialogs.h"
#include "gui/qt_codec.h"

using marvo::fromQt;
using marvo::toQt;

namespace {
const char* const kTemplate[] = {
    "", "", "", "*- - - - - - Первая локация - - - - - - - - ", ":loc1", "", "", "", "READ", "", "",
    "* - - - - - Локация общего назначения - - - - - - - - - -", ":common", "", "", "RETURN", "", "",
};
}

TForm2::TForm2(marvo::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Code Edit"));
  Memo1 = new QPlainTextEdit(this);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo2 = new QPlainTextEdit(this);
  Memo2->setReadOnly(true);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Memo1, 3);
  layout->addWidget(Memo2, 1);
  QStringList text;
  for (const char* line : kTemplate) text.append(QString::fromUtf8(line));
  Memo1->setPlainText(text.join(QLatin1Char('\n')));
}

std::vector<std::string> TForm2::lines() const {
  std::vector<std::string> out;
  const int count = lineCount();
  out.reserve(static_cast<std::size_t>(count));
  auto block = Memo1->document()->firstBlock();
  for (int i = 0; i < count; ++i, block = block.next()) out.push_back(fromQt(block.text()));
  return out;
}

void TForm2::setLines(const std::vector<std::string>& lines) {
  Memo1->setPlainText(toQt(lines).join(QLatin1Char('\n')));
}

int TForm2::lineCount() const {
  auto* doc = Memo1->document();
  if (doc->blockCount() == 1 && doc->firstBlock().text().isEmpty()) return 0;
  return doc->blockCount();
}

std::string TForm2::line(int index) const {
  return fromQt(Memo1->document()->findBlockByNumber(index).text());
}

void TForm2::replaceLine(int index, std::string_view text) {
  auto all = lines();
  if (index < 0 || index >= static_cast<int>(all.size())) return;
  all[static_cast<std::size_t>(index)] = std::string(text);
  setLines(all);
}

void TForm2::insertLine(int index, std::string_view text) {
  auto all = lines();
  if (index < 0 || index > static_cast<int>(all.size())) return;
  all.insert(all.begin() + index, std::string(text));
  setLines(all);
}

void TForm2::appendLine(std::string_view text) { insertLine(lineCount(), text); }

void TForm2::clearText() { Memo1->clear(); }

void TForm2::setVariablePane(const std::vector<std::string>& lines) {
  Memo2->setPlainText(toQt(lines).join(QLatin1Char('\n')));
}
