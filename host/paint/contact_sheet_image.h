// The contact sheet painted: each cell's thumbnail fitted into its square,
// its label centred in the band below, on a white ground (the layout of
// session/contact_sheet.h).
#pragma once

#include <string>

#include "host/session/contact_sheet.h"

class QImage;

namespace qx::paint {

// The whole sheet; a null image when it would be larger than
// kMaxContactSheetPixels or there is no memory for it.
QImage contactSheetImage(const host::ContactSheet& sheet);

// The sheet as a PNG at `path`, written atomically. False and a one-line
// reason in *error.
bool writeContactSheet(const host::ContactSheet& sheet, const std::string& path, std::string* error);

}  // namespace qx::paint
