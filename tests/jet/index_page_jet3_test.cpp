// Index pages of Access 97 files (2 KiB): the writer lays entries out where
// Access 97 does (bitmap at 0x16, first entry at 0xF8, the intermediate-page
// mark at 21), the parser reads them back, and entries added and removed on
// such pages, in place and by splitting, keep every entry once and in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "jet/error_codes.h"
#include "jet/storage/read/index_page.h"
#include "jet/storage/write/index_writer.h"

namespace {

using namespace jet;
using namespace jet::storage::write;

// Pages of 2 KiB in memory.
class Access97Pages : public PageStore {
 public:
  uint32_t pageSize() const override { return 2048; }
  uint32_t pageCount() const override { return static_cast<uint32_t>(pages_.size()); }
  Result<storage::PageRef> read(uint32_t n) override {
    if (n >= pages_.size()) return Error{errc::kUnspecified, "página inexistente"};
    return storage::PageRef(pages_[n]);
  }
  Result<std::span<uint8_t>> change(uint32_t n) override {
    if (n >= pages_.size()) return Error{errc::kUnspecified, "página inexistente"};
    return std::span<uint8_t>(pages_[n]->data(), pages_[n]->size());
  }
  Result<uint32_t> allocate() override {
    pages_.push_back(std::make_shared<storage::PageBuffer>(2048, 0));
    return static_cast<uint32_t>(pages_.size() - 1);
  }
  const storage::PageBuffer& bytes(uint32_t n) const { return *pages_[n]; }

 private:
  std::vector<std::shared_ptr<storage::PageBuffer>> pages_;
};

// A Long key (flag, big-endian with the sign turned over) and its row.
IndexEntry entryFor(int32_t value, uint32_t page, uint8_t slot) {
  uint32_t v = static_cast<uint32_t>(value) ^ 0x80000000u;
  std::vector<uint8_t> key = {0x7F, static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  return makeIndexEntry(key, RowId{page, slot});
}

TEST(Access97IndexPages, TreesAreWrittenInTheAccess97LayoutAndReadBack) {
  Access97Pages store;
  ASSERT_TRUE(store.allocate());  // page 0
  std::vector<IndexEntry> sorted;
  for (int i = 0; i < 600; ++i) sorted.push_back(entryFor(i, 10 + i / 50, uint8_t(i % 50)));
  auto tree = writeIndexTree(store, 2, sorted, {});
  ASSERT_TRUE(tree) << tree.error().description;
  // 600 entries of 9 bytes need several 1800-byte leaves under one root.
  ASSERT_GT(tree->pages.size(), 3u);
  auto back = readIndexEntries(store, tree->root);
  ASSERT_TRUE(back) << back.error().description;
  EXPECT_EQ(*back, sorted);

  const auto& root = store.bytes(tree->root);
  EXPECT_EQ(root[0], 0x03);
  EXPECT_EQ(root[21], 0x01) << "intermediate-page mark";
  EXPECT_EQ(root[20], 0x00) << "no shared prefix";
  const uint32_t firstLeaf = tree->pages.front();
  const auto& leaf = store.bytes(firstLeaf);
  EXPECT_EQ(leaf[0], 0x04);
  EXPECT_EQ(leaf[4], 2) << "the table's definition page";
  // The first entry starts at 0xF8 and ends 9 bytes on: bit 9 of the bitmap at 0x16.
  EXPECT_TRUE(std::equal(sorted[0].begin(), sorted[0].end(), leaf.begin() + 0xF8));
  EXPECT_EQ(leaf[0x16], 0x00);
  EXPECT_EQ(leaf[0x17], 0x02);
  auto parsed = storage::parseIndexPage(leaf, firstLeaf);
  ASSERT_TRUE(parsed) << parsed.error().description;
  EXPECT_EQ(parsed->entries.front(), sorted.front());
  EXPECT_EQ(parsed->next, tree->pages[1]);
}

TEST(Access97IndexPages, EntriesAddedAndRemovedStayInOrderOnceEach) {
  Access97Pages store;
  ASSERT_TRUE(store.allocate());
  auto tree = writeIndexTree(store, 2, {}, {});
  ASSERT_TRUE(tree);
  uint32_t root = tree->root;
  std::vector<IndexEntry> expected;
  std::mt19937 random(97);
  for (int i = 0; i < 900; ++i) {
    IndexEntry e =
        entryFor(static_cast<int32_t>(random() % 100000) - 50000, 20 + i / 40, uint8_t(i % 40));
    auto done = insertIndexEntry(store, root, e);
    ASSERT_TRUE(done) << done.error().description;
    ASSERT_TRUE(*done) << "entry " << i;
    expected.push_back(e);
  }
  for (int i = 0; i < 300; ++i) {
    size_t at = random() % expected.size();
    auto done = removeIndexEntry(store, root, expected[at]);
    ASSERT_TRUE(done) << done.error().description;
    if (*done) expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
  }
  std::sort(expected.begin(), expected.end());
  auto back = readIndexEntries(store, root);
  ASSERT_TRUE(back) << back.error().description;
  EXPECT_EQ(*back, expected);
  // A unique key is refused twice on these pages too.
  auto twin = insertIndexEntry(store, root, expected.front(), 5);
  ASSERT_FALSE(twin);
  EXPECT_EQ(twin.error().number, errc::kIntegrity);
}

}  // namespace
