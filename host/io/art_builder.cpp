#include "host/io/art_builder.h"

namespace qx::host {
namespace {

Built refused(QxErr code, ArtPart part) { return Built{nullptr, code, part}; }

}  // namespace

Built ArtBuilder::place(int16_t type) {
  Built made;
  made.code = open_.empty() ? art_.newArt(type, QX_PLACE_ABOVE_ALL, nullptr, &made.art)
                            : art_.newArt(type, QX_PLACE_INSIDE_ON_TOP, open_.back(), &made.art);
  if (!made) made.art = nullptr;
  return made;
}

Built ArtBuilder::beginGroup(QxReal opacity) {
  Built made = place(QX_ART_GROUP);
  if (!made) return made;
  if (QxErr code = art_.setOpacity(made.art, opacity)) return refused(code, ArtPart::Opacity);
  open_.push_back(made.art);
  return made;
}

Built ArtBuilder::beginCompound(const QxPathStyle& style, QxReal opacity) {
  Built made = place(QX_ART_COMPOUND_PATH);
  if (!made) return made;
  if (QxErr code = art_.setPathStyle(made.art, style)) return refused(code, ArtPart::Style);
  if (QxErr code = art_.setOpacity(made.art, opacity)) return refused(code, ArtPart::Opacity);
  open_.push_back(made.art);
  return made;
}

void ArtBuilder::endContainer() {
  if (!open_.empty()) open_.pop_back();
}

Built ArtBuilder::path(const QxPathStyle& style, std::span<const QxPathSegment> segments, bool closed, QxReal opacity) {
  Built made = place(QX_ART_PATH);
  if (!made) return made;
  if (QxErr code = art_.setPathStyle(made.art, style)) return refused(code, ArtPart::Style);
  QxErr code = art_.setSegments(made.art, 0, static_cast<int32_t>(segments.size()), segments.data());
  if (!code) code = art_.setClosed(made.art, closed);
  if (code) return refused(code, ArtPart::Segments);
  if (QxErr c = art_.setOpacity(made.art, opacity)) return refused(c, ArtPart::Opacity);
  return made;
}

Built ArtBuilder::item(int16_t type, const QxRealRect& box, QxReal opacity) {
  Built made = place(type);
  if (!made) return made;
  if (QxErr code = art_.setItemOutline(made.art, box)) return refused(code, ArtPart::Outline);
  if (QxErr code = art_.setOpacity(made.art, opacity)) return refused(code, ArtPart::Opacity);
  return made;
}

Built ArtBuilder::copyAbove(QxArtHandle art, const QxPathStyle& style, QxReal opacity) {
  Built made;
  made.code = art_.duplicateArt(art, QX_PLACE_ABOVE, art, &made.art);
  if (!made) return refused(made.code, ArtPart::Object);
  if (QxErr code = art_.setPathStyle(made.art, style)) return refused(code, ArtPart::Style);
  if (QxErr code = art_.setOpacity(made.art, opacity)) return refused(code, ArtPart::Opacity);
  return made;
}

}  // namespace qx::host
