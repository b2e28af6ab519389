// The "AI" art suites: thin adapters from the C interface onto the current
// document. Each checks for a document and for null out-parameters; the
// document checks handles and values.
#include <cstring>
#include <optional>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"
#include "qx_names.h"

namespace qx::host {
namespace {

#define QX_DOC_OR_FAIL(doc)               \
  Document* doc = hostContext().document; \
  if (doc == nullptr) return QX_ERR_NO_DOCUMENT

// ---- "AI Art Suite" ----
const OpId kNewArt = registerOp(QX_ART_SUITE, "NewArt");
const OpId kDisposeArt = registerOp(QX_ART_SUITE, "DisposeArt");
const OpId kDuplicateArt = registerOp(QX_ART_SUITE, "DuplicateArt");
const OpId kGetArtType = registerOp(QX_ART_SUITE, "GetArtType");
const OpId kGetArtBounds = registerOp(QX_ART_SUITE, "GetArtBounds");
const OpId kGetArtFirstChild = registerOp(QX_ART_SUITE, "GetArtFirstChild");
const OpId kGetArtSibling = registerOp(QX_ART_SUITE, "GetArtSibling");
const OpId kGetArtUserAttr = registerOp(QX_ART_SUITE, "GetArtUserAttr");

QxErr NewArt(int16_t type, int16_t paintOrder, QxArtHandle prep, QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewArt);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    // Plug-ins make only the kinds they can fill; the rest arrive from files.
    if (type != QX_ART_PATH && type != QX_ART_COMPOUND_PATH && type != QX_ART_GROUP) return QX_ERR_BAD_PARAM;
    return doc->art().newArt(type, paintOrder, prep, newArt);
  });
}

QxErr DisposeArt(QxArtHandle art) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDisposeArt);
    QX_DOC_OR_FAIL(doc);
    return doc->art().disposeArt(art);
  });
}

QxErr DuplicateArt(QxArtHandle art, int16_t paintOrder, QxArtHandle prep, QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDuplicateArt);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    return doc->art().duplicateArt(art, paintOrder, prep, newArt);
  });
}

QxErr GetArtType(QxArtHandle art, int16_t* type) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetArtType);
    if (type == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = doc->art().view(art);
    if (!view) return QX_ERR_BAD_PARAM;
    *type = view->type;
    return QX_ERR_NONE;
  });
}

QxErr GetArtBounds(QxArtHandle art, QxRealRect* bounds) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetArtBounds);
    if (bounds == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().measure(art, bounds);
  });
}

QxErr GetArtFirstChild(QxArtHandle art, QxArtHandle* child) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetArtFirstChild);
    if (child == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().firstChild(art, child);
  });
}

QxErr GetArtSibling(QxArtHandle art, QxArtHandle* sibling) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetArtSibling);
    if (sibling == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().nextSibling(art, sibling);
  });
}

QxErr GetArtUserAttr(QxArtHandle art, int32_t* attributes) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetArtUserAttr);
    if (attributes == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = doc->art().view(art);
    if (!view) return QX_ERR_BAD_PARAM;
    *attributes = view->attributes();
    return QX_ERR_NONE;
  });
}

const QxArtSuite kArtSuite = {NewArt,       DisposeArt,       DuplicateArt,  GetArtType,
                              GetArtBounds, GetArtFirstChild, GetArtSibling, GetArtUserAttr};

// ---- "AI Path Suite" ----
// The view of a path; nullopt for a bad handle or other art.
std::optional<ArtView> pathView(const Document& doc, QxArtHandle path) {
  std::optional<ArtView> view = doc.art().view(path);
  if (view && view->type != QX_ART_PATH) view.reset();
  return view;
}

const OpId kSetPathSegmentCount = registerOp(QX_PATH_SUITE, "SetPathSegmentCount");
const OpId kGetPathSegmentCount = registerOp(QX_PATH_SUITE, "GetPathSegmentCount");
const OpId kSetPathSegments = registerOp(QX_PATH_SUITE, "SetPathSegments");
const OpId kGetPathSegments = registerOp(QX_PATH_SUITE, "GetPathSegments");
const OpId kSetPathClosed = registerOp(QX_PATH_SUITE, "SetPathClosed");
const OpId kGetPathClosed = registerOp(QX_PATH_SUITE, "GetPathClosed");

QxErr SetPathSegmentCount(QxArtHandle path, int16_t count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetPathSegmentCount);
    QX_DOC_OR_FAIL(doc);
    return doc->art().setSegmentCount(path, count);
  });
}

