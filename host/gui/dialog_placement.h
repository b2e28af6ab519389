// Where a dialog opens the first time: where it hides as little of the page
// as the screen allows, beside the document window when there is room, else
// at an edge of the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace qx::gui {

// The top-left corner for a dialog of `dialog` size (its frame) that keeps
// within `screen` and covers the least of `page` (global coordinates);
// among equal places the one nearest to the right of `window` wins.
QPoint placeBesidePage(QSize dialog, QRect page, QRect window, QRect screen);

}  // namespace qx::gui
