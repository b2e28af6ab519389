// The JSON form read back: what the writer wrote comes back byte for byte,
// and a text that is not the form is refused with the place and the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/io/json/json_reader.h"
#include "host/io/json/json_writer.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

class JsonRoundTrip : public GeneratorHost {};

std::string reread(const std::string& text) {
  std::string why;
  auto back = host::parseDocumentJson(text, "d.json", &why);
  EXPECT_NE(back, nullptr) << why;
  return back ? host::documentJson(*back) : std::string();
}

TEST_F(JsonRoundTrip, DrawingsComeBackByteForByte) {
  FilterParameters p = defaults();
  p.lineSets = 4;
  p.pointsMin = p.pointsMax = 15;
  p.shapeKind = 11;  // stars
  p.randomOpacity = 1;
  p.curvatureX = 40;
  p.tileMode = 3;
  doc_.setSeed(12345678901234567890ull);
  ASSERT_EQ(go(p), 0);
  // A selection, a compound path, a group and placed art besides the drawing.
  const auto top = doc_.art().topLevelArt();
  ASSERT_FALSE(top.empty());
  (void)doc_.art().setSelected(top[0], true);
  QxArtHandle group = nullptr, compound = nullptr, member = nullptr, placed = nullptr;
  ASSERT_EQ(doc_.art().newArt(QX_ART_GROUP, 5, nullptr, &group), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().setOpacity(group, 0.5f), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().newArt(QX_ART_COMPOUND_PATH, 3, group, &compound), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().newStar(5, 10, 10, 8, 3, false, &member), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().duplicateArt(member, 3, compound, &member), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().newArt(QX_ART_PLACED, 5, nullptr, &placed), QX_ERR_NONE);
  ASSERT_EQ(doc_.art().setItemOutline(placed, QxRealRect{1, 9, 5, 2}), QX_ERR_NONE);

  const std::string text = host::documentJson(doc_);
  EXPECT_EQ(reread(text), text);
  host::Document empty;
  EXPECT_EQ(reread(host::documentJson(empty)), host::documentJson(empty));
}

TEST(JsonReader, WhatIsNotTheFormIsRefusedWithThePlaceAndTheReason) {
  const std::string head = R"({"format": "quelvix-document", "version": 1, "page": {"width": 100, "height": 100}, )";
  const std::pair<std::string, std::string> cases[] = {
      {R"({"a": [1, 2)", "d.json: not JSON: parse error at line 1, column 12"},
      {"[]", "d.json: the text is not a JSON object"},
      {R"({"format": "svg"})", "d.json: format: not a Quelvix document"},
      {R"({"format": "quelvix-document", "version": 2})", "d.json: version: only version 1"},
      {R"({"format": "quelvix-document", "version": 1, "page": {"width": 0, "height": 5}, "art": []})",
       "d.json: page: the page must be wider"},
      {head + R"("seed": -4, "art": []})", "d.json: seed: expected a whole number"},
      {head + R"("art": [{"type": "circle"}]})", "d.json: art[0].type: expected path, compound"},
      {head + R"("art": [{"type": "path", "closed": true, "segments": [[1, 2, 3]]}]})",
       "d.json: art[0].segments[0]: expected [ax, ay, inx, iny, outx, outy, corner]"},
      {head + R"("swatches": [{"name": "X", "color": {"kind": "rgb", "values": [1, 0]}}], "art": []})",
       "d.json: swatches[0].color: a rgb colour has 3 values"},
      {head + R"("art": [{"type": "group", "opacity": 2, "selected": false, "children": []}]})",
       "d.json: art[0].opacity: expected a number from 0 to 1"},
      {head + R"("art": [{"type": "compound", "fill": {"paint": false, "color": {"kind": "none", "values": []},)"
              R"( "overprint": false}, "stroke": {"paint": false, "color": {"kind": "none", "values": []},)"
              R"( "overprint": false, "width": 1}, "opacity": 1, "selected": false, "children": [)"
              R"({"type": "group", "opacity": 1, "selected": false, "children": []}]}]})",
       "d.json: art[0].children[0]: the document refuses the object here"},
  };
  for (const auto& [text, want] : cases) {
    std::string why;
    EXPECT_EQ(host::parseDocumentJson(text, "d.json", &why), nullptr) << text;
    EXPECT_EQ(why.substr(0, want.size()), want) << text;
  }

  // Groups a thousand and more deep are refused, with a short message, also
  // when they nest far deeper than a call stack could follow.
  for (int depth : {1500, 100'000}) {
    std::string deep = head + R"("art": [)";
    for (int i = 0; i < depth; ++i) deep += R"({"type": "group", "opacity": 1, "selected": false, "children": [)";
    for (int i = 0; i < depth; ++i) deep += "]}";
    deep += "]}";
    std::string why;
    EXPECT_EQ(host::parseDocumentJson(deep, "d.json", &why), nullptr);
    EXPECT_NE(why.find("nest deeper than 1000"), std::string::npos);
    EXPECT_LT(why.size(), 200u);
  }
}

TEST(JsonReader, FilesThatAreNoDrawingAreRefusedBeforeReading) {
  std::string why;
  EXPECT_EQ(host::readDocumentJson("/nonexistent/d.json", &why), nullptr);
  EXPECT_NE(why.find("/nonexistent/d.json"), std::string::npos) << why;
  EXPECT_EQ(host::readDocumentJson(std::filesystem::temp_directory_path().string(), &why), nullptr);
  EXPECT_NE(why.find("not a regular file"), std::string::npos) << why;
}

}  // namespace
}  // namespace qx::test
