// The Qt application object that painting outside the desktop app needs
// (fonts for text, the PDF writer): one on the off-screen platform, made
// when the process has none.
#pragma once

namespace qx::paint {

// Makes sure a Qt application object exists, using the off-screen platform
// when none does; it lives until the process ends.
void ensureOffscreenApplication();

// Sets XDG_RUNTIME_DIR to a private folder of the user's when it is not set,
// so Qt does not warn on standard error about a missing one.
void provideRuntimeFolder();

}  // namespace qx::paint
