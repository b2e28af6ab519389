#include "startup.h"

#include <cstdint>

#include "globals.h"
#include "pascal_strings.h"
#include "suite_table.h"
#include "filter/selection.h"
#include "suites.h"

PluginGlobals* gGlobals = nullptr;

namespace {

constexpr int32_t kRegistrationList = 16000;
constexpr int32_t kRegistrationTextSize = 65;

// Read one entry of the registration list. A failed read leaves the buffer
// empty, which ends the registration like a missing entry.
void ReadRegistrationText(QxMessageData* message, int16_t index, char* buffer) {
  buffer[0] = 0;
  gAdmBasicSuite->GetIndexString(message->self, kRegistrationList, index, buffer, kRegistrationTextSize);
}

}  // namespace

QxErr StartupPlugin(QxMessageData* message) {
  // The block holds two handles next to the counts, so it takes the whole
  // structure's size, and it is set up at once: a Go that comes before any
  // dialog then finds no selection instead of stale bytes.
  void* block = nullptr;
  QxErr err = gBlocksSuite->AllocateBlock(sizeof(PluginGlobals), "globals", &block);
  if (err != 0) return err;
  gGlobals = static_cast<PluginGlobals*>(block);
  gGlobals->filterHandles[0] = nullptr;
  gGlobals->filterCount = 0;
  gGlobals->selectionList = nullptr;
  gGlobals->selectionCount = -1;
  return RegisterFilters(message);
}

QxErr RegisterFilters(QxMessageData* message) {
  int16_t index = 1;
  int32_t count = 0;
  do {
    char category[kRegistrationTextSize];
    char title[kRegistrationTextSize];
    ReadRegistrationText(message, index, category);
    if (category[0] == 0) break;
    ReadRegistrationText(message, static_cast<int16_t>(index + 1), title);

    // The filter suite takes length-prefixed texts; these short buffers
    // always convert.
    QxPlatformFilterData menuTexts;
    menuTexts.category = ToLengthPrefixed(category);
    menuTexts.title = ToLengthPrefixed(title);
    QxErr err = gFilterSuite->AddFilter(message->self, "Quelvix", &menuTexts, QX_FILTER_OPTIONS_NONE,
                                        &gGlobals->filterHandles[count]);
    if (err != 0) return err;

    QxMenuItemHandle menuItem = nullptr;
    err = gFilterSuite->GetFilterMenuItem(gGlobals->filterHandles[count], &menuItem);
    if (err != 0) return err;
    // Fixed values: when the item is enabled or dimmed is the host's business.
    err = gMenuSuite->UpdateMenuItemAutomatically(menuItem, QX_MENU_AUTO_ENABLE, QX_IF_NONE, QX_IF_NONE, QX_IF_NONE,
                                                  QX_IF_NONE, QX_IF_DOCUMENT_OPEN, QX_IF_NONE);
    if (err != 0) return err;

    index = static_cast<int16_t>(index + 2);
    ++count;
  } while (index < 2);  // one pair only: filterHandles has room for one filter
  gGlobals->filterCount = count;
  return 0;
}

QxErr UnloadPlugin(QxMessageData* message) {
  message->globals = gGlobals;
  return 0;
}

QxErr ReloadPlugin(QxMessageData* message) {
  gGlobals = static_cast<PluginGlobals*>(message->globals);
  ResetSuiteNesting();
  return 0;
}

QxErr ShutdownPlugin(QxMessageData* message) {
  const QxErr err = message->basic->AcquireSuite(QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION,
                                                 reinterpret_cast<const void**>(&gBlocksSuite));
  if (err == 0) {
    // A selection gathered by a dialog that was cancelled is still held: no
    // Go came to release it.
    if (gGlobals != nullptr && gMemorySuite != nullptr) ReleaseSelection();
    if (gGlobals != nullptr) gBlocksSuite->FreeBlock(gGlobals);
    gGlobals = nullptr;
    message->basic->ReleaseSuite(QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION);
  }
  message->globals = nullptr;
  return err;
}
