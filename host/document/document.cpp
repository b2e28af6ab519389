// Placeholder bodies so the host links while the store is written.
#include "host/document/document.h"

namespace qx::host {

struct Document::Impl {};

Document::Document(QxReal w, QxReal h) : impl_(new Impl) { setup_.width = w; setup_.height = h; }
Document::~Document() { delete impl_; }
QxErr Document::setPageSize(QxReal, QxReal) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::newArt(int16_t, int16_t, QxArtHandle, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::disposeArt(QxArtHandle) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::duplicateArt(QxArtHandle, int16_t, QxArtHandle, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
bool Document::isValid(QxArtHandle) const { return false; }
QxErr Document::artType(QxArtHandle, int16_t*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::firstChild(QxArtHandle, QxArtHandle*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::nextSibling(QxArtHandle, QxArtHandle*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::parent(QxArtHandle, QxArtHandle*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxArtHandle Document::firstTopLevel() const { return nullptr; }
QxArtHandle Document::lastTopLevel() const { return nullptr; }
std::vector<QxArtHandle> Document::topLevelArt() const { return {}; }
std::vector<QxArtHandle> Document::children(QxArtHandle) const { return {}; }
bool Document::describe(QxArtHandle, ArtInfo*) const { return false; }
QxErr Document::attributes(QxArtHandle, int32_t*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setSelected(QxArtHandle, bool) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::opacity(QxArtHandle, QxReal*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setOpacity(QxArtHandle, QxReal) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setSegmentCount(QxArtHandle, int32_t) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::segmentCount(QxArtHandle, int16_t*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setSegments(QxArtHandle, int32_t, int32_t, const QxPathSegment*) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::getSegments(QxArtHandle, int32_t, int32_t, QxPathSegment*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setClosed(QxArtHandle, bool) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::closed(QxArtHandle, bool*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::pathStyle(QxArtHandle, QxPathStyle*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::setPathStyle(QxArtHandle, const QxPathStyle&) { return QX_ERR_NOT_IMPLEMENTED; }
const QxPathStyle& Document::currentStyle() const { static QxPathStyle s{}; return s; }
void Document::setCurrentStyle(const QxPathStyle&) {}
size_t Document::internedStyleCount() const { return 0; }
QxPathStyle Document::defaultStyle() { return {}; }
QxErr Document::bounds(QxArtHandle, QxRealRect*) const { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::transform(QxArtHandle, const QxRealMatrix&, QxReal, int32_t) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::newRect(QxReal, QxReal, QxReal, QxReal, bool, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::newOval(QxReal, QxReal, QxReal, QxReal, bool, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::newRegularPolygon(int32_t, QxReal, QxReal, QxReal, bool, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
QxErr Document::newStar(int32_t, QxReal, QxReal, QxReal, QxReal, bool, QxArtHandle*) { return QX_ERR_NOT_IMPLEMENTED; }
QxSwatchRef Document::swatchRef(int32_t) const { return nullptr; }
const Swatch* Document::swatch(QxSwatchRef) const { return nullptr; }
void Document::setSwatches(std::vector<Swatch> s) { swatches_ = std::move(s); }
void Document::redraw() { ++redrawCount_; if (redrawCallback_) redrawCallback_(); }
QxErr Document::setZoom(QxReal) { return QX_ERR_NOT_IMPLEMENTED; }
QxRealPoint Document::viewToArtwork(QxPoint) const { return {0, 0}; }
QxErr Document::artworkToView(QxRealPoint, QxPoint*) const { return QX_ERR_NOT_IMPLEMENTED; }
void Document::beginMessage() {}
void Document::endMessage() {}
void Document::undoMessage() {}
void Document::setUndoText(std::string u, std::string r) { undoText_ = std::move(u); redoText_ = std::move(r); }
void Document::setArtBudget(size_t n) { budget_ = n; }
size_t Document::memoryBytes() const { return 0; }

}  // namespace qx::host
