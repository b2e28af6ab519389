// The "AI" art, geometry and document suites as a plug-in sees them: every
// operation refuses bad handles, null pointers, bad indexes and a missing
// document with a code, and the maths works as the plug-in composes it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"
#include "host/suites/suite_registry.h"
#include "qx_names.h"

namespace qx::host {
namespace {

template <class T>
const T* suite(SuiteRegistry& reg, const char* name, int32_t version) {
  const T* s = static_cast<const T*>(reg.find(name, version));
  EXPECT_NE(s, nullptr) << name;
  return s;
}

class AiSuitesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerArtSuites(reg_);
    registerGeometrySuites(reg_);
    registerDocumentSuites(reg_);
    art = suite<QxArtSuite>(reg_, QX_ART_SUITE, 9);
    path = suite<QxPathSuite>(reg_, QX_PATH_SUITE, 4);
    style = suite<QxPathStyleSuite>(reg_, QX_PATH_STYLE_SUITE, 5);
    blend = suite<QxBlendStyleSuite>(reg_, QX_BLEND_STYLE_SUITE, 2);
    matching = suite<QxMatchingArtSuite>(reg_, QX_MATCHING_ART_SUITE, 4);
    shapes = suite<QxShapeConstructionSuite>(reg_, QX_SHAPE_CONSTRUCTION_SUITE, 4);
    xform = suite<QxTransformArtSuite>(reg_, QX_TRANSFORM_ART_SUITE, 1);
    math = suite<QxRealMathSuite>(reg_, QX_REAL_MATH_SUITE, 1);
    docs = suite<QxDocumentSuite>(reg_, QX_DOCUMENT_SUITE, 7);
    view = suite<QxDocumentViewSuite>(reg_, QX_DOCUMENT_VIEW_SUITE, 7);
    undo = suite<QxUndoSuite>(reg_, QX_UNDO_SUITE, 4);
    rnd = suite<QxRandomSuite>(reg_, QX_RANDOM_SUITE, 3);
    swatches = suite<QxSwatchListSuite>(reg_, QX_SWATCH_LIST_SUITE, 4);
    user = suite<QxUserSuite>(reg_, QX_USER_SUITE, 5);
    EXPECT_NE(reg_.find(QX_TAG_SUITE, 2), nullptr);
    EXPECT_NE(reg_.find(QX_ART_STYLE_SUITE, 3), nullptr);
    EXPECT_NE(reg_.find(QX_SYMBOL_SUITE, 1), nullptr);
    EXPECT_NE(reg_.find(QX_ENVELOPE_SUITE, 1), nullptr);
    EXPECT_NE(reg_.find(QX_LAYER_SUITE, 9), nullptr);
    saved_ = hostContext();
    hostContext().document = &doc_;
    hostContext().random = &random_;
  }
  void TearDown() override {
    hostContext().document = saved_.document;
    hostContext().random = saved_.random;
  }

  QxArtHandle newPath() {
    QxArtHandle h = nullptr;
    EXPECT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &h), 0);
    return h;
  }

  SuiteRegistry reg_;
  HostContext saved_;
  Document doc_;
  RandomSource random_{42};
  const QxArtSuite* art = nullptr;
  const QxPathSuite* path = nullptr;
  const QxPathStyleSuite* style = nullptr;
  const QxBlendStyleSuite* blend = nullptr;
  const QxMatchingArtSuite* matching = nullptr;
  const QxShapeConstructionSuite* shapes = nullptr;
  const QxTransformArtSuite* xform = nullptr;
  const QxRealMathSuite* math = nullptr;
  const QxDocumentSuite* docs = nullptr;
  const QxDocumentViewSuite* view = nullptr;
  const QxUndoSuite* undo = nullptr;
  const QxRandomSuite* rnd = nullptr;
  const QxSwatchListSuite* swatches = nullptr;
  const QxUserSuite* user = nullptr;
};

const QxArtHandle kBogus = reinterpret_cast<QxArtHandle>(uintptr_t{0xDEAD});

