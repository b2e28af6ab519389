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
  // Everything that may run out of memory comes first: a style and its
  // chain link are added together or not at all.
  if (it == heads.end()) it = heads.emplace(h, kNone).first;
  if (styles.size() == styles.capacity()) styles.reserve(styles.size() * 2 + 8);
  if (chain.size() == chain.capacity()) chain.reserve(chain.size() * 2 + 8);
  uint32_t index = static_cast<uint32_t>(styles.size());
  styles.push_back(base);
  chain.push_back(it->second);
  it->second = index;
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
  // Most styles differ from the last one stored only in the words kept per object.
  StyleTable& table = store.styles;
  uint32_t base = table.last;
  if (base == kNone || !sameBase(table.styles[base], style)) {
    QxPathStyle shared = style;
    for (size_t k = 0; k < kColorWords; ++k) shared.fill.color.c.words[k] = shared.stroke.color.c.words[k] = 0;
    shared.stroke.width = 0;
    base = table.intern(shared);  // may run out of memory: the record is not changed yet
  }
  std::memcpy(r->fillWords, style.fill.color.c.words, sizeof r->fillWords);
  std::memcpy(r->strokeWords, style.stroke.color.c.words, sizeof r->strokeWords);
  std::memcpy(&r->strokeWidth, &style.stroke.width, 4);
  return r->styleBase = base;
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

void loadStyle(const ArtView& view, QxPathStyle* style) {
  if (view.base == nullptr) {
    *style = QxPathStyle{};
    return;
  }
  copyStyle(style, *view.base);
  std::memcpy(style->fill.color.c.words, view.fillWords, sizeof view.fillWords);
  std::memcpy(style->stroke.color.c.words, view.strokeWords, sizeof view.strokeWords);
  std::memcpy(&style->stroke.width, &view.strokeWidth, sizeof view.strokeWidth);
}

QxPathStyle ArtView::style() const {
  QxPathStyle style;
  loadStyle(*this, &style);
  return style;
}

QxErr ArtStore::setPathStyle(QxArtHandle art, const QxPathStyle& style) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || s.at(i).styleBase == kNone) return QX_ERR_BAD_PARAM;
  s.touch(i);
  storeStyle(s, style, &s.at(i));
  return QX_ERR_NONE;
}

const QxPathStyle& ArtStore::currentStyle() const { return arrays().currentStyle; }

void ArtStore::setCurrentStyle(const QxPathStyle& style) {
  arrays().currentStyle = style;
  arrays().currentBase = kNone;
}

size_t ArtStore::internedStyleCount() const { return arrays().styles.styles.size(); }

int32_t ArtStore::addShownColor(const QxColor& shown) {
  std::vector<QxColor>& table = arrays().shownColors;
  const int32_t k = shown.kind;
  if (k != QX_COLOR_RGB && k != QX_COLOR_GRAY && k != QX_COLOR_PROCESS && k != QX_COLOR_NONE) return -1;
  if (table.size() >= static_cast<size_t>(INT32_MAX)) return -1;
  table.push_back(shown);
  return static_cast<int32_t>(table.size() - 1);
}

QxPathStyle ArtStore::shownStyle(const QxPathStyle& style) const {
  QxPathStyle shown = style;
  for (QxColor* c : {&shown.fill.color, &shown.stroke.color}) {
    if (c->kind != QX_COLOR_GRADIENT && c->kind != QX_COLOR_PATTERN) continue;
    const int32_t id = c->kind == QX_COLOR_GRADIENT ? c->c.gradient.id : c->c.pattern.id;
    const auto& table = arrays().shownColors;
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
