// NPC Maker window (placeholder until its issue builds it).
#pragma once

#include <QDialog>

class TForm2;
namespace marvo {
class Dialogs;
}

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  TForm3(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

 private:
  TForm2& editor_;
  marvo::Dialogs& dialogs_;
};
