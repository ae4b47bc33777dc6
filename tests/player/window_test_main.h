// The main function of the window test programs: the given Qt Test classes run under the program's
// own application object, with the user's data and settings folders in a scratch directory.
#pragma once

#include <QTest>
#include <initializer_list>

#include "player/window_application.h"
#include "tests/support/private_settings.h"

namespace marvo::test {

inline int runWindowTests(int argc, char** argv, std::initializer_list<QObject* (*)()> makers) {
  // Recent files and recovery files of the windows stay out of the user's folders.
  usePrivateSettings();
  Application app(argc, argv);
  int failed = 0;
  for (auto make : makers) {
    QObject* test = make();
    failed += QTest::qExec(test, argc, argv);
    delete test;
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace marvo::test
