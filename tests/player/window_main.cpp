// Runs the main window tests under the program's own application object.
#include <QTemporaryDir>
#include <QTest>

#include "player/window_application.h"

QObject* makeWindowPlayTest();
QObject* makeWindowFilesTest();
QObject* makeWindowActivationTest();
QObject* makeWindowMessagesTest();

int main(int argc, char** argv) {
  // Recent files and recovery files of the windows stay out of the user's folders.
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  marvo::Application app(argc, argv);
  int failed = 0;
  for (auto make : {makeWindowPlayTest, makeWindowFilesTest, makeWindowActivationTest, makeWindowMessagesTest}) {
    QObject* test = make();
    failed += QTest::qExec(test, argc, argv);
    delete test;
  }
  return failed == 0 ? 0 : 1;
}
