// Runs the text-safety tests; recovery files and recent files stay in a scratch directory.
#include "window_test_main.h"

QObject* makeWindowSafetyTest();
QObject* makeWindowRecoveryTest();
QObject* makeWindowFileSafetyTest();

int main(int argc, char** argv) {
  return marvo::test::runWindowTests(argc, argv,
                                     {makeWindowSafetyTest, makeWindowRecoveryTest, makeWindowFileSafetyTest});
}
