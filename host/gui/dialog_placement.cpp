#include "host/gui/dialog_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace qx::gui {
namespace {

QPoint clampTo(QPoint at, QSize size, QRect screen) {
  const int x = std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
  const int y = std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
  return QPoint(x, y);
}

int64_t overlap(QRect a, QRect b) {
  const QRect both = a.intersected(b);
  return both.isEmpty() ? 0 : int64_t{both.width()} * both.height();
}

}  // namespace

QPoint placeBesidePage(QSize dialog, QRect page, QRect window, QRect screen) {
  const int w = dialog.width(), h = dialog.height();
  // Beside the window first (right, left, below, above), then the screen's
  // corners and the page's own edges.
  const std::vector<QPoint> candidates{
      {window.right() + 1, window.top()},
      {window.left() - w, window.top()},
      {window.left(), window.bottom() + 1},
      {window.left(), window.top() - h},
      {screen.right() + 1 - w, screen.top()},
      {screen.left(), screen.top()},
      {screen.right() + 1 - w, screen.bottom() + 1 - h},
      {screen.left(), screen.bottom() + 1 - h},
      {page.right() + 1, page.top()},
      {page.left() - w, page.top()},
      {page.left(), page.bottom() + 1},
      {page.left(), page.top() - h},
  };
  QPoint best = clampTo(candidates.front(), dialog, screen);
  int64_t least = std::numeric_limits<int64_t>::max();
  for (QPoint at : candidates) {
    const QPoint placed = clampTo(at, dialog, screen);
    const int64_t covered = overlap(QRect(placed, dialog), page);
    if (covered < least) {
      least = covered;
      best = placed;
    }
  }
  return best;
}

}  // namespace qx::gui
