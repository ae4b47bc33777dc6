// Runs the main window tests under the program's own application object.
#include <QTest>

#include "player/window_application.h"

QObject* makeWindowPlayTest();
QObject* makeWindowFilesTest();
QObject* makeWindowActivationTest();
QObject* makeWindowMessagesTest();

int main(int argc, char** argv) {
  marvo::Application app(argc, argv);
  int failed = 0;
  for (auto make : {makeWindowPlayTest, makeWindowFilesTest, makeWindowActivationTest, makeWindowMessagesTest}) {
    QObject* test = make();
    failed += QTest::qExec(test, argc, argv);
    delete test;
  }
  return failed == 0 ? 0 : 1;
}
