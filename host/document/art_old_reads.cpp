// Going: the reads the painters made before ArtView, each a view by another
// name. They go once the painters read views.
#include <cstring>

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"

namespace qx::host {

bool ArtStore::describe(QxArtHandle art, ArtInfo* info, bool measure) const {
  const std::optional<ArtView> v = view(art);
  if (!v || info == nullptr) return false;
  info->type = v->type;
  info->closed = v->closed;
  info->selected = v->selected;
  info->opacity = v->opacity;
  info->hasStyle = v->hasStyle();
  loadStyle(*v, &info->style);
  info->bounds = measure ? v->bounds() : QxRealRect{};
  info->segments = v->segments;
  return true;
}

// Read from the record itself, as a view is: the band painters glance at
// every object of a picture, and a view made aside costs them time.
bool ArtStore::glance(QxArtHandle art, ArtGlance* glance) const {
  const ArtArrays& s = arrays();
  const uint32_t i = s.find(art);
  if (i == kNone || glance == nullptr) return false;
  const ArtRecord& r = s.at(i);
  glance->type = r.type;
  glance->closed = (r.flags & kClosed) != 0;
  glance->opacity = r.opacity;
  std::memcpy(&glance->strokeWidth, &r.strokeWidth, sizeof glance->strokeWidth);
  glance->base = r.styleBase == kNone ? nullptr : &s.styles.styles[r.styleBase];
  std::memcpy(glance->fillWords, r.fillWords, sizeof r.fillWords);
  std::memcpy(glance->strokeWords, r.strokeWords, sizeof r.strokeWords);
  glance->segments = std::span<const QxPathSegment>(s.segmentsOf(r), r.segCount);
  return true;
}

QxErr ArtStore::opacity(QxArtHandle art, QxReal* opacity) const {
  const std::optional<ArtView> v = view(art);
  if (!v || opacity == nullptr) return QX_ERR_BAD_PARAM;
  *opacity = v->opacity;
  return QX_ERR_NONE;
}

QxErr ArtStore::pathStyle(QxArtHandle art, QxPathStyle* style) const {
  const std::optional<ArtView> v = view(art);
  if (!v || !v->hasStyle() || style == nullptr) return QX_ERR_BAD_PARAM;
  loadStyle(*v, style);
  return QX_ERR_NONE;
}

QxErr ArtStore::segmentCount(QxArtHandle path, int16_t* count) const {
  const std::optional<ArtView> v = view(path);
  if (!v || v->type != QX_ART_PATH || count == nullptr) return QX_ERR_BAD_PARAM;
  *count = static_cast<int16_t>(v->segments.size());
  return QX_ERR_NONE;
}

QxErr ArtStore::getSegments(QxArtHandle path, int32_t index, int32_t count, QxPathSegment* segments) const {
  const std::optional<ArtView> v = view(path);
  if (!v || v->type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  if (index < 0 || count < 0 || static_cast<size_t>(index) + static_cast<size_t>(count) > v->segments.size())
    return QX_ERR_BAD_PARAM;
  if (count == 0) return QX_ERR_NONE;
  if (segments == nullptr) return QX_ERR_BAD_PARAM;
  std::memcpy(segments, v->segments.data() + index, static_cast<size_t>(count) * sizeof(QxPathSegment));
  return QX_ERR_NONE;
}

QxErr ArtStore::closed(QxArtHandle path, bool* closed) const {
  const std::optional<ArtView> v = view(path);
  if (!v || v->type != QX_ART_PATH || closed == nullptr) return QX_ERR_BAD_PARAM;
  *closed = v->closed;
  return QX_ERR_NONE;
}

}  // namespace qx::host
