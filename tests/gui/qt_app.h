// The QApplication a test of the app outside the window fixture needs, made
// once for the whole test program (as the window tests' is) and never
// destroyed: a QGuiApplication in its place would leave the widgets without
// theirs.
#pragma once

#include <QApplication>

namespace qx::test {

inline void ensureApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "qx_tests_gui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace qx::test
