// Path styles (interned) and the current style.
#include <cmath>
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"
#include "host/document/color_values.h"

namespace qx::host {
namespace {

// Leading colour words kept per object: enough for every component of the
// gray, process and RGB kinds (and a spot colour's id and tint).
constexpr size_t kColorWords = 4;

uint64_t hashStyle(const QxPathStyle& style) {
  static_assert(sizeof(QxPathStyle) % 8 == 0);
  uint64_t words[sizeof(QxPathStyle) / 8];
  std::memcpy(words, &style, sizeof style);
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (uint64_t w : words) {
    h ^= w;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  return h;
}

}  // namespace

uint32_t StyleTable::intern(const QxPathStyle& base) {
  if (last != kNone && std::memcmp(&styles[last], &base, sizeof base) == 0) return last;
  uint64_t h = hashStyle(base);
  auto it = heads.find(h);
  if (it != heads.end()) {
    for (uint32_t i = it->second; i != kNone; i = chain[i]) {
      if (std::memcmp(&styles[i], &base, sizeof base) == 0) return last = i;
    }
  }
  uint32_t index = static_cast<uint32_t>(styles.size());
  styles.push_back(base);
  chain.push_back(it != heads.end() ? it->second : kNone);
  heads[h] = index;
  return last = index;
}

namespace {

// Byte ranges of a style that belong to the base: all but the four leading
// words of each colour and the stroke width.
constexpr size_t kFillWords = offsetof(QxPathStyle, fill.color.c.words);
constexpr size_t kStrokeWords = offsetof(QxPathStyle, stroke.color.c.words);
constexpr size_t kWidth = offsetof(QxPathStyle, stroke.width);
constexpr size_t kCut = kColorWords * 4;
static_assert(kFillWords + kCut <= kStrokeWords && kStrokeWords + kCut <= kWidth);

bool sameBase(const QxPathStyle& base, const QxPathStyle& style) {
  auto a = reinterpret_cast<const unsigned char*>(&base);
  auto b = reinterpret_cast<const unsigned char*>(&style);
  return std::memcmp(a, b, kFillWords) == 0 &&
         std::memcmp(a + kFillWords + kCut, b + kFillWords + kCut, kStrokeWords - kFillWords - kCut) == 0 &&
         std::memcmp(a + kStrokeWords + kCut, b + kStrokeWords + kCut, kWidth - kStrokeWords - kCut) == 0 &&
         std::memcmp(a + kWidth + 4, b + kWidth + 4, sizeof(QxPathStyle) - kWidth - 4) == 0;
}

}  // namespace

uint32_t storeStyle(ArtArrays& store, const QxPathStyle& style, ArtRecord* r) {
  std::memcpy(r->fillWords, style.fill.color.c.words, sizeof r->fillWords);
  std::memcpy(r->strokeWords, style.stroke.color.c.words, sizeof r->strokeWords);
  std::memcpy(&r->strokeWidth, &style.stroke.width, 4);
  // Most styles differ from the last one stored only in the words kept per object.
  StyleTable& table = store.styles;
  if (table.last != kNone && sameBase(table.styles[table.last], style)) return r->styleBase = table.last;
  QxPathStyle base = style;
  for (size_t k = 0; k < kColorWords; ++k) base.fill.color.c.words[k] = base.stroke.color.c.words[k] = 0;
  base.stroke.width = 0;
  r->styleBase = table.intern(base);
  return r->styleBase;
}

namespace {

// A whole style copied in 16-byte moves: the string move the compiler picks
// for a block this size starts slowly, and every style read copies one.
void copyStyle(QxPathStyle* to, const QxPathStyle& from) {
#if defined(__SSE2__)
  static_assert(sizeof(QxPathStyle) % 8 == 0);
  auto* d = reinterpret_cast<unsigned char*>(to);
  auto* s = reinterpret_cast<const unsigned char*>(&from);
  size_t k = 0;
  for (; k + 16 <= sizeof(QxPathStyle); k += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k)));
  if (k < sizeof(QxPathStyle))
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + k), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + k)));
#else
  std::memcpy(to, &from, sizeof from);
#endif
}

}  // namespace

void loadStyle(const ArtArrays& store, const ArtRecord& r, QxPathStyle* style) {
  copyStyle(style, store.styles.styles[r.styleBase]);
  std::memcpy(style->fill.color.c.words, r.fillWords, sizeof r.fillWords);
  std::memcpy(style->stroke.color.c.words, r.strokeWords, sizeof r.strokeWords);
  std::memcpy(&style->stroke.width, &r.strokeWidth, 4);
}

QxErr ArtStore::pathStyle(QxArtHandle art, QxPathStyle* style) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || style == nullptr) return QX_ERR_BAD_PARAM;
  const ArtRecord& r = impl_->at(i);
  if (r.styleBase == kNone) return QX_ERR_BAD_PARAM;
  loadStyle(*impl_, r, style);
  return QX_ERR_NONE;
}

QxErr ArtStore::setPathStyle(QxArtHandle art, const QxPathStyle& style) {
  uint32_t i = impl_->find(art);
  if (i == kNone || impl_->at(i).styleBase == kNone) return QX_ERR_BAD_PARAM;
  impl_->touch(i);
  storeStyle(*impl_, style, &impl_->at(i));
  return QX_ERR_NONE;
}

const QxPathStyle& ArtStore::currentStyle() const { return impl_->currentStyle; }

void ArtStore::setCurrentStyle(const QxPathStyle& style) {
  impl_->currentStyle = style;
  impl_->currentBase = kNone;
}

size_t ArtStore::internedStyleCount() const { return impl_->styles.styles.size(); }

int32_t ArtStore::addShownColor(const QxColor& shown) {
  const int32_t k = shown.kind;
  if (k != QX_COLOR_RGB && k != QX_COLOR_GRAY && k != QX_COLOR_PROCESS && k != QX_COLOR_NONE) return -1;
  if (impl_->shownColors.size() >= static_cast<size_t>(INT32_MAX)) return -1;
  impl_->shownColors.push_back(shown);
  return static_cast<int32_t>(impl_->shownColors.size() - 1);
}

QxPathStyle ArtStore::shownStyle(const QxPathStyle& style) const {
  QxPathStyle shown = style;
  for (QxColor* c : {&shown.fill.color, &shown.stroke.color}) {
    if (c->kind != QX_COLOR_GRADIENT && c->kind != QX_COLOR_PATTERN) continue;
    const int32_t id = c->kind == QX_COLOR_GRADIENT ? c->c.gradient.id : c->c.pattern.id;
    const auto& table = impl_->shownColors;
    if (id >= 0 && static_cast<size_t>(id) < table.size()) *c = table[static_cast<size_t>(id)];
  }
  return shown;
}

QxPathStyle ArtStore::defaultStyle() {
  QxPathStyle style{};
  style.fillPaint = 1;
  style.fill.color = processColor(0, 0, 0, 0);
  style.strokePaint = 1;
  style.stroke.color = processColor(0, 0, 0, 1);
  style.stroke.width = 1;
  style.stroke.cap = QX_CAP_BUTT;
  style.stroke.join = QX_JOIN_MITER;
  style.stroke.miterLimit = 4;
  style.resolution = 800;
  return style;
}

}  // namespace qx::host
