#include "host/document/art_copy.h"

#include <vector>

#include "host/document/art_walk.h"

namespace qx::host {
namespace {

// A gradient or pattern colour of `from`, given an id of `to` that shows it
// the same way.
QxColor carried(const QxColor& color, const ArtStore& from, ArtStore& to) {
  if (color.kind != QX_COLOR_GRADIENT && color.kind != QX_COLOR_PATTERN) return color;
  QxPathStyle probe{};
  probe.fill.color = color;
  const QxColor shown = from.shownStyle(probe).fill.color;
  QxColor out = color;
  const int32_t id = shown.kind == color.kind ? -1 : to.addShownColor(shown);
  if (color.kind == QX_COLOR_GRADIENT) out.c.gradient.id = id;
  else out.c.pattern.id = id;
  return out;
}

}  // namespace

QxErr copyArt(const Document& from, Document& to, size_t* copied) {
  *copied = 0;
  if (&from == &to) return QX_ERR_BAD_PARAM;
  const ArtStore& source = from.art();
  ArtStore& target = to.art();
  ArtWalk walk(source);
  ArtStep step;
  std::vector<QxArtHandle> parents;  // the containers being filled, innermost last
  while (walk.next(&step)) {
    if (step.kind == ArtStep::kLeave) {
      if (!parents.empty()) parents.pop_back();
      continue;
    }
    const ArtView& art = step.view;
    QxArtHandle made = nullptr;
    QxErr code = parents.empty() ? target.newArt(art.type, QX_PLACE_ABOVE_ALL, nullptr, &made)
                                 : target.newArt(art.type, QX_PLACE_INSIDE_ON_TOP, parents.back(), &made);
    if (code) return code;
    ++*copied;
    if (art.hasStyle()) {
      QxPathStyle style = art.style();
      style.fill.color = carried(style.fill.color, source, target);
      style.stroke.color = carried(style.stroke.color, source, target);
      code = target.setPathStyle(made, style);
    }
    if (!code && art.type == QX_ART_PATH && !art.segments.empty()) {
      code = target.setSegments(made, 0, static_cast<int32_t>(art.segments.size()), art.segments.data());
      if (!code) code = target.setClosed(made, art.closed);
    }
    if (!code && !art.hasStyle() && step.kind == ArtStep::kArt && art.type != QX_ART_PATH)
      code = target.setItemOutline(made, art.bounds());
    if (!code) code = target.setOpacity(made, art.opacity);
    const std::string& name = from.artName(step.art);
    if (!code && !name.empty() && !to.findArtByName(name)) code = to.setArtName(made, name);
    if (code) return code;
    if (step.kind == ArtStep::kEnter) parents.push_back(made);
  }
  return walk.lost() ? QX_ERR_BAD_PARAM : QX_ERR_NONE;
}

}  // namespace qx::host