QxErr GetPathSegmentCount(QxArtHandle path, int16_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPathSegmentCount);
    if (count == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = pathView(*doc, path);
    if (!view) return QX_ERR_BAD_PARAM;
    *count = static_cast<int16_t>(view->segments.size());
    return QX_ERR_NONE;
  });
}

QxErr SetPathSegments(QxArtHandle path, int16_t index, int16_t count, const QxPathSegment* segments) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetPathSegments);
    if (segments == nullptr && count != 0) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().setSegments(path, index, count, segments);
  });
}

QxErr GetPathSegments(QxArtHandle path, int16_t index, int16_t count, QxPathSegment* segments) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPathSegments);
    if (segments == nullptr && count != 0) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = pathView(*doc, path);
    if (!view || index < 0 || count < 0 || static_cast<size_t>(index + count) > view->segments.size())
      return QX_ERR_BAD_PARAM;
    if (count > 0) std::memcpy(segments, &view->segments[index], static_cast<size_t>(count) * sizeof(QxPathSegment));
    return QX_ERR_NONE;
  });
}

QxErr SetPathClosed(QxArtHandle path, QxBool closed) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetPathClosed);
    QX_DOC_OR_FAIL(doc);
    return doc->art().setClosed(path, closed != 0);
  });
}

QxErr GetPathClosed(QxArtHandle path, QxBool* closed) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPathClosed);
    if (closed == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = pathView(*doc, path);
    if (!view) return QX_ERR_BAD_PARAM;
    *closed = view->closed ? 1 : 0;
    return QX_ERR_NONE;
  });
}

const QxPathSuite kPathSuite = {SetPathSegmentCount, GetPathSegmentCount, SetPathSegments,
                                GetPathSegments,     SetPathClosed,       GetPathClosed};

// ---- "AI Path Style Suite" ----
const OpId kGetPathStyle = registerOp(QX_PATH_STYLE_SUITE, "GetPathStyle");
const OpId kSetPathStyle = registerOp(QX_PATH_STYLE_SUITE, "SetPathStyle");

QxErr GetPathStyle(QxArtHandle art, QxPathStyle* style) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPathStyle);
    if (style == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = doc->art().view(art);
    if (!view || !view->hasStyle()) return QX_ERR_BAD_PARAM;
    *style = view->style();
    return QX_ERR_NONE;
  });
}

QxErr SetPathStyle(QxArtHandle art, const QxPathStyle* style) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetPathStyle);
    if (style == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().setPathStyle(art, *style);
  });
}

const QxPathStyleSuite kPathStyleSuite = {GetPathStyle, SetPathStyle};

// ---- "AI Blend Style Suite" ----
const OpId kSetOpacity = registerOp(QX_BLEND_STYLE_SUITE, "SetOpacity");
const OpId kGetOpacity = registerOp(QX_BLEND_STYLE_SUITE, "GetOpacity");

QxErr SetOpacity(QxArtHandle art, QxReal opacity) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetOpacity);
    QX_DOC_OR_FAIL(doc);
    return doc->art().setOpacity(art, opacity);
  });
}

QxErr GetOpacity(QxArtHandle art, QxReal* opacity) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetOpacity);
    if (opacity == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const std::optional<ArtView> view = doc->art().view(art);
    if (!view) return QX_ERR_BAD_PARAM;
    *opacity = view->opacity;
    return QX_ERR_NONE;
  });
}

const QxBlendStyleSuite kBlendStyleSuite = {SetOpacity, GetOpacity};

// ---- "AI Matching Art Suite" ----
const OpId kGetMatchingArt = registerOp(QX_MATCHING_ART_SUITE, "GetMatchingArt");

// A compound path is a path made of several, so a request for paths takes
// it too (listed before its members, which the plug-in then drops).
bool typeMatches(int16_t wanted, int16_t type) {
  return wanted == type || (wanted == QX_ART_PATH && type == QX_ART_COMPOUND_PATH);
}

bool matchesAny(const ArtView& object, const QxMatchingArtSpec* requests, int16_t numRequests) {
  const int32_t attrs = object.attributes();
  for (int16_t i = 0; i < numRequests; ++i) {
    if (typeMatches(requests[i].type, object.type) &&
        (attrs & requests[i].whichAttr) == (requests[i].attr & requests[i].whichAttr))
      return true;
  }
  return false;
}

// Depth first in paint order: a container is listed before its children.
void collectMatches(const ArtStore& art, const QxMatchingArtSpec* requests, int16_t numRequests,
                    std::vector<QxArtHandle>& found) {
  ArtWalk walk(art);
  ArtStep step;
  while (walk.next(&step)) {
    if (step.kind != ArtStep::kLeave && matchesAny(step.view, requests, numRequests)) found.push_back(step.art);
  }
}

