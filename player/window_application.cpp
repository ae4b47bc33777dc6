// The application object of marvo: the standard error display for exceptions of event handlers.
#include "window_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

#include "gui/dialogs.h"

namespace marvo {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::showError(const QString& text) {
  if (dialogs_) {
    dialogs_->message(activeWindow(), text);
    return;
  }
  QMessageBox box(activeWindow());
  box.setIcon(QMessageBox::Critical);
  box.setText(text);
  box.exec();
}

QTranslator* Application::loadQtTranslations() {
  // The program speaks Russian whatever the system's language, and so do Qt's dialogs.
  auto* translator = new QTranslator(this);
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  installTranslator(translator);
  return translator;
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    showError(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace marvo
