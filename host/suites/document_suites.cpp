// Document-wide services: setup and redraw, the view, undo, random numbers,
// swatches and number/text conversion.
#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "qx_names.h"

namespace qx::host {
namespace {

#define QX_DOC_OR_FAIL(doc)               \
  Document* doc = hostContext().document; \
  if (doc == nullptr) return QX_ERR_NO_DOCUMENT

// ---- "AI Document Suite" ----
const OpId kGetDocumentSetup = registerOp(QX_DOCUMENT_SUITE, "GetDocumentSetup");
const OpId kRedrawDocument = registerOp(QX_DOCUMENT_SUITE, "RedrawDocument");

QxErr GetDocumentSetup(QxDocumentSetup* setup) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetDocumentSetup);
    if (setup == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    *setup = doc->setup();
    return QX_ERR_NONE;
  });
}

QxErr RedrawDocument() noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kRedrawDocument);
    QX_DOC_OR_FAIL(doc);
    doc->redraw();
    return QX_ERR_NONE;
  });
}

const QxDocumentSuite kDocumentSuite = {GetDocumentSetup, RedrawDocument};

// ---- "AI Document View Suite" ----
// A document has one view; its reference is a fixed token, checked on use.
const char kViewToken = 0;
QxDocumentViewRef viewZero() { return reinterpret_cast<QxDocumentViewRef>(const_cast<char*>(&kViewToken)); }

const OpId kGetNthDocumentView = registerOp(QX_DOCUMENT_VIEW_SUITE, "GetNthDocumentView");
const OpId kSetDocumentViewZoom = registerOp(QX_DOCUMENT_VIEW_SUITE, "SetDocumentViewZoom");
const OpId kGetDocumentViewZoom = registerOp(QX_DOCUMENT_VIEW_SUITE, "GetDocumentViewZoom");
const OpId kViewPointToArtworkPoint = registerOp(QX_DOCUMENT_VIEW_SUITE, "ViewPointToArtworkPoint");
const OpId kArtworkPointToViewPoint = registerOp(QX_DOCUMENT_VIEW_SUITE, "ArtworkPointToViewPoint");

QxErr GetNthDocumentView(int32_t n, QxDocumentViewRef* view) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetNthDocumentView);
    if (view == nullptr) return QX_ERR_BAD_PARAM;
    *view = nullptr;
    QX_DOC_OR_FAIL(doc);
    (void)doc;
    if (n != 0) return QX_ERR_BAD_PARAM;
    *view = viewZero();
    return QX_ERR_NONE;
  });
}

QxErr SetDocumentViewZoom(QxDocumentViewRef view, QxReal zoom) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetDocumentViewZoom);
    if (view != viewZero()) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->setZoom(zoom);
  });
}

QxErr GetDocumentViewZoom(QxDocumentViewRef view, QxReal* zoom) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetDocumentViewZoom);
    if (view != viewZero() || zoom == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    *zoom = doc->zoom();
    return QX_ERR_NONE;
  });
}

QxErr ViewPointToArtworkPoint(QxDocumentViewRef view, const QxPoint* viewPoint, QxRealPoint* artworkPoint) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kViewPointToArtworkPoint);
    if (view != viewZero() || viewPoint == nullptr || artworkPoint == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    *artworkPoint = doc->viewToArtwork(*viewPoint);
    return QX_ERR_NONE;
  });
}

QxErr ArtworkPointToViewPoint(QxDocumentViewRef view, const QxRealPoint* artworkPoint, QxPoint* viewPoint) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kArtworkPointToViewPoint);
    if (view != viewZero() || viewPoint == nullptr || artworkPoint == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->artworkToView(*artworkPoint, viewPoint);
  });
}

const QxDocumentViewSuite kDocumentViewSuite = {GetNthDocumentView, SetDocumentViewZoom, GetDocumentViewZoom,
                                                ViewPointToArtworkPoint, ArtworkPointToViewPoint};

// ---- "AI Undo Suite" ----
const OpId kSetUndoText = registerOp(QX_UNDO_SUITE, "SetUndoText");
const OpId kUndoChanges = registerOp(QX_UNDO_SUITE, "UndoChanges");

QxErr SetUndoText(const char* undoText, const char* redoText) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetUndoText);
    if (undoText == nullptr || redoText == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    doc->art().setUndoText(undoText, redoText);
    return QX_ERR_NONE;
  });
}

QxErr UndoChanges() noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kUndoChanges);
    QX_DOC_OR_FAIL(doc);
    doc->art().undoMessage();
    // Taking back its changes starts a plug-in's run afresh (every preview of
    // a dialog does), so the draw budget bounds one run, not a whole dialog.
    if (RandomSource* random = hostContext().random) {
      random->noteUndo();
      random->restartDrawCount();
    }
    return QX_ERR_NONE;
  });
}

const QxUndoSuite kUndoSuite = {SetUndoText, UndoChanges};

// ---- "AI Random Suite" ----
const OpId kFloatRnd = registerOp(QX_RANDOM_SUITE, "FloatRnd");

QxErr FloatRnd(QxReal* r) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kFloatRnd);
    if (r == nullptr) return QX_ERR_BAD_PARAM;
    RandomSource* random = hostContext().random;
    if (random == nullptr) return QX_ERR_NO_RANDOM;
    return random->next(r);
  });
}

const QxRandomSuite kRandomSuite = {FloatRnd};

