// The JSON writer: the whole text of a small document, nesting, numbers
// that are not finite, and strings that need escaping.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include "host/document/document.h"
#include "host/io/json/json_writer.h"
#include "test_io_documents.h"

namespace qx::host {
namespace {

using namespace iotest;

TEST(JsonWriter, SmallDocumentWhole) {
  Document doc(100, 50);
  doc.setSeed(42);
  doc.setSwatches({{"White", grayColor(0)}, {"Say \"hi\"\\\n", rgbColor(1, 0.5f, 0)}});
  doc.art().setCurrentStyle(paintStyle(processColor(0, 0, 0, 0), processColor(0, 0, 0, 1), 1));

  QxArtHandle line = addPath(doc, {corner(0, 0), smooth(10, 5, 8, 5, 12, 5)}, false);
  ASSERT_EQ(doc.art().setOpacity(line, 0.25f), QX_ERR_NONE);
  ASSERT_EQ(doc.art().setSelected(line, true), QX_ERR_NONE);

  QxArtHandle group = addContainer(doc, QX_ART_GROUP);
  QxPathStyle red = paintStyle(rgbColor(1, 0.1f, 0), processColor(0, 0, 0, 1), 0.1f);
  red.stroke.color.kind = QX_COLOR_NONE;
  red.strokePaint = 0;
  addPath(doc, {corner(0, 0), corner(4, 0), corner(0, 3.5f)}, true, &red, QX_PLACE_INSIDE_ON_TOP, group);

  const std::string fill =
      R"({"paint": true, "color": {"kind": "process", "values": [0, 0, 0, 0]}, "overprint": false})";
  const std::string stroke =
      R"({"paint": true, "color": {"kind": "process", "values": [0, 0, 0, 1]}, "overprint": false, "width": 1})";
  const std::string expected =
      "{\"format\": \"quelvix-document\", \"version\": 1,\n"
      " \"page\": {\"width\": 100, \"height\": 50}, \"seed\": 42,\n"
      " \"swatches\": [\n"
      "  {\"name\": \"White\", \"color\": {\"kind\": \"gray\", \"values\": [0]}},\n"
      "  {\"name\": \"Say \\\"hi\\\"\\\\\\n\", \"color\": {\"kind\": \"rgb\", \"values\": [1, 0.5, 0]}}\n"
      " ],\n"
      " \"currentStyle\": {\"fill\": " +
      fill + ", \"stroke\": " + stroke +
      "},\n"
      " \"art\": [\n"
      "  {\"type\": \"path\", \"closed\": false, \"segments\": [[0, 0, 0, 0, 0, 0, true], "
      "[10, 5, 8, 5, 12, 5, false]], \"fill\": " +
      fill + ", \"stroke\": " + stroke +
      ", \"opacity\": 0.25, \"bounds\": [0, 5, 10, 0], \"selected\": true},\n"
      "  {\"type\": \"group\", \"closed\": false, \"segments\": [], \"fill\": null, \"stroke\": null, "
      "\"opacity\": 1, \"bounds\": [0, 3.5, 4, 0], \"selected\": false, \"children\": ["
      "{\"type\": \"path\", \"closed\": true, \"segments\": [[0, 0, 0, 0, 0, 0, true], "
      "[4, 0, 4, 0, 4, 0, true], [0, 3.5, 0, 3.5, 0, 3.5, true]], "
      "\"fill\": {\"paint\": true, \"color\": {\"kind\": \"rgb\", \"values\": [1, 0.1, 0]}, \"overprint\": false}, "
      "\"stroke\": {\"paint\": false, \"color\": {\"kind\": \"none\", \"values\": []}, \"overprint\": false, "
      "\"width\": 0.1}, \"opacity\": 1, \"bounds\": [0, 3.5, 4, 0], \"selected\": false}]}\n"
      " ]}\n";
  EXPECT_EQ(documentJson(doc), expected);
}

TEST(JsonWriter, EmptyDocumentWithoutSeed) {
  Document doc(612, 792);
  doc.setSwatches({});
  doc.art().setCurrentStyle(paintStyle(grayColor(0), grayColor(1), 1));
  const std::string text = documentJson(doc);
  EXPECT_EQ(text.substr(0, text.find("\"currentStyle\"")),
            "{\"format\": \"quelvix-document\", \"version\": 1,\n"
            " \"page\": {\"width\": 612, \"height\": 792}, \"seed\": null,\n"
            " \"swatches\": [],\n ");
  EXPECT_EQ(text.substr(text.find("\"art\"")), "\"art\": []}\n");
}

TEST(JsonWriter, NestingClosesEveryList) {
  Document doc(100, 100);
  QxArtHandle outer = addContainer(doc, QX_ART_GROUP);
  QxArtHandle inner = addContainer(doc, QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, outer);
  addPath(doc, {corner(1, 2)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, inner);
  addContainer(doc, QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, outer);  // empty, above `inner`
  addContainer(doc, QX_ART_COMPOUND_PATH);                         // empty, top level
  addPath(doc, {corner(3, 4)}, false);

  const std::string text = documentJson(doc);
  ASSERT_TRUE(text.ends_with("\n ]}\n"));
  const size_t start = text.find("\"art\"");
  const std::string art = text.substr(start, text.size() - 2 - start);  // without the document's "}\n"
  // outer [ inner [ path ], empty group [] ], compound [], path
  int depth = 0;
  for (char c : art) {
    if (c == '[' || c == '{') ++depth;
    if (c == ']' || c == '}') --depth;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
  EXPECT_NE(art.find("[[1, 2, 1, 2, 1, 2, true]]"), std::string::npos);
  EXPECT_NE(art.find("\"selected\": false}]}, {\"type\": \"group\""), std::string::npos) << art;
  EXPECT_NE(art.find("\"children\": []}]},\n  {\"type\": \"compound\""), std::string::npos) << art;
  EXPECT_NE(art.find("\"children\": []},\n  {\"type\": \"path\""), std::string::npos) << art;
}

TEST(JsonWriter, NonFiniteNumbersAreNullAndFloatsAreShortest) {
  Document doc(100, 100);
  const QxReal nan = std::numeric_limits<QxReal>::quiet_NaN();
  const QxReal inf = std::numeric_limits<QxReal>::infinity();
  doc.setSwatches({{"odd", processColor(nan, inf, -inf, 1.0f / 3.0f)}, {"tiny", grayColor(1e-7f)}});
  const std::string text = documentJson(doc);
  // 1/3 as a float is 0.33333334, not the double 0.3333333432674408.
  EXPECT_NE(text.find("\"values\": [null, null, null, 0.33333334]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"values\": [1e-07]"), std::string::npos) << text;
}

TEST(JsonWriter, StringsAreEscapedAndKeptValidUtf8) {
  Document doc(100, 100);
  doc.setSwatches({
      {"tab\there\x01\x1f", grayColor(0)},
      {"Gr\xC3\xBCn \xE2\x82\xAC \xF0\x9F\x8E\xA8", grayColor(0)},  // two-, three- and four-byte sequences
      {"bad\xFF end\xC0\xAF cut\xE2\x82", grayColor(0)},            // not UTF-8
      {"surrogate\xED\xA0\x80", grayColor(0)},
  });
  const std::string text = documentJson(doc);
  EXPECT_NE(text.find(R"("name": "tab\there\u0001\u001f")"), std::string::npos) << text;
  EXPECT_NE(text.find("\"name\": \"Gr\xC3\xBCn \xE2\x82\xAC \xF0\x9F\x8E\xA8\""), std::string::npos);
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_NE(text.find("\"name\": \"bad" + fffd + " end" + fffd + fffd + " cut" + fffd + fffd + "\""), std::string::npos)
      << text;
  EXPECT_NE(text.find("\"name\": \"surrogate" + fffd + fffd + fffd + "\""), std::string::npos);
}

TEST(JsonWriter, SavedFileHoldsTheSameText) {
  Document doc(100, 100);
  addPath(doc, {corner(1, 2), corner(3, 4)}, true);
  std::string folder = ::testing::TempDir() + "qx_json_XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  std::string error;
  ASSERT_TRUE(saveDocumentJson(doc, folder + "/doc.json", &error)) << error;
  std::ifstream in(folder + "/doc.json", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), documentJson(doc));
  std::remove((folder + "/doc.json").c_str());
  ::rmdir(folder.c_str());

  EXPECT_FALSE(saveDocumentJson(doc, folder + "/gone/doc.json", &error));
  EXPECT_NE(error.find("gone/doc.json"), std::string::npos);
}

}  // namespace
}  // namespace qx::host
