// Runs the text-safety tests with the user's data and settings folders in a scratch directory.
#include <QTemporaryDir>
#include <QTest>

#include "player/window_application.h"

QObject* makeWindowSafetyTest();
QObject* makeWindowRecoveryTest();

int main(int argc, char** argv) {
  // Recovery files and recent files must not touch the real user's folders.
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  marvo::Application app(argc, argv);
  int failed = 0;
  for (auto make : {makeWindowSafetyTest, makeWindowRecoveryTest}) {
    QObject* test = make();
    failed += QTest::qExec(test, argc, argv);
    delete test;
  }
  return failed == 0 ? 0 : 1;
}