// ---- "AI Swatch List Suite" ----
// The only list is the current document's, reached through NULL.
const OpId kCountSwatches = registerOp(QX_SWATCH_LIST_SUITE, "CountSwatches");
const OpId kGetNthSwatch = registerOp(QX_SWATCH_LIST_SUITE, "GetNthSwatch");
const OpId kGetSwatchColor = registerOp(QX_SWATCH_LIST_SUITE, "GetSwatchColor");
const OpId kGetSwatchName = registerOp(QX_SWATCH_LIST_SUITE, "GetSwatchName");

QxErr CountSwatches(QxSwatchListRef list, int32_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kCountSwatches);
    if (list != nullptr || count == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    *count = static_cast<int32_t>(doc->swatches().size());
    return QX_ERR_NONE;
  });
}

QxErr GetNthSwatch(QxSwatchListRef list, int32_t index, QxSwatchRef* swatch) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetNthSwatch);
    if (swatch == nullptr) return QX_ERR_BAD_PARAM;
    *swatch = nullptr;
    if (list != nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    QxSwatchRef ref = doc->swatchRef(index);
    if (ref == nullptr) return QX_ERR_BAD_PARAM;
    *swatch = ref;
    return QX_ERR_NONE;
  });
}

QxErr GetSwatchColor(QxSwatchRef swatch, QxColor* color) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetSwatchColor);
    if (swatch == nullptr || color == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const Swatch* found = doc->swatch(swatch);
    if (found == nullptr) return QX_ERR_BAD_PARAM;
    *color = found->color;
    return QX_ERR_NONE;
  });
}

QxErr GetSwatchName(QxSwatchRef swatch, char* buffer, int32_t size) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetSwatchName);
    if (swatch == nullptr || buffer == nullptr || size <= 0) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    const Swatch* found = doc->swatch(swatch);
    if (found == nullptr) return QX_ERR_BAD_PARAM;
    const size_t n = std::min(found->name.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, found->name.data(), n);
    buffer[n] = '\0';
    return QX_ERR_NONE;
  });
}

const QxSwatchListSuite kSwatchListSuite = {CountSwatches, GetNthSwatch, GetSwatchColor, GetSwatchName};

// ---- "AI User Suite" ----
// Conversions ignore the process locale: a desktop front end may have set
// one with a decimal comma, and the plug-in expects a point.
const OpId kRealToText = registerOp(QX_USER_SUITE, "RealToText");
const OpId kTextToReal = registerOp(QX_USER_SUITE, "TextToReal");

QxErr RealToText(QxReal value, int16_t precision, unsigned char* text) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kRealToText);
    if (text == nullptr || precision < 0 || precision > 10) return QX_ERR_BAD_PARAM;
    char digits[256];
    size_t n = 0;
    if (std::isnan(value)) {
      std::memcpy(digits, "nan", 3);
      n = 3;
    } else if (std::isinf(value)) {
      n = value < 0 ? 4 : 3;
      std::memcpy(digits, value < 0 ? "-inf" : "inf", n);
    } else {
      auto result = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value), std::chars_format::fixed,
                                  precision);
      if (result.ec != std::errc()) return QX_ERR_BAD_PARAM;
      n = static_cast<size_t>(result.ptr - digits);
      // A value that rounds to zero reads "0", never "-0".
      if (digits[0] == '-' && std::all_of(digits + 1, digits + n, [](char c) { return c == '0' || c == '.'; })) {
        std::memmove(digits, digits + 1, n - 1);
        --n;
      }
    }
    n = std::min<size_t>(n, 255);
    text[0] = static_cast<unsigned char>(n);
    std::memcpy(text + 1, digits, n);
    return QX_ERR_NONE;
  });
}

QxErr TextToReal(const unsigned char* text, QxReal* value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kTextToReal);
    if (text == nullptr || value == nullptr) return QX_ERR_BAD_PARAM;
    const char* begin = reinterpret_cast<const char*>(text + 1);
    const char* end = begin + text[0];
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
      negative = *begin == '-';
      ++begin;
    }
    double parsed = 0;
    // Only plain decimals: "inf", "nan" and hex forms read as no number.
    if (begin < end && (std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.')) {
      auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
      if (result.ec == std::errc::result_out_of_range) {
        // Past a double's range: a negative exponent means too small (zero),
        // anything else too large (clamped below).
        const char* e = std::find_if(begin, result.ptr, [](char c) { return c == 'e' || c == 'E'; });
        parsed = (e + 1 < result.ptr && e[1] == '-') ? 0.0 : HUGE_VAL;
      } else if (result.ec != std::errc()) {
        parsed = 0;
      }
    }
    // Out of a real's range reads as the largest real.
    parsed = std::clamp(parsed, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX));
    *value = static_cast<QxReal>(negative ? -parsed : parsed);
    return QX_ERR_NONE;
  });
}

const QxUserSuite kUserSuite = {RealToText, TextToReal};

}  // namespace

void registerDocumentSuites(SuiteRegistry& registry) {
  registry.add(QX_DOCUMENT_SUITE, QX_DOCUMENT_SUITE_VERSION, &kDocumentSuite);
  registry.add(QX_DOCUMENT_VIEW_SUITE, QX_DOCUMENT_VIEW_SUITE_VERSION, &kDocumentViewSuite);
  registry.add(QX_UNDO_SUITE, QX_UNDO_SUITE_VERSION, &kUndoSuite);
  registry.add(QX_RANDOM_SUITE, QX_RANDOM_SUITE_VERSION, &kRandomSuite);
  registry.add(QX_SWATCH_LIST_SUITE, QX_SWATCH_LIST_SUITE_VERSION, &kSwatchListSuite);
  registry.add(QX_USER_SUITE, QX_USER_SUITE_VERSION, &kUserSuite);
}

}  // namespace qx::host
