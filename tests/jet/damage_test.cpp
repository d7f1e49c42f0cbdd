// Damaged and foreign files: the engine answers a clear error (or reads
// what is still sound), and never crashes, hangs or runs out of memory.
//
// Each case damages a private copy of an Access-made file in place and
// then does everything a reader does: open, list every table (system ones
// too), read each definition and scan each table to the end with every
// column. The sanitizer build runs the same cases, so a read outside a
// buffer fails the run even where the answer looks right.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/file_database.h"
#include "jet/storage/read/row_codec.h"
#include "support/fixtures.h"
#include "support/temp_dir.h"

namespace {

using cocina::test::TempDir;

// Reads the whole file through the engine; answers the first failure.
jet::Status readEverything(const std::string& path) {
  auto db = jet::Database::open(path, {.readOnly = true});
  if (!db) return db.status();
  auto names = (*db)->tableNames(true);
  if (!names) return names.status();
  for (const auto& name : *names) {
    auto schema = (*db)->table(name);
    if (!schema) return schema.status();
    std::vector<int> all(schema->columns.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    auto cursor = (*db)->scan(name, all);
    if (!cursor) return cursor.status();
    // A damaged table must end; a million rows is far more than any fixture holds.
    for (int rows = 0; rows < 1000000; ++rows) {
      auto more = (*cursor)->next();
      if (!more) return more.status();
      if (!*more) break;
    }
  }
  return jet::Status::ok();
}

// A failure must say what went wrong, as the storage failure the provider reports.
void expectClear(const jet::Status& s, const std::string& what) {
  if (s) return;
  EXPECT_FALSE(s.description().empty()) << what;
  EXPECT_TRUE(s.number() == jet::errc::kUnspecified || s.number() == jet::errc::kNotAuthorized)
      << what << ": " << s.number() << " " << s.description();
}

// A private, writable copy of one fixture with byte-level access.
class DamagedCopy {
 public:
  explicit DamagedCopy(const std::string& fixture) : path_(dir_.copy(fixture)) {
    fd_ = ::open(path_.c_str(), O_RDWR);
    size_ = std::filesystem::file_size(path_);
    // Damage only means something on a file that reads whole to begin with.
    auto sound = readEverything(path_);
    EXPECT_TRUE(sound) << fixture << ": " << sound.description();
  }
  ~DamagedCopy() { ::close(fd_); }
  const std::string& path() const { return path_; }
  uint64_t size() const { return size_; }
  uint8_t get(uint64_t at) const {
    uint8_t b = 0;
    EXPECT_EQ(::pread(fd_, &b, 1, static_cast<off_t>(at)), 1);
    return b;
  }
  void set(uint64_t at, uint8_t b) { EXPECT_EQ(::pwrite(fd_, &b, 1, static_cast<off_t>(at)), 1); }
  void truncate(uint64_t size) { EXPECT_EQ(::ftruncate(fd_, static_cast<off_t>(size)), 0); }
  // Sets one byte, runs the reader, puts the byte back.
  void withByte(uint64_t at, uint8_t value, const std::string& what) {
    const uint8_t old = get(at);
    set(at, value);
    expectClear(readEverything(path_), what);
    set(at, old);
  }

 private:
  TempDir dir_;
  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
};

uint32_t pageSizeOf(const std::string& path) {
  auto db = jet::storage::FileDatabase::open(path, {.readOnly = true});
  return db ? (*db)->pager().pageSize() : 4096;
}

// One fixture of each generation, small enough to damage byte by byte.
std::vector<std::string> damageFixtures() {
  std::vector<std::string> out;
  for (const char* name : {"testV1997.mdb", "test2V1997.mdb", "overflowTestV2000.mdb",
                           "testV2007.accdb", "complexDataTestV2007.accdb"}) {
    auto p = cocina::test::fixturePath(name);
    if (std::filesystem::exists(p)) out.push_back(p);
  }
  return out;
}

TEST(DamagedFile, ForeignAndEmptyFilesAreRefusedClearly) {
  TempDir dir;
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"empty.mdb", ""},
           {"text.mdb", "Mesa;Producto;Cantidad\n4;Café;2\n"},
           {"zeros.accdb", std::string(8192, '\0')},
           {"short.mdb", std::string("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21)},
           {"badversion.mdb",
            std::string("\x00\x01\x00\x00Standard Jet DB\x00\x09", 21) + std::string(8192, 'x')},
       }) {
    auto s = readEverything(dir.write(name, bytes));
    EXPECT_FALSE(s) << name;
    expectClear(s, name);
  }
  auto missing = jet::Database::open(dir.file("missing.mdb"));
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().description.find("missing.mdb"), std::string::npos);
  auto folder = jet::Database::open(dir.path());
  EXPECT_FALSE(folder);
}