TEST_F(AiSuitesTest, ArtOperationsRefuseBadHandlesAndNullResults) {
  QxArtHandle h = newPath();
  QxArtHandle out = kBogus;
  int16_t type = 0;
  int32_t attrs = 0;
  QxRealRect r;
  EXPECT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->NewArt(QX_ART_PLACED, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_ABOVE, kBogus, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->DuplicateArt(kBogus, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->DisposeArt(kBogus), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtType(kBogus, &type), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtType(h, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtBounds(h, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtFirstChild(kBogus, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtSibling(h, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(art->GetArtUserAttr(nullptr, &attrs), QX_ERR_BAD_PARAM);
  ASSERT_EQ(art->GetArtType(h, &type), 0);
  EXPECT_EQ(type, QX_ART_PATH);
  ASSERT_EQ(art->GetArtBounds(h, &r), 0);
  ASSERT_EQ(art->GetArtFirstChild(h, &out), 0);
  EXPECT_EQ(out, nullptr);

  // Paths, styles and opacity.
  QxPathSegment seg{{1, 2}, {1, 2}, {1, 2}, 1};
  int16_t count = -1;
  QxBool closed = 5;
  EXPECT_EQ(path->SetPathSegments(h, 0, 1, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->SetPathSegments(h, 1, 1, &seg), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->SetPathSegmentCount(h, -1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->GetPathSegmentCount(h, nullptr), QX_ERR_BAD_PARAM);
  ASSERT_EQ(path->SetPathSegments(h, 0, 1, &seg), 0);
  ASSERT_EQ(path->GetPathSegmentCount(h, &count), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(path->GetPathSegments(h, 0, 2, &seg), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->GetPathClosed(h, nullptr), QX_ERR_BAD_PARAM);
  ASSERT_EQ(path->GetPathClosed(h, &closed), 0);
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(path->GetPathSegments(h, -1, 1, &seg), QX_ERR_BAD_PARAM);
  QxPathStyle ps;
  EXPECT_EQ(style->GetPathStyle(h, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(style->SetPathStyle(h, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(style->GetPathStyle(kBogus, &ps), QX_ERR_BAD_PARAM);
  // Path reads refuse other art, and a group has no path style.
  QxArtHandle group = nullptr;
  ASSERT_EQ(art->NewArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  EXPECT_EQ(path->GetPathSegmentCount(group, &count), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->GetPathSegments(group, 0, 0, &seg), QX_ERR_BAD_PARAM);
  EXPECT_EQ(path->GetPathClosed(group, &closed), QX_ERR_BAD_PARAM);
  EXPECT_EQ(style->GetPathStyle(group, &ps), QX_ERR_BAD_PARAM);
  QxReal opacity = 0;
  EXPECT_EQ(blend->SetOpacity(h, 1.5f), QX_ERR_BAD_PARAM);
  EXPECT_EQ(blend->SetOpacity(h, -0.1f), QX_ERR_BAD_PARAM);
  EXPECT_EQ(blend->GetOpacity(h, nullptr), QX_ERR_BAD_PARAM);
  ASSERT_EQ(blend->SetOpacity(h, 0.75f), 0);
  ASSERT_EQ(blend->GetOpacity(h, &opacity), 0);
  EXPECT_EQ(opacity, 0.75f);

  // The fixed-answer suites still check their handles.
  auto tags = static_cast<const QxTagSuite*>(reg_.find(QX_TAG_SUITE, 2));
  auto layers = static_cast<const QxLayerSuite*>(reg_.find(QX_LAYER_SUITE, 9));
  int32_t n = -1;
  EXPECT_EQ(tags->CountTags(kBogus, &n), QX_ERR_BAD_PARAM);
  ASSERT_EQ(tags->CountTags(h, &n), 0);
  EXPECT_EQ(n, 0);
  ASSERT_EQ(layers->CountLayers(&n), 0);
  EXPECT_EQ(n, 1);
}

TEST_F(AiSuitesTest, EveryDocumentOperationNeedsADocument) {
  QxArtHandle h = newPath();
  hostContext().document = nullptr;
  QxArtHandle out = nullptr;
  QxDocumentSetup setup;
  int32_t n = 0;
  QxMemHandle list = nullptr;
  QxMatchingArtSpec request{QX_ART_PATH, 0, 0};
  EXPECT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(art->DisposeArt(h), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(path->SetPathSegmentCount(h, 0), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(shapes->NewOval(0, 0, 1, 1, 0, &out), QX_ERR_NO_DOCUMENT);
  QxRealMatrix m{1, 0, 0, 1, 0, 0};
  EXPECT_EQ(xform->TransformArt(h, &m, 1, 1), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(docs->GetDocumentSetup(&setup), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(docs->RedrawDocument(), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(undo->UndoChanges(), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(swatches->CountSwatches(nullptr, &n), QX_ERR_NO_DOCUMENT);
  EXPECT_EQ(matching->GetMatchingArt(&request, 1, &list, &n), QX_ERR_NO_DOCUMENT);
  hostContext().random = nullptr;
  QxReal r;
  EXPECT_EQ(rnd->FloatRnd(&r), QX_ERR_NO_RANDOM);
}

TEST_F(AiSuitesTest, MatchingFindsSelectedArtInsideContainersInPaintOrder) {
  QxArtHandle a = newPath();
  QxArtHandle compound = nullptr, member = nullptr, group = nullptr, placed = nullptr, inGroup = nullptr;
  ASSERT_EQ(art->NewArt(QX_ART_COMPOUND_PATH, QX_PLACE_ABOVE_ALL, nullptr, &compound), 0);
  ASSERT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, compound, &member), 0);
  ASSERT_EQ(art->NewArt(QX_ART_GROUP, QX_PLACE_BELOW_ALL, nullptr, &group), 0);
  ASSERT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &inGroup), 0);
  ASSERT_EQ(doc_.art().newArt(QX_ART_PLACED, QX_PLACE_ABOVE_ALL, nullptr, &placed), 0);
  QxArtHandle unselected = newPath();
  for (QxArtHandle h : {a, compound, member, inGroup, placed}) ASSERT_EQ(doc_.art().setSelected(h, true), 0);

  const QxMatchingArtSpec requests[5] = {
      {QX_ART_PATH, 1, 1}, {QX_ART_SYMBOL, 1, 1}, {QX_ART_PLACED, 1, 1}, {QX_ART_RASTER, 1, 1}, {QX_ART_MESH, 1, 1}};
  QxMemHandle list = nullptr;
  int32_t n = 0;
  ASSERT_EQ(matching->GetMatchingArt(requests, 5, &list, &n), 0);
  ASSERT_EQ(n, 5);
  ASSERT_TRUE(isLiveMemHandle(list));
  ASSERT_EQ(memHandleSize(list), 5 * sizeof(QxArtHandle));
  const QxArtHandle* found = static_cast<const QxArtHandle*>(*list);
  EXPECT_EQ(found[0], inGroup);
  EXPECT_EQ(found[1], a);
  EXPECT_EQ(found[2], compound);  // a request for paths takes compound paths, before their members
  EXPECT_EQ(found[3], member);
  EXPECT_EQ(found[4], placed);
  EXPECT_TRUE(disposeMemHandle(list));
  (void)unselected;

  // Nothing matched: no handle at all.
  const QxMatchingArtSpec none{QX_ART_RASTER, 1, 1};
  ASSERT_EQ(matching->GetMatchingArt(&none, 1, &list, &n), 0);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(matching->GetMatchingArt(nullptr, 1, &list, &n), QX_ERR_BAD_PARAM);
  EXPECT_EQ(matching->GetMatchingArt(requests, -1, &list, &n), QX_ERR_BAD_PARAM);
  EXPECT_EQ(matching->GetMatchingArt(requests, 1, nullptr, &n), QX_ERR_BAD_PARAM);
}

TEST_F(AiSuitesTest, MatricesComposeInTheOrderTheyAreConcatenated) {
  QxRealMatrix m;
  EXPECT_EQ(math->MatrixSetTranslate(nullptr, 1, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(math->MatrixConcat(&m, nullptr), QX_ERR_BAD_PARAM);
  // Rotate a quarter turn about (10, 0): translate by -c, rotate, translate by c.
  ASSERT_EQ(math->MatrixSetTranslate(&m, -10, 0), 0);
  QxReal quarter = 0;
  ASSERT_EQ(math->DegreeToRadian(90, &quarter), 0);
  ASSERT_EQ(math->MatrixConcatRotate(&m, quarter), 0);
  ASSERT_EQ(math->MatrixConcatTranslate(&m, 10, 0), 0);
  QxArtHandle h = newPath();
  QxPathSegment s{{20, 0}, {20, 0}, {20, 0}, 1};
  ASSERT_EQ(path->SetPathSegments(h, 0, 1, &s), 0);
  ASSERT_EQ(xform->TransformArt(h, &m, 1, 1), 0);
  ASSERT_EQ(path->GetPathSegments(h, 0, 1, &s), 0);
  EXPECT_NEAR(s.p.x, 10, 1e-5);
  EXPECT_NEAR(s.p.y, 10, 1e-5);
  EXPECT_EQ(xform->TransformArt(h, nullptr, 1, 1), QX_ERR_BAD_PARAM);

  // Scale then translate differs from translate then scale.
  QxRealMatrix a, b;
  ASSERT_EQ(math->MatrixSetScale(&a, 2, 3), 0);
  ASSERT_EQ(math->MatrixConcatTranslate(&a, 1, 1), 0);
  EXPECT_EQ(a.tx, 1);
  EXPECT_EQ(a.d, 3);
  ASSERT_EQ(math->MatrixSetTranslate(&b, 1, 1), 0);
  ASSERT_EQ(math->MatrixConcatScale(&b, 2, 3), 0);
  EXPECT_EQ(b.tx, 2);
  EXPECT_EQ(b.ty, 3);
  ASSERT_EQ(math->MatrixSetIdentity(&a), 0);
  ASSERT_EQ(math->MatrixConcat(&a, &b), 0);
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);

  QxReal v = 0;
  ASSERT_EQ(math->RadianToDegree(std::numbers::pi_v<float>, &v), 0);
  EXPECT_NEAR(v, 180, 1e-4);
  ASSERT_EQ(math->Interpolate(2, 6, 0.25f, &v), 0);
  EXPECT_EQ(v, 3);
  QxRealPoint p1{1, 1}, p2{1, -4};
  ASSERT_EQ(math->PointAngle(&p1, &p2, &v), 0);
  EXPECT_NEAR(v, -std::numbers::pi / 2, 1e-6);
  EXPECT_EQ(math->PointAngle(&p1, nullptr, &v), QX_ERR_BAD_PARAM);
}

TEST_F(AiSuitesTest, DocumentViewUndoAndRandomServices) {
  QxDocumentSetup setup;
  ASSERT_EQ(docs->GetDocumentSetup(&setup), 0);
  EXPECT_EQ(setup.width, 612);
  EXPECT_EQ(setup.height, 792);
  ASSERT_EQ(docs->RedrawDocument(), 0);
  EXPECT_EQ(doc_.redrawCount(), 1u);

  QxDocumentViewRef v = nullptr;
  EXPECT_EQ(view->GetNthDocumentView(1, &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(v, nullptr);
  ASSERT_EQ(view->GetNthDocumentView(0, &v), 0);
  EXPECT_EQ(view->SetDocumentViewZoom(v, 100), QX_ERR_BAD_PARAM);
  EXPECT_EQ(view->SetDocumentViewZoom(reinterpret_cast<QxDocumentViewRef>(kBogus), 1), QX_ERR_BAD_PARAM);
  ASSERT_EQ(view->SetDocumentViewZoom(v, 4), 0);
  QxPoint px{8, 4};
  QxRealPoint pt;
  ASSERT_EQ(view->ViewPointToArtworkPoint(v, &px, &pt), 0);
  EXPECT_EQ(pt.x, 2);
  EXPECT_EQ(pt.y, 791);
  EXPECT_EQ(view->ViewPointToArtworkPoint(v, nullptr, &pt), QX_ERR_BAD_PARAM);

  // Undo inside a message takes back this message's art and says so in the log.
  doc_.art().beginMessage();
  QxArtHandle h = newPath();
  EXPECT_EQ(undo->SetUndoText(nullptr, "x"), QX_ERR_BAD_PARAM);
  ASSERT_EQ(undo->SetUndoText("Undo Quelvix", "Redo Quelvix"), 0);
  EXPECT_EQ(doc_.art().undoText(), "Undo Quelvix");
  ASSERT_EQ(undo->UndoChanges(), 0);
  EXPECT_FALSE(doc_.art().isValid(h));
  doc_.art().endMessage();

  RandomSource scripted;
  ASSERT_TRUE(scripted.setScript({0.5f}));
  hostContext().random = &scripted;
  QxReal r = -1;
  EXPECT_EQ(rnd->FloatRnd(nullptr), QX_ERR_BAD_PARAM);
  ASSERT_EQ(rnd->FloatRnd(&r), 0);
  EXPECT_EQ(r, 0.5f);
  EXPECT_EQ(rnd->FloatRnd(&r), QX_ERR_NO_RANDOM);
  EXPECT_TRUE(scripted.exhausted());
}

TEST_F(AiSuitesTest, SwatchesAreIndexedAndNamed) {
  int32_t n = 0;
  ASSERT_EQ(swatches->CountSwatches(nullptr, &n), 0);
  EXPECT_EQ(n, static_cast<int32_t>(doc_.swatches().size()));
  QxSwatchRef s = reinterpret_cast<QxSwatchRef>(kBogus);
  EXPECT_EQ(swatches->GetNthSwatch(nullptr, n, &s), QX_ERR_BAD_PARAM);
  EXPECT_EQ(s, nullptr);
  EXPECT_EQ(swatches->GetNthSwatch(nullptr, -1, &s), QX_ERR_BAD_PARAM);
  ASSERT_EQ(swatches->GetNthSwatch(nullptr, 3, &s), 0);
  QxColor c;
  ASSERT_EQ(swatches->GetSwatchColor(s, &c), 0);
  EXPECT_EQ(c.kind, QX_COLOR_PROCESS);
  EXPECT_EQ(c.c.process.black, 1);
  char name[4];
  ASSERT_EQ(swatches->GetSwatchName(s, name, sizeof name), 0);
  EXPECT_STREQ(name, "Bla");  // cut to the buffer
  EXPECT_EQ(swatches->GetSwatchName(s, name, 0), QX_ERR_BAD_PARAM);
  EXPECT_EQ(swatches->GetSwatchColor(reinterpret_cast<QxSwatchRef>(kBogus), &c), QX_ERR_BAD_PARAM);
}

std::string text(const unsigned char* lp) { return std::string(reinterpret_cast<const char*>(lp + 1), lp[0]); }

const unsigned char* lp(const char* s, unsigned char* buf) {
  buf[0] = static_cast<unsigned char>(std::strlen(s));
  std::memcpy(buf + 1, s, buf[0]);
  return buf;
}

TEST_F(AiSuitesTest, UserSuiteConvertsNumbersAndLengthPrefixedText) {
  unsigned char buf[256];
  ASSERT_EQ(user->RealToText(3.14159f, 2, buf), 0);
  EXPECT_EQ(text(buf), "3.14");
  ASSERT_EQ(user->RealToText(2.5f, 0, buf), 0);
  EXPECT_EQ(text(buf), "2");  // the nearest even for an exact half
  ASSERT_EQ(user->RealToText(-0.001f, 1, buf), 0);
  EXPECT_EQ(text(buf), "0.0");  // no "-0.0"
  ASSERT_EQ(user->RealToText(-12.5f, 3, buf), 0);
  EXPECT_EQ(text(buf), "-12.500");
  EXPECT_EQ(user->RealToText(1, 11, buf), QX_ERR_BAD_PARAM);
  EXPECT_EQ(user->RealToText(1, -1, buf), QX_ERR_BAD_PARAM);
  EXPECT_EQ(user->RealToText(1, 2, nullptr), QX_ERR_BAD_PARAM);

  QxReal v = -1;
  unsigned char in[256];
  ASSERT_EQ(user->TextToReal(lp("  42.5 pt", in), &v), 0);
  EXPECT_EQ(v, 42.5f);
  ASSERT_EQ(user->TextToReal(lp("-7", in), &v), 0);
  EXPECT_EQ(v, -7);
  ASSERT_EQ(user->TextToReal(lp("abc", in), &v), 0);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(user->TextToReal(lp("", in), &v), 0);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(user->TextToReal(lp("1e99", in), &v), 0);
  EXPECT_TRUE(std::isfinite(v));
  ASSERT_EQ(user->TextToReal(lp("1e-999", in), &v), 0);
  EXPECT_EQ(v, 0);
  // The length byte bounds the text: what follows it is not read.
  unsigned char cut[4] = {1, '5', '5', '5'};
  ASSERT_EQ(user->TextToReal(cut, &v), 0);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(user->TextToReal(nullptr, &v), QX_ERR_BAD_PARAM);
}

TEST_F(AiSuitesTest, InjectedFaultsEndOperationsBeforeTheyAct) {
  failNthCall(QX_ART_SUITE, "NewArt", 1, QX_ERR_OUT_OF_MEMORY);
  QxArtHandle h = nullptr;
  EXPECT_EQ(art->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &h), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(doc_.art().liveArtCount(), 0u);
  clearFaults();
  uint64_t before = callCount(QX_SHAPE_CONSTRUCTION_SUITE, "NewStar");
  ASSERT_EQ(shapes->NewStar(5, 0, 0, 1, 2, 0, &h), 0);
  EXPECT_EQ(callCount(QX_SHAPE_CONSTRUCTION_SUITE, "NewStar"), before + 1);
}

}  // namespace
}  // namespace qx::host
