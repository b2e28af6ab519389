// Running out of memory: a chunk the art store cannot have makes the call
// that needed it throw and leaves the store whole, as before the call (or,
// for a shape half made, with what undo takes back); a suite call turns any
// exception into a result code, so none reaches the plug-in.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "host/document/art_store_impl.h"
#include "host/document/art_walk.h"
#include "host/document/chunked_array.h"
#include "host/document/document.h"
#include "host/io/json/json_writer.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/suites/suite_registry.h"
#include "qx_names.h"
#include "support/art_store_builders.h"

namespace qx::host {
namespace {

constexpr size_t kRecordsPerChunk = decltype(ArtArrays::records)::kChunkSize;
constexpr size_t kSegmentsPerChunk = decltype(ArtArrays::segments)::kChunkSize;

// Disarms the chunk pool's injected failure however the test ends.
struct FailingChunk {
  explicit FailingChunk(uint64_t nth) { chunk_pool::failNthTake(nth); }
  ~FailingChunk() { chunk_pool::failNthTake(0); }
};

// Runs `change`, which must need a chunk, with that chunk failing: it throws
// std::bad_alloc and the document reads as it did before.
void expectRefusedWhole(Document& doc, const std::function<void()>& change, const char* what) {
  const std::string before = documentJson(doc);
  const size_t live = doc.art().liveArtCount();
  {
    FailingChunk failing(1);
    EXPECT_THROW(change(), std::bad_alloc) << what;
  }
  EXPECT_EQ(doc.art().liveArtCount(), live) << what;
  EXPECT_EQ(documentJson(doc), before) << what;
}

// `count` groups at the top (records without segments).
void addGroups(ArtStore& art, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    QxArtHandle g = nullptr;
    ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &g), 0);
  }
}

TEST(ArtStoreOutOfMemory, ACallThatCannotHaveItsChunkChangesNothing) {
  Document doc;
  ArtStore& art = doc.art();
  // A group of two paths; its copy will straddle the end of the first
  // record chunk.
  QxArtHandle group = nullptr;
  ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  newPath(art, {corner(0, 0), corner(5, 5)}, QX_PLACE_INSIDE_ON_TOP, group);
  newPath(art, {corner(1, 1)}, QX_PLACE_INSIDE_ON_TOP, group);
  addGroups(art, kRecordsPerChunk - 3 - 1);  // one record left in the chunk
  art.beginMessage();                        // the failures come inside an undo context, as in a plug-in's run
  const std::string atStart = documentJson(doc);

  // The copy's first record fits, its second needs a new chunk: the half
  // made copy goes, and its neighbours are as they were.
  QxArtHandle out = nullptr;
  expectRefusedWhole(
      doc, [&] { (void)art.duplicateArt(group, QX_PLACE_ABOVE, group, &out); }, "a copy");
  ASSERT_EQ(art.newArt(QX_ART_PATH, QX_PLACE_BELOW_ALL, nullptr, &out), 0);  // the chunk's last record
  expectRefusedWhole(
      doc, [&] { (void)art.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_BOTTOM, group, &out); }, "new art");
  EXPECT_FALSE(art.budgetExhausted()) << "memory is not the art budget";

  // Nothing half made stays after undo either, and the store works on.
  art.undoMessage();
  art.endMessage();
  EXPECT_EQ(documentJson(doc), atStart);
  ASSERT_EQ(art.duplicateArt(group, QX_PLACE_ABOVE, group, &out), 0);
  EXPECT_EQ(art.children(out).size(), 2u);
}

TEST(ArtStoreOutOfMemory, PathsAndShapesWithoutRoomForTheirSegmentsStayAsTheyWere) {
  Document doc;
  ArtStore& art = doc.art();
  // Paths of the most segments a path takes, each right after the one
  // before, until the first segment chunk has no room for another.
  const auto longest = static_cast<size_t>(ArtStore::kMaxSegments);
  for (size_t used = 0; kSegmentsPerChunk - used >= longest; used += longest)
    ASSERT_EQ(art.setSegmentCount(newPath(art, {}), static_cast<int32_t>(longest)), 0);
  const QxArtHandle path = newPath(art, {corner(1, 2)});
  expectRefusedWhole(
      doc, [&] { (void)art.setSegmentCount(path, static_cast<int32_t>(longest)); }, "a longer path");
  QxArtHandle star = nullptr;
  expectRefusedWhole(
      doc, [&] { (void)art.newStar(16000, 0, 0, 1, 2, false, &star); }, "a shape");
  ASSERT_EQ(art.newStar(16000, 0, 0, 1, 2, false, &star), 0);
  EXPECT_EQ(viewOf(art, star).segments.size(), 32000u);
}

// Suite calls answer a code for every failure inside the host: the plug-in
// is built without exceptions, and one unwinding through it would skip its
// clean-up.
TEST(SuiteBoundary, AFailureInsideTheHostComesBackAsACode) {
  SuiteRegistry registry;
  registerArtSuites(registry);
  const auto* suite = static_cast<const QxArtSuite*>(registry.find(QX_ART_SUITE, QX_ART_SUITE_VERSION));
  ASSERT_NE(suite, nullptr);
  Document doc;
  const HostContext saved = hostContext();
  hostContext().document = &doc;
  const uint64_t before = outOfMemoryCount();

  QxArtHandle made = reinterpret_cast<QxArtHandle>(uintptr_t{0xBAD});
  {
    FailingChunk failing(1);
    EXPECT_EQ(suite->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &made), QX_ERR_OUT_OF_MEMORY);
  }
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(outOfMemoryCount(), before + 1) << "counted, so a front end knows its run failed";
  EXPECT_EQ(doc.art().liveArtCount(), 0u);
  ASSERT_EQ(suite->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &made), 0);

  // Any other exception is the host's own failure.
  ASSERT_TRUE(onNthCall(QX_ART_SUITE, "GetArtType", 1, [] { throw std::runtime_error("a fault"); }));
  int16_t type = 0;
  EXPECT_EQ(suite->GetArtType(made, &type), QX_ERR_HOST_FAILURE);
  EXPECT_EQ(outOfMemoryCount(), before + 1);
  ASSERT_EQ(suite->GetArtType(made, &type), 0);
  EXPECT_EQ(type, QX_ART_PATH);
  hostContext() = saved;
}

}  // namespace
}  // namespace qx::host
