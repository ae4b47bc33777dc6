// The application object of marvo: shows an error that escapes an event handler and goes on.
#pragma once

#include <QApplication>

namespace marvo {

class Dialogs;

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);

  // The seam through which errors are shown; without one a plain message box is used.
  void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

  // The standard error display: a message box with the error's text.
  void showError(const QString& text);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Dialogs* dialogs_ = nullptr;
};

}  // namespace marvo
