#include "host/paint/offscreen_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QGuiApplication>

namespace qx::paint {

// Qt wants a private runtime folder and warns when XDG_RUNTIME_DIR is not
// set (it is not in a plain shell or a container), so every PNG or PDF run
// would print a warning. The folder Qt would fall back to is given to it
// instead, made private as Qt asks.
void provideRuntimeFolder() {
  if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set && *set) return;
  const std::string folder = "/tmp/runtime-" + std::to_string(getuid());
  struct stat st {};
  if (mkdir(folder.c_str(), 0700) != 0 &&
      (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 0077) != 0))
    return;  // someone else's or not a folder: leave it to Qt to say so
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

void ensureOffscreenApplication() {
  if (QCoreApplication::instance()) return;
  provideRuntimeFolder();
  static int argc = 3;
  static char arg0[] = "quelvix", arg1[] = "-platform", arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace qx::paint
