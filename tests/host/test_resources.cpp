// The plug-in's resources read back from the built library file, and the
// reader's answers to damaged or hostile files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "host/plugins/plugin_resources.h"
#include "host/plugins/resource_formats.h"

namespace qx::host {
namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<uint8_t>& pluginFile() {
  static const std::vector<uint8_t> bytes = readBytes(QX_PLUGIN_FILE);
  return bytes;
}

const PluginResources& shipped() {
  static const PluginResources resources = [] {
    std::string error;
    std::optional<PluginResources> r = PluginResources::readFile(QX_PLUGIN_FILE, &error);
    if (!r) ADD_FAILURE() << error;
    return r ? *r : PluginResources();
  }();
  return resources;
}

// Where the .res image starts inside the library: its empty first entry.
size_t resourceImageOffset(const std::vector<uint8_t>& file) {
  static const uint8_t kFirstEntry[16] = {0, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
  auto it = std::search(file.begin(), file.end(), std::begin(kFirstEntry), std::end(kFirstEntry));
  return it == file.end() ? 0 : static_cast<size_t>(it - file.begin());
}

// ---- What the shipped library carries ----

TEST(ShippedResources, PropertyListIsByteForByteAndNamesTheEntryPoint) {
  static const uint8_t kExpected[79] = {
      0x01, 0x00, 0,   0,   0,   0,   3,   0,   0,   0,  // signature, version, 3 properties
      'E',  'B',  'D', 'A', 'd', 'n', 'i', 'k', 0,   0,   0, 0, 4,  0, 0, 0, 'A', 'E', 'P', 'S',  // kind SPEA
      'E',  'B',  'D', 'A', 's', 'r', 'v', 'i', 0,   0,   0, 0, 4,  0, 0, 0, 2,   0,   0,   0,    // ivrs 2
      'E',  'B',  'D', 'A', '6', '8', 'x', 'w', 0,   0,   0, 0, 12, 0, 0, 0,                      // wx86, 12 bytes
      'P',  'l',  'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0,                                   //
      0};
  std::string error;
  const std::optional<PluginPropertyList> list = shipped().propertyList(&error);
  ASSERT_TRUE(list) << error;
  EXPECT_EQ(list->bytes, std::vector<uint8_t>(std::begin(kExpected), std::end(kExpected)));
  EXPECT_EQ(list->kind, "SPEA");
  EXPECT_EQ(list->interfaceVersion, 2);
  EXPECT_EQ(list->entryPoint, "PluginMain");
}

TEST(ShippedResources, StringListsHoldEveryEntryAndNothingMore) {
  const std::string memory = "The filter cannot complete because there isn't enough memory (RAM) available.";
  const std::vector<std::pair<uint32_t, std::string>> expected = {
      {16000, "<First Mac index is 1>"},
      {16001, "Torvik <Create>"},
      {16002, "Quelvix..."},
      {16050, "<Mac strings begin at index 1>"},
      {16051, "-108"},
      {16052, memory},
      {16053, "271"},
      {16054, memory},
      {16055, "SEGM"},
      {16056, "The filter cannot complete because a layer is locked or invisible."},
      {16057, "NESS"},
      {16058, "The filter cannot complete because a path has too many anchor points."},
      {16059, "!sel"},
      {16060, "The selection is not valid for this filter."},
      {16061, "<Others>"},
      {16062, "The filter cannot complete because of an unknown error."},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(shipped().string(id).value_or("<missing>"), text) << id;
  // The lists end where the loops over them stop.
  for (uint32_t id : {15999u, 16003u, 16049u, 16063u, 16064u, 70000u}) EXPECT_FALSE(shipped().string(id)) << id;
}

void expectItem(const DialogTemplateItem& item, int32_t id, const std::string& windowClass, const std::string& text,
                int x, int y, int cx, int cy) {
  SCOPED_TRACE("item " + std::to_string(id) + " \"" + text + "\"");
  EXPECT_EQ(item.id, id);
  EXPECT_EQ(item.windowClass, windowClass);
  EXPECT_EQ(item.text, text);
  EXPECT_EQ(item.x, x);
  EXPECT_EQ(item.y, y);
  EXPECT_EQ(item.cx, cx);
  EXPECT_EQ(item.cy, cy);
}

constexpr uint32_t kDefaultPushButton = 1;

TEST(ShippedResources, ErrorDialogTemplate) {
  std::string error;
  const std::optional<DialogTemplate> d = shipped().dialog(16051, &error);
  ASSERT_TRUE(d) << error;
  EXPECT_EQ(d->caption, "Plug-in Error");
  EXPECT_EQ(d->cx, 185);
  EXPECT_EQ(d->cy, 92);
  EXPECT_EQ(d->fontName, "MS Sans Serif");
  EXPECT_EQ(d->fontPointSize, 8);
  ASSERT_EQ(d->items.size(), 4u);
  expectItem(d->items[0], 1, "BUTTON", "OK", 127, 65, 50, 14);
  EXPECT_EQ(d->items[0].style & 0xF, kDefaultPushButton);
  expectItem(d->items[1], 2, "STATIC", "Message", 43, 12, 126, 28);
  expectItem(d->items[2], 3, "STATIC", "Code", 13, 66, 30, 8);
  expectItem(d->items[3], 4, "STATIC", "", 10, 10, 18, 20);
}

TEST(ShippedResources, AboutBoxTemplate) {
  std::string error;
  const std::optional<DialogTemplate> d = shipped().dialog(16050, &error);
  ASSERT_TRUE(d) << error;
  EXPECT_EQ(d->caption, "Quelvix Plug-in About");
  EXPECT_EQ(d->cx, 299);
  EXPECT_EQ(d->cy, 167);
  EXPECT_EQ(d->fontName, "MS Sans Serif");
  EXPECT_EQ(d->fontPointSize, 8);
  ASSERT_EQ(d->items.size(), 9u);
  std::vector<std::string> lines;
  const DialogTemplateItem* ok = nullptr;
  for (const DialogTemplateItem& item : d->items) {
    if (item.id == 1) {
      ok = &item;
    } else if (item.windowClass == "STATIC") {
      lines.push_back(item.text);
      EXPECT_LT(item.y + item.cy, 148) << item.text;  // above the button
    }
  }
  ASSERT_NE(ok, nullptr);
  expectItem(*ok, 1, "BUTTON", "&OK", 125, 148, 40, 14);
  EXPECT_EQ(ok->style & 0xF, kDefaultPushButton);
  ASSERT_EQ(lines.size(), 8u);
  auto hasLine = [&](const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(hasLine("Quelvix"));
  EXPECT_TRUE(hasLine("Version 1."));
  EXPECT_TRUE(hasLine("Released"));
}

TEST(ShippedResources, SettingsDialogTemplateHasCaptionAndNoItems) {
  const std::optional<DialogTemplate> d = shipped().dialog(16100);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->caption, "Quelvix Plug-in");
  EXPECT_EQ(d->cx, 228);
  EXPECT_EQ(d->cy, 166);
  EXPECT_EQ(d->fontName, "MS Sans Serif");
  EXPECT_TRUE(d->items.empty());
  EXPECT_FALSE(shipped().dialog(16052));
}

TEST(ShippedResources, VersionRecord) {
  std::string error;
  const std::optional<VersionRecord> v = shipped().version(&error);
  ASSERT_TRUE(v) << error;
  EXPECT_EQ(v->strings.at("Comments"), "Plugin to create lines and connections");
  EXPECT_EQ(v->strings.at("FileDescription"), "Lines / lattices");
  EXPECT_EQ(v->strings.at("InternalName"), "Quelvix");
  EXPECT_EQ(v->strings.at("ProductName"), "Quelvix");
  EXPECT_EQ(v->strings.at("OriginalFilename"), "Quelvix.aip");
  EXPECT_FALSE(v->strings.at("CompanyName").empty());
  EXPECT_FALSE(v->strings.at("LegalCopyright").empty());
  // The numbers and the texts say the same version.
  EXPECT_EQ(v->fileVersion, v->strings.at("FileVersion") + ".0");
  EXPECT_EQ(v->productVersion, v->strings.at("ProductVersion") + ".0");
}

TEST(ShippedResources, IconAndCursorGroupsWithTheirImages) {
  EXPECT_TRUE(shipped().hasIconGroup(16051));
  EXPECT_TRUE(shipped().hasCursorGroup(16000));
  EXPECT_FALSE(shipped().hasIconGroup(16000));
  EXPECT_FALSE(shipped().hasCursorGroup(16051));
}

// ---- Damaged and hostile files ----

std::string readError(const std::vector<uint8_t>& file) {
  std::string error;
  const std::optional<PluginResources> r = PluginResources::readElfImage(file, &error);
  return r ? std::string() : error;
}

TEST(DamagedResources, FilesThatAreNoLibraries) {
  std::string error;
  EXPECT_FALSE(PluginResources::readFile("/nonexistent/Quelvix.aip", &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
  EXPECT_NE(readError({}).find("not an ELF"), std::string::npos);
  const std::string text = "#!/bin/sh\necho this is not a plug-in\n";
  EXPECT_NE(readError(std::vector<uint8_t>(text.begin(), text.end())).find("not an ELF"), std::string::npos);

  std::vector<uint8_t> file = pluginFile();
  file[4] = 1;  // 32-bit class
  EXPECT_NE(readError(file).find("64-bit"), std::string::npos);
  file = pluginFile();
  file[5] = 2;  // big-endian
  EXPECT_NE(readError(file).find("little-endian"), std::string::npos);
}

TEST(DamagedResources, TruncatedLibraryGivesAReasonAtEveryLength) {
  const std::vector<uint8_t>& full = pluginFile();
  ASSERT_GT(full.size(), 4096u);
  std::vector<size_t> lengths = {0, 1, 4, 16, 63, 64, 65, 200, full.size() / 2, full.size() - 64, full.size() - 1};
  for (size_t step = full.size() / 37, n = step; n < full.size(); n += step) lengths.push_back(n);
  for (size_t n : lengths) {
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_FALSE(readError(cut).empty()) << "cut at " << n;
  }
}

// The ELF header's section-table fields, overwritten with hostile values.
TEST(DamagedResources, HostileSectionTableFields) {
  auto withField = [](size_t offset, size_t width, uint64_t value) {
    std::vector<uint8_t> file = pluginFile();
    for (size_t i = 0; i < width; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return file;
  };
  EXPECT_NE(readError(withField(0x28, 8, ~uint64_t(0) - 8)).find("outside the file"), std::string::npos);
  EXPECT_NE(readError(withField(0x28, 8, 0)).find("no section table"), std::string::npos);
  EXPECT_NE(readError(withField(0x3A, 2, 8)).find("bad size"), std::string::npos);
  EXPECT_NE(readError(withField(0x3C, 2, 0xFFFE)).find("outside the file"), std::string::npos);
  EXPECT_NE(readError(withField(0x3E, 2, 0xFFF0)).find("out of range"), std::string::npos);
}

TEST(DamagedResources, MissingOrGarbledResourceSection) {
  std::vector<uint8_t> file = pluginFile();
  const uint8_t kName[] = ".qxres";
  auto name = std::search(file.begin(), file.end(), std::begin(kName), std::end(kName) - 1);
  ASSERT_NE(name, file.end());
  name[5] = 'z';
  EXPECT_NE(readError(file).find("no resource section"), std::string::npos);

  file = pluginFile();
  const size_t image = resourceImageOffset(file);
  ASSERT_NE(image, 0u);
  for (size_t i = 0; i < 64; ++i) file[image + i] = static_cast<uint8_t>(0xA5 ^ i);
  EXPECT_NE(readError(file).find("not a resource file"), std::string::npos);

  // The first real entry (the property list) claims more data than there is.
  file = pluginFile();
  file[image + 32 + 3] = 0x7F;
  EXPECT_NE(readError(file).find("beyond the end"), std::string::npos);
  file = pluginFile();
  file[image + 32 + 4] = 7;  // header size below the minimum
  EXPECT_NE(readError(file).find("bad header size"), std::string::npos);
}

// Random damage inside the resource image: whatever the reader accepts, every
// query answers without reading outside the bytes (the sanitizer build checks).
TEST(DamagedResources, RandomDamageNeverEscapesTheBytes) {
  const std::vector<uint8_t>& original = pluginFile();
  const size_t image = resourceImageOffset(original);
  ASSERT_NE(image, 0u);
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> file = original;
    std::uniform_int_distribution<size_t> at(image, image + 13000);
    for (int hits = 1 + round % 8; hits > 0; --hits) file[at(random)] = static_cast<uint8_t>(random());
    std::string error;
    const std::optional<PluginResources> r = PluginResources::readElfImage(file, &error);
    if (!r) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    r->propertyList(&error);
    for (uint32_t id = 16000; id < 16064; ++id) r->string(id);
    for (int32_t id : {16050, 16051, 16100}) r->dialog(id, &error);
    r->version(&error);
    r->hasIconGroup(16051);
    r->hasCursorGroup(16000);
  }
}

// ---- Single records cut short or miscounted ----

std::vector<uint8_t> shippedRaw(uint16_t type, uint16_t id) {
  std::optional<std::vector<uint8_t>> data = shipped().raw(type, id);
  if (!data) ADD_FAILURE() << "no resource " << type << "/" << id;
  return data.value_or(std::vector<uint8_t>());
}

TEST(DamagedRecords, PropertyListCountsAndLengths) {
  const std::vector<uint8_t> good = shipped().propertyList(nullptr).value_or(PluginPropertyList()).bytes;
  ASSERT_EQ(good.size(), 79u);
  std::string error;

  std::vector<uint8_t> list = good;
  list[6] = 100;  // 100 properties in 79 bytes
  EXPECT_FALSE(resfmt::parsePropertyList(list, &error));
  EXPECT_NE(error.find("counts 100 properties"), std::string::npos) << error;

  list = good;
  list[50 + 12] = 0xE8, list[50 + 13] = 0x03;  // the entry point's name claims 1000 bytes
  EXPECT_FALSE(resfmt::parsePropertyList(list, &error));
  EXPECT_NE(error.find("claims 1000 bytes"), std::string::npos) << error;

  list = good;
  list[10 + 12] = 3;  // a kind of three bytes
  EXPECT_FALSE(resfmt::parsePropertyList(list, &error));
  EXPECT_NE(error.find("'kind'"), std::string::npos) << error;

  list = good;
  list[0] = 2;
  EXPECT_FALSE(resfmt::parsePropertyList(list, &error));
  EXPECT_NE(error.find("unknown format"), std::string::npos) << error;

  // Only the closing zero byte may go.
  for (size_t n = 0; n < 78; ++n) {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_FALSE(resfmt::parsePropertyList(cut, &error)) << "cut at " << n;
  }
  EXPECT_TRUE(resfmt::parsePropertyList(std::vector<uint8_t>(good.begin(), good.begin() + 78), &error));
}

TEST(DamagedRecords, DialogsAndVersionCutShort) {
  for (uint16_t id : {16050, 16051}) {
    const std::vector<uint8_t> good = shippedRaw(5, id);
    for (size_t n = 0; n < good.size(); ++n) {
      std::string error;
      const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
      EXPECT_FALSE(resfmt::parseDialogTemplate(cut, id, &error)) << id << " cut at " << n;
      EXPECT_EQ(error.rfind("dialog " + std::to_string(id), 0), 0u) << error;
    }
  }
  const std::vector<uint8_t> version = shippedRaw(16, 1);
  for (size_t n = 0; n < 92; ++n) {  // everything up to the fixed version numbers
    std::string error;
    const std::vector<uint8_t> cut(version.begin(), version.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_FALSE(resfmt::parseVersionRecord(cut, &error)) << "cut at " << n;
  }
}

TEST(DamagedRecords, StringBlockCutShortReadsAsMissing) {
  std::vector<uint8_t> res = {0, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
  res.resize(32, 0);
  // One string block (number 1, strings 0..15) whose string 0 claims 9 units
  // but holds 2.
  const std::vector<uint8_t> header = {8, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 6, 0, 0xFF, 0xFF, 1, 0};
  res.insert(res.end(), header.begin(), header.end());
  res.resize(res.size() + 16, 0);
  const std::vector<uint8_t> data = {9, 0, 'h', 0, 'i', 0, 0, 0};
  res.insert(res.end(), data.begin(), data.end());
  std::string error;
  const std::optional<PluginResources> r = PluginResources::parse(res, &error);
  ASSERT_TRUE(r) << error;
  EXPECT_FALSE(r->string(0));
  EXPECT_FALSE(r->string(1));
}

}  // namespace
}  // namespace qx::host