TEST(DamagedFile, APasswordOrEncryptionIsRefusedNotReadAsGarbage) {
  if (!cocina::test::requireFixtures()) return;
  for (const char* name : {"testV1997.mdb", "testV2000.mdb", "testV2007.accdb"}) {
    auto fixture = cocina::test::fixturePath(name);
    if (!std::filesystem::exists(fixture)) continue;
    SCOPED_TRACE(name);
    // Under the header mask, a changed byte of the password field or of the
    // encryption key reads as a password or a key set.
    for (uint64_t at : {uint64_t{jet::format::kHeaderPasswordOffset},
                        uint64_t{jet::format::kHeaderDatabaseKeyOffset}}) {
      DamagedCopy copy(fixture);
      copy.set(at, copy.get(at) ^ 0x5A);
      auto db = jet::Database::open(copy.path(), {.readOnly = true});
      ASSERT_FALSE(db);
      EXPECT_EQ(db.error().number, jet::errc::kNotAuthorized) << db.error().description;
    }
  }
}

TEST(DamagedFile, TruncatedAtPageBoundariesAndMidPage) {
  if (!cocina::test::requireFixtures()) return;
  for (const auto& fixture : cocina::test::fixtureFiles()) {
    SCOPED_TRACE(fixture);
    DamagedCopy copy(fixture);
    const uint32_t ps = pageSizeOf(fixture);
    const uint64_t pages = copy.size() / ps;
    // Every page boundary, and the middle of every page: a cut anywhere must
    // read as a clear error or as the rows before the cut, never a crash.
    bool someFailed = false;
    for (uint64_t k = pages - 1; k >= 1; --k) {
      for (uint64_t size : {k * ps + ps / 2 + 7, k * ps}) {
        copy.truncate(size);
        auto s = readEverything(copy.path());
        expectClear(s, "cut at " + std::to_string(size));
        someFailed = someFailed || !s;
      }
    }
    EXPECT_TRUE(someFailed) << "no truncation was noticed";
    copy.truncate(ps / 3);
    EXPECT_FALSE(readEverything(copy.path()));
  }
}

TEST(DamagedFile, FlippedBytesInPageHeadersAndRowOffsetTables) {
  if (!cocina::test::requireFixtures()) return;
  // One file of each generation: every page is damaged, so this is the slow case.
  for (const auto& fixture : damageFixtures()) {
    const auto name = std::filesystem::path(fixture).filename().string();
    if (name != "testV1997.mdb" && name != "overflowTestV2000.mdb" && name != "testV2007.accdb")
      continue;
    SCOPED_TRACE(fixture);
    DamagedCopy copy(fixture);
    auto probe = jet::storage::FileDatabase::open(fixture, {.readOnly = true});
    ASSERT_TRUE(probe);
    const auto& layout = jet::format::layoutFor((*probe)->format());
    const uint32_t ps = layout.pageSize;
    for (uint64_t page = 1; page < copy.size() / ps; ++page) {
      const uint64_t base = page * ps;
      // Page type, owner and next-page pointers, counts.
      for (uint64_t at : {0, 4, 12})
        copy.withByte(base + at, copy.get(base + at) ^ 0xFF, "header byte");
      if (copy.get(base) != static_cast<uint8_t>(jet::format::PageType::Data)) continue;
      const uint16_t rows =
          static_cast<uint16_t>(copy.get(base + layout.dataRowCountOffset) |
                                (copy.get(base + layout.dataRowCountOffset + 1) << 8));
      for (uint16_t r = 0; r < std::min<uint16_t>(rows, 3); ++r) {
        const uint64_t entry = base + layout.dataRowCountOffset + 2 + 2 * r;
        copy.withByte(entry, copy.get(entry) ^ 0xFF, "row offset low byte");
        for (uint8_t flip : {0x80, 0x40, 0x1F}) {
          copy.withByte(entry + 1, copy.get(entry + 1) ^ flip, "row offset high byte");
        }
      }
    }
  }
}

