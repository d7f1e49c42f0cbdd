// NewFileTest: the format from the parameter, the skip without mdbtools;
// the copies of the empty Access-made files.
#include "support/new_file_test.h"

#include "support/fixtures.h"
#include "support/mdb_tools.h"

namespace cocina::test {

void NewFileTest::SetUp() {
  requireMdbTools();
}

jet::FileFormat NewFileTest::format() const {
  return std::string_view(GetParam()) == "accdb" ? jet::FileFormat::Ace12 : jet::FileFormat::Jet4;
}

std::string NewFileTest::newFile(std::string_view stem) const {
  return dir.file(std::string(stem) + "." + GetParam());
}

std::unique_ptr<jet::Database> NewFileTest::create(const std::string& path) const {
  auto made = jet::Database::create(path, format());
  if (!made) {
    ADD_FAILURE() << "the engine could not create " << path << ": " << made.error().description;
    return nullptr;
  }
  return std::move(*made);
}

void forEachEmptyAccessFile(
    const jet::TableSchema& table,
    const std::function<void(jet::Database& db, const std::string& path)>& write,
    const std::function<void(const std::string& path)>& check) {
  for (const char* name : kEmptyAccessFiles) {
    SCOPED_TRACE(name);
    TempDir dir;
    const std::string path = dir.copy(fixturePath(name));
    {
      auto db = jet::Database::open(path);
      ASSERT_TRUE(db) << db.error().description;
      ASSERT_TRUE((*db)->createTable(table));
      write(**db, path);
    }
    check(path);
  }
}

}  // namespace cocina::test
