#include "host/plot/art_source.h"

#include <cmath>

#include "host/document/art_store.h"

namespace qx::plot {
namespace {

bool finite(const QxRealPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool plain(const QxColor& c) { return c.kind == QX_COLOR_GRAY || c.kind == QX_COLOR_PROCESS || c.kind == QX_COLOR_RGB || c.kind == QX_COLOR_NONE; }

// The style as shown, copied once: only gradients, patterns and spots need
// the store's shown colours.
void setShownStyle(const host::ArtStore& store, const QxPathStyle& style, QxPathStyle* out) {
  if (plain(style.fill.color) && plain(style.stroke.color)) *out = style;
  else *out = store.shownStyle(style);
}

}  // namespace

ArtSource::ArtSource(const host::ArtStore& store) : store_(store), walk_(store, host::ArtWalk::Order::kTopDown) {}

bool ArtSource::addOutline(const host::ArtInfo& info, PlotObject* object) {
  if (info.segments.empty()) return false;
  for (const QxPathSegment& s : info.segments) {
    if (!finite(s.p) || !finite(s.in) || !finite(s.out)) return false;
    object->box.add(Point{s.p.x, s.p.y});
    object->box.add(Point{s.in.x, s.in.y});
    object->box.add(Point{s.out.x, s.out.y});
  }
  object->outlines.push_back({info.segments, info.closed});
  return true;
}

bool ArtSource::readPath(QxArtHandle art, PlotObject* object) {
  host::ArtInfo info;
  if (!store_.describe(art, &info, false) || !info.hasStyle) return false;
  setShownStyle(store_, info.style, &object->style);
  object->opacity = info.opacity * (opacity_.empty() ? 1.0 : opacity_.back());
  object->outlines.clear();
  object->box = Box();
  return addOutline(info, object);
}

void ArtSource::enter(const host::ArtStep& step, PlotObject* object) {
  host::ArtInfo info;
  if (!inCompound_ && step.type == QX_ART_GROUP && store_.describe(step.art, &info, false)) {
    opacity_.push_back(info.opacity * (opacity_.empty() ? 1.0 : opacity_.back()));
    open_.push_back(Open::kGroup);
  } else if (!inCompound_ && step.type == QX_ART_COMPOUND_PATH && store_.describe(step.art, &info, false) &&
             info.hasStyle) {
    setShownStyle(store_, info.style, &object->style);
    object->opacity = info.opacity * (opacity_.empty() ? 1.0 : opacity_.back());
    object->outlines.clear();
    object->box = Box();
    inCompound_ = true;
    open_.push_back(Open::kCompound);
  } else {
    // A container inside a compound path, or one that cannot be read: the
    // painter draws nothing of it either.
    open_.push_back(Open::kSkipped);
    walk_.skipToLeave();
  }
}

bool ArtSource::next(PlotObject* object) {
  host::ArtStep step;
  while (walk_.next(&step)) {
    ++steps_;
    switch (step.kind) {
      case host::ArtStep::kArt:
        if (step.type != QX_ART_PATH) break;
        if (inCompound_) {
          host::ArtInfo info;  // a member that cannot be read adds nothing
          if (store_.describe(step.art, &info, false)) addOutline(info, object);
          break;
        }
        if (readPath(step.art, object)) return true;
        break;
      case host::ArtStep::kEnter: enter(step, object); break;
      case host::ArtStep::kLeave: {
        if (open_.empty()) break;
        const Open left = open_.back();
        open_.pop_back();
        if (left == Open::kGroup) opacity_.pop_back();
        if (left == Open::kCompound) {
          inCompound_ = false;
          if (!object->outlines.empty()) return true;
        }
        break;
      }
    }
  }
  return false;
}

}  // namespace qx::plot
