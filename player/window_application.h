// The application object of marvo: shows an error that escapes an event handler and goes on.
#pragma once

#include <QApplication>

class QTranslator;

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

  // Qt's own Russian texts (the buttons and captions of standard dialogs), from the folder of Qt's
  // translations. Returns the installed translator (owned by the application), or nullptr when
  // Qt's Russian translation is not installed: the standard dialogs then stay in English.
  QTranslator* loadQtTranslations();

 private:
  Dialogs* dialogs_ = nullptr;
};

}  // namespace marvo
