// Map editor window (placeholder until its issue builds it).
#include "TMap.h"

TMap::TMap(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Map editor"));
}
