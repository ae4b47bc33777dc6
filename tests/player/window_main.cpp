// Runs the main window tests under the program's own application object.
#include "window_test_main.h"

QObject* makeWindowPlayTest();
QObject* makeWindowFilesTest();
QObject* makeWindowActivationTest();
QObject* makeWindowMessagesTest();
QObject* makeWindowAidsTest();
QObject* makeWindowRewindTest();

int main(int argc, char** argv) {
  return marvo::test::runWindowTests(argc, argv,
                                     {makeWindowPlayTest, makeWindowFilesTest, makeWindowActivationTest,
                                      makeWindowMessagesTest, makeWindowAidsTest, makeWindowRewindTest});
}
