// The library editor window "Library edit".
#include "TForm4.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include "gui/dialogs.h"
#include "gui/qt_codec.h"

TForm4::TForm4(marvo::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Library edit"));
  RichEdit1 = new QPlainTextEdit(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichEdit1);
}

std::vector<std::string> TForm4::libraryLines() const {
  std::vector<std::string> out;
  auto* doc = RichEdit1->document();
  if (doc->blockCount() == 1 && doc->firstBlock().text().isEmpty()) return out;
  for (auto block = doc->firstBlock(); block.isValid(); block = block.next())
    out.push_back(marvo::fromQt(block.text()));
  return out;
}

void TForm4::setLibraryLines(const std::vector<std::string>& lines) {
  RichEdit1->setPlainText(marvo::toQt(lines).join(QLatin1Char('\n')));
}
