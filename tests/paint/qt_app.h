// The Qt application the painting tests need (fonts, the off-screen
// platform), made once for the whole test program and never destroyed. The
// painting layer needs no widgets, so neither do its tests.
#pragma once

#include <QGuiApplication>

namespace qx::test {

inline void ensureApp() {
  if (QGuiApplication::instance()) return;
  static int argc = 1;
  static char name[] = "qx_tests_paint";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

}  // namespace qx::test
