// Running out of memory in the middle of a real run of the plug-in: the
// host call that needed the memory answers the out-of-memory code, the
// plug-in stops drawing there, and its message ends as any other does: the
// undo context closed (its change kept for the history), nothing held that
// should not be, the document sound, and the next run whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "host/document/art_store_impl.h"
#include "host/document/art_walk.h"
#include "host/document/chunked_array.h"
#include "host/suites/guarded.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

constexpr size_t kRecordsPerChunk = decltype(host::ArtArrays::records)::kChunkSize;

// The chunk pool's nth take from now fails while this lives.
struct FailingChunk {
  explicit FailingChunk(uint64_t nth) { host::chunk_pool::failNthTake(nth); }
  ~FailingChunk() { host::chunk_pool::failNthTake(0); }
};

// Every object reached once, under its own parent, and the count right.
void expectSound(const host::ArtStore& art) {
  host::ArtWalk walk(art);
  host::ArtStep step;
  std::vector<QxArtHandle> open;
  size_t seen = 0;
  while (walk.next(&step)) {
    if (step.kind == host::ArtStep::kLeave) {
      ASSERT_FALSE(open.empty());
      open.pop_back();
      continue;
    }
    ++seen;
    QxArtHandle parent = nullptr;
    ASSERT_EQ(art.parent(step.art, &parent), 0);
    ASSERT_EQ(parent, open.empty() ? nullptr : open.back());
    if (step.kind == host::ArtStep::kEnter) open.push_back(step.art);
  }
  EXPECT_FALSE(walk.lost());
  EXPECT_EQ(seen, art.liveArtCount());
}

class OutOfMemoryRun : public GeneratorHost {
 protected:
  // Twenty lines of a thousand points with a square at each: more objects
  // than a record chunk holds, so the run takes several chunks.
  static FilterParameters manyShapes() {
    FilterParameters p = defaults();
    p.lineSets = 20;
    p.pointsMin = p.pointsMax = 1000;
    p.lockPoints = 1;
    p.shapeKind = 1;
    p.shapeSizeMin = p.shapeSizeMax = 10;
    return p;
  }

  // Takes back what the last message drew, if anything, through the change
  // it kept for the history. Then the whole drawing's change, made again
  // and taken back, shows that no undo context stays open and that the page
  // stands exactly where that drawing began.
  void takeBackLastMessage(const host::ArtChange& whole, size_t wholeCount) {
    host::ArtStore& art = doc_.art();
    host::ArtChangePtr change;
    ASSERT_TRUE(art.takeChange(&change));
    if (change) {
      ASSERT_TRUE(art.undoChange(*change));
    }
    EXPECT_EQ(art.liveArtCount(), 0u);
    ASSERT_TRUE(art.redoChange(whole));
    EXPECT_EQ(art.liveArtCount(), wholeCount);
    ASSERT_TRUE(art.undoChange(whole));
  }
};

TEST_F(OutOfMemoryRun, AChunkThatCannotBeHadStopsTheDrawingAndTheMessageEndsWhole) {
  doc_.art().setKeepChanges(true);
  FilterParameters p = manyShapes();
  random_.seed(3);
  ASSERT_EQ(go(p), 0);
  const size_t whole = doc_.art().liveArtCount();
  ASSERT_GT(whole, kRecordsPerChunk);
  host::ArtChangePtr drawing;
  ASSERT_TRUE(doc_.art().takeChange(&drawing));
  ASSERT_TRUE(drawing);
  ASSERT_TRUE(doc_.art().undoChange(*drawing));

  // Straight to Go, and through the dialog's preview (which the plug-in
  // never reports on); the first, second and third chunk of the run fail.
  const std::function<QxErr()> runs[] = {[&] { return go(p); },
                                         [&] {
                                           p.preview = 1;
                                           setBlock(p);
                                           return getParameters();
                                         }};
  for (const auto& run : runs) {
    for (uint64_t nth = 1; nth <= 3; ++nth) {
      const uint64_t failures = host::outOfMemoryCount();
      random_.seed(3);
      {
        const FailingChunk failing(nth);
        EXPECT_EQ(run(), 0) << "the plug-in answers 0 whatever its drawing met";
      }
      EXPECT_EQ(host::outOfMemoryCount(), failures + 1) << "one call answered the out-of-memory code, chunk " << nth;
      EXPECT_LT(doc_.art().liveArtCount(), whole) << "and the plug-in stopped drawing there";
      EXPECT_EQ(host().messageDepth(), 0);
      EXPECT_EQ(extraHandles(), 1) << "the parameter block alone";
      expectSound(doc_.art());
      takeBackLastMessage(*drawing, whole);
    }
  }

  // The next run draws the whole drawing, and shutting down gives all back.
  p.preview = 0;
  random_.seed(3);
  ASSERT_EQ(go(p), 0);
  EXPECT_EQ(doc_.art().liveArtCount(), whole);
  ASSERT_EQ(shutdown(), 0);
  EXPECT_TRUE(nothingLeaked()) << extraBlocks() << " blocks, " << extraHandles() << " handles, " << extraSuiteRefs()
                               << " suite references";
}

}  // namespace
}  // namespace qx::test
