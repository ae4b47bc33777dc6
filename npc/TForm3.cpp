// NPC Maker window (placeholder until its issue builds it).
#include "TForm3.h"

TForm3::TForm3(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("NPC Maker"));
}