TEST(DamagedFile, BrokenLongValueReferencesAndLoopingChains) {
  if (!cocina::test::requireFixtures()) return;
  int refsDamaged = 0;
  for (const auto& fixture : damageFixtures()) {
    SCOPED_TRACE(fixture);
    DamagedCopy copy(fixture);
    auto db = jet::storage::FileDatabase::open(fixture, {.readOnly = true});
    ASSERT_TRUE(db);
    auto& pager = (*db)->pager();
    const auto& layout = jet::format::layoutFor(pager.format());
    auto names = (*db)->tableNames(true);
    ASSERT_TRUE(names);
    for (const auto& name : *names) {
      auto def = (*db)->tableDef(name);
      ASSERT_TRUE(def) << name << ": " << def.error().description;
      // Find every memo and OLE reference stored in this table's rows.
      for (uint32_t page = 1; page < pager.pageCount(); ++page) {
        auto p = pager.page(page);
        ASSERT_TRUE(p);
        jet::storage::ByteSpan bytes(**p);
        if (bytes[0] != 0x01 || *jet::storage::readU32(bytes, 4) != (*def)->page) continue;
        auto count = jet::storage::pageRowCount(bytes, layout);
        if (!count) continue;
        for (uint16_t slot = 0; slot < *count; ++slot) {
          auto where = jet::storage::locateRow(bytes, layout, slot);
          if (!where || where->deleted || where->moved) continue;
          auto row = bytes.subspan(where->start, where->end - where->start);
          auto parts = jet::storage::splitRow(row, layout, (*def)->varColumns > 0);
          if (!parts) continue;
          for (size_t c = 0; c < (*def)->placements.size(); ++c) {
            const auto t = (*def)->schema.columns[c].type;
            const auto& place = (*def)->placements[c];
            if ((t != jet::ColumnType::Memo && t != jet::ColumnType::OLE) || place.fixed) continue;
            if (!parts->present(place.number) || place.varIndex >= parts->varCount) continue;
            const uint16_t start = parts->varOffsets[place.varIndex];
            if (parts->varOffsets[place.varIndex + 1] < start + 12) continue;
            const uint64_t field = uint64_t{page} * layout.pageSize + where->start + start;
            ++refsDamaged;
            // Length and kind, then the pointer's slot and page.
            for (uint64_t at : {3, 2, 4, 5, 6, 7}) {
              for (uint8_t flip : {0x80, 0x40, 0x0F})
                copy.withByte(field + at, copy.get(field + at) ^ flip, "long value");
            }
            // A reference whose chain starts and continues at itself.
            const uint32_t kind = copy.get(field + 3);
            if ((kind & 0xC0) == 0 && copy.get(field + 7) == 0) {
              auto target = jet::storage::splitRowPointer(*jet::storage::readU32(row, start + 4));
              auto tp = pager.page(target.page);
              ASSERT_TRUE(tp);
              auto tslot = jet::storage::locateRow(**tp, layout, target.slot);
              ASSERT_TRUE(tslot);
              const uint64_t next = uint64_t{target.page} * layout.pageSize + tslot->start;
              uint8_t saved[4];
              for (int i = 0; i < 4; ++i) saved[i] = copy.get(next + i);
              // Only a chain of more than one row can be bent back on itself.
              if ((saved[0] | saved[1] | saved[2] | saved[3]) == 0) continue;
              for (int i = 0; i < 4; ++i) copy.set(next + i, copy.get(field + 4 + i));
              auto s = readEverything(copy.path());
              EXPECT_FALSE(s) << "a looping memo chain was read as sound";
              expectClear(s, "memo chain loop");
              for (int i = 0; i < 4; ++i) copy.set(next + i, saved[i]);
            }
          }
        }
      }
    }
  }
  EXPECT_GT(refsDamaged, 0) << "no long value references found to damage";
}

TEST(DamagedFile, ATableDefinitionChainThatLoopsIsAnError) {
  if (!cocina::test::requireFixtures()) return;
  for (const auto& fixture : damageFixtures()) {
    SCOPED_TRACE(fixture);
    DamagedCopy copy(fixture);
    const uint32_t ps = pageSizeOf(fixture);
    // The catalog's definition (page 2) continues at page 2.
    const uint64_t next = 2ull * ps + 4;
    copy.set(next, 2);
    for (int i = 1; i < 4; ++i) copy.set(next + i, 0);
    auto s = readEverything(copy.path());
    EXPECT_FALSE(s);
    expectClear(s, "definition loop");
  }
}

}  // namespace
