// Установка объектов window (placeholder until its issue builds it).
#include "Tpred.h"

Tpred::Tpred(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Установка объектов"));
}
