// Host memory handed to plug-ins: every block and handle is tracked, so a
// leak is visible and a bad pointer is refused instead of freed.
#include <gtest/gtest.h>

#include <cstring>

#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"
#include "host/suites/suite_registry.h"
#include "qx_sdk.h"

namespace qx::host {
namespace {

TEST(MemoryStore, HandlesAreZeroFilledTrackedAndDisposedOnce) {
  const size_t before = liveMemHandles();
  QxMemHandle handle = newMemHandle(236);
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(*handle, nullptr);
  EXPECT_EQ(liveMemHandles(), before + 1) << "a live handle is visible as a leak";
  EXPECT_EQ(memHandleSize(handle), 236u);
  const auto* bytes = static_cast<const uint8_t*>(*handle);
  for (size_t i = 0; i < 236; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;

  EXPECT_TRUE(disposeMemHandle(handle));
  EXPECT_FALSE(isLiveMemHandle(handle));
  EXPECT_FALSE(disposeMemHandle(handle)) << "a second dispose is refused";
  EXPECT_EQ(memHandleSize(handle), 0u);
  EXPECT_EQ(liveMemHandles(), before);
}

TEST(MemoryStore, RefusesForeignHandlesAndBlocks) {
  void* stackBytes = nullptr;
  QxMemHandle foreign = &stackBytes;
  EXPECT_FALSE(disposeMemHandle(foreign));
  EXPECT_FALSE(disposeMemHandle(nullptr));
  int local = 0;
  EXPECT_FALSE(freeBlock(&local));
  EXPECT_FALSE(freeBlock(nullptr));

  // A block is not a handle and the other way round.
  void* block = allocateBlock(16, "x");
  QxMemHandle handle = newMemHandle(16);
  EXPECT_FALSE(disposeMemHandle(reinterpret_cast<QxMemHandle>(block)));
  EXPECT_FALSE(freeBlock(handle));
  EXPECT_FALSE(freeBlock(*handle));
  EXPECT_TRUE(freeBlock(block));
  EXPECT_TRUE(disposeMemHandle(handle));
}

TEST(MemoryStore, BlocksKeepLabelAndSizeUntilFreed) {
  const size_t before = liveBlocks();
  void* block = allocateBlock(32, "globals");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(liveBlocks(), before + 1);
  EXPECT_EQ(blockLabel(block), "globals");
  EXPECT_EQ(blockSize(block), 32u);
  std::memset(block, 0xAB, 32);  // all of it is usable
  EXPECT_TRUE(freeBlock(block));
  EXPECT_FALSE(freeBlock(block));
  EXPECT_EQ(blockLabel(block), "");
  EXPECT_EQ(liveBlocks(), before);

  void* unlabelled = allocateBlock(1, nullptr);
  EXPECT_EQ(blockLabel(unlabelled), "");
  EXPECT_TRUE(freeBlock(unlabelled));
}

TEST(MemoryStore, RefusesSizesBeyondTheLimit) {
  EXPECT_EQ(newMemHandle(kMaxAllocation + 1), nullptr);
  EXPECT_EQ(allocateBlock(kMaxAllocation + 1, "huge"), nullptr);
  EXPECT_EQ(allocateBlock(0, "empty"), nullptr);
  QxMemHandle empty = newMemHandle(0);
  ASSERT_NE(empty, nullptr) << "an empty handle is still a handle";
  EXPECT_EQ(memHandleSize(empty), 0u);
  EXPECT_TRUE(disposeMemHandle(empty));
}

// The same memory through the suites a plug-in uses.
class MemorySuites : public ::testing::Test {
 protected:
  void SetUp() override {
    registerAllSuites(registry_);
    const void* table = nullptr;
    ASSERT_EQ(registry_.acquire(QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION, &table), 0);
    blocks_ = static_cast<const QxBlocksSuite*>(table);
    ASSERT_EQ(registry_.acquire(QX_MEMORY_SUITE, QX_MEMORY_SUITE_VERSION, &table), 0);
    memory_ = static_cast<const QxMemorySuite*>(table);
    clearFaults();
  }
  void TearDown() override { clearFaults(); }
  SuiteRegistry registry_;
  const QxBlocksSuite* blocks_ = nullptr;
  const QxMemorySuite* memory_ = nullptr;
};

TEST_F(MemorySuites, AnswerCodesForBadArgumentsAndExhaustion) {
  void* block = nullptr;
  EXPECT_EQ(blocks_->AllocateBlock(0, "zero", &block), QX_ERR_BAD_PARAM);
  EXPECT_EQ(blocks_->AllocateBlock(8, "x", nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(blocks_->AllocateBlock(kMaxAllocation + 1, "x", &block), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(block, nullptr) << "nothing is written on failure";
  int local = 0;
  EXPECT_EQ(blocks_->FreeBlock(&local), QX_ERR_BAD_PARAM);

  QxMemHandle handle = nullptr;
  EXPECT_EQ(memory_->MdMemoryNewHandle(8, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(memory_->MdMemoryNewHandle(kMaxAllocation + 1, &handle), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
  size_t size = 7;
  EXPECT_EQ(memory_->MdMemoryGetSize(reinterpret_cast<QxMemHandle>(&local), &size), QX_ERR_BAD_PARAM);
  EXPECT_EQ(memory_->MdMemoryDisposeHandle(reinterpret_cast<QxMemHandle>(&local)), QX_ERR_BAD_PARAM);
}

TEST_F(MemorySuites, RoundTripAndInjectedFailureAllocatesNothing) {
  const size_t blocksBefore = liveBlocks();
  void* block = nullptr;
  ASSERT_EQ(blocks_->AllocateBlock(24, "globals", &block), 0);
  EXPECT_EQ(blockLabel(block), "globals");
  EXPECT_EQ(blocks_->FreeBlock(block), 0);
  EXPECT_EQ(blocks_->FreeBlock(block), QX_ERR_BAD_PARAM);

  ASSERT_TRUE(failNthCall(QX_BLOCKS_SUITE, "AllocateBlock", 1, QX_ERR_OUT_OF_MEMORY));
  block = nullptr;
  EXPECT_EQ(blocks_->AllocateBlock(24, "globals", &block), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(liveBlocks(), blocksBefore);

  const size_t handlesBefore = liveMemHandles();
  QxMemHandle handle = nullptr;
  ASSERT_EQ(memory_->MdMemoryNewHandle(100, &handle), 0);
  size_t size = 0;
  EXPECT_EQ(memory_->MdMemoryGetSize(handle, &size), 0);
  EXPECT_EQ(size, 100u);
  EXPECT_EQ(liveMemHandles(), handlesBefore + 1);
  EXPECT_EQ(memory_->MdMemoryDisposeHandle(handle), 0);
  EXPECT_EQ(memory_->MdMemoryDisposeHandle(handle), QX_ERR_BAD_PARAM);
  EXPECT_EQ(liveMemHandles(), handlesBefore);
}

}  // namespace
}  // namespace qx::host