QxErr GetMatchingArt(const QxMatchingArtSpec* requests, int16_t numRequests, QxMemHandle* matches,
                     int32_t* numMatches) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetMatchingArt);
    if (matches == nullptr || numMatches == nullptr) return QX_ERR_BAD_PARAM;
    *matches = nullptr;
    *numMatches = 0;
    if (numRequests < 0 || (requests == nullptr && numRequests > 0)) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    std::vector<QxArtHandle> found;
    collectMatches(doc->art(), requests, numRequests, found);
    if (found.empty()) return QX_ERR_NONE;
    QxMemHandle handle = newMemHandle(found.size() * sizeof(QxArtHandle));
    if (handle == nullptr) return QX_ERR_OUT_OF_MEMORY;
    std::memcpy(*handle, found.data(), found.size() * sizeof(QxArtHandle));
    *matches = handle;
    *numMatches = static_cast<int32_t>(found.size());
    return QX_ERR_NONE;
  });
}

const QxMatchingArtSuite kMatchingArtSuite = {GetMatchingArt};

// ---- Suites the plug-in acquires but whose answers are fixed here ----
const OpId kCountTags = registerOp(QX_TAG_SUITE, "CountTags");
const OpId kHasArtStyle = registerOp(QX_ART_STYLE_SUITE, "HasArtStyle");
const OpId kCountSymbolPatterns = registerOp(QX_SYMBOL_SUITE, "CountSymbolPatterns");
const OpId kIsEnvelope = registerOp(QX_ENVELOPE_SUITE, "IsEnvelope");
const OpId kCountLayers = registerOp(QX_LAYER_SUITE, "CountLayers");

// Our art carries no tags, appearances or envelopes, and the document has
// one layer.
QxErr CountTags(QxArtHandle art, int32_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kCountTags);
    if (count == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    if (!doc->art().isValid(art)) return QX_ERR_BAD_PARAM;
    *count = 0;
    return QX_ERR_NONE;
  });
}

QxErr HasArtStyle(QxArtHandle art, QxBool* hasStyle) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kHasArtStyle);
    if (hasStyle == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    if (!doc->art().isValid(art)) return QX_ERR_BAD_PARAM;
    *hasStyle = 0;
    return QX_ERR_NONE;
  });
}

QxErr CountSymbolPatterns(int32_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kCountSymbolPatterns);
    if (count == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    (void)doc;
    *count = 0;
    return QX_ERR_NONE;
  });
}

QxErr IsEnvelope(QxArtHandle art, QxBool* isEnvelope) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kIsEnvelope);
    if (isEnvelope == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    if (!doc->art().isValid(art)) return QX_ERR_BAD_PARAM;
    *isEnvelope = 0;
    return QX_ERR_NONE;
  });
}

QxErr CountLayers(int32_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kCountLayers);
    if (count == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    (void)doc;
    *count = 1;
    return QX_ERR_NONE;
  });
}

const QxTagSuite kTagSuite = {CountTags};
const QxArtStyleSuite kArtStyleSuite = {HasArtStyle};
const QxSymbolSuite kSymbolSuite = {CountSymbolPatterns};
const QxEnvelopeSuite kEnvelopeSuite = {IsEnvelope};
const QxLayerSuite kLayerSuite = {CountLayers};

}  // namespace

void registerArtSuites(SuiteRegistry& registry) {
  registry.add(QX_ART_SUITE, QX_ART_SUITE_VERSION, &kArtSuite);
  registry.add(QX_PATH_SUITE, QX_PATH_SUITE_VERSION, &kPathSuite);
  registry.add(QX_PATH_STYLE_SUITE, QX_PATH_STYLE_SUITE_VERSION, &kPathStyleSuite);
  registry.add(QX_BLEND_STYLE_SUITE, QX_BLEND_STYLE_SUITE_VERSION, &kBlendStyleSuite);
  registry.add(QX_MATCHING_ART_SUITE, QX_MATCHING_ART_SUITE_VERSION, &kMatchingArtSuite);
  registry.add(QX_TAG_SUITE, QX_TAG_SUITE_VERSION, &kTagSuite);
  registry.add(QX_ART_STYLE_SUITE, QX_ART_STYLE_SUITE_VERSION, &kArtStyleSuite);
  registry.add(QX_SYMBOL_SUITE, QX_SYMBOL_SUITE_VERSION, &kSymbolSuite);
  registry.add(QX_ENVELOPE_SUITE, QX_ENVELOPE_SUITE_VERSION, &kEnvelopeSuite);
  registry.add(QX_LAYER_SUITE, QX_LAYER_SUITE_VERSION, &kLayerSuite);
}

}  // namespace qx::host
