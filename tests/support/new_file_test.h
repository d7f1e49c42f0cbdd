// The fixture of the writing tests that run once per format the engine
// makes new files in: the parameter "mdb" for Jet 4, "accdb" for ACE 12.
// Each test gets a fresh folder, and mdbtools to read back what it wrote:
// without them the test is skipped (failed in CI).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "support/temp_dir.h"

namespace cocina::test {

class NewFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override;
  // The format the parameter names.
  jet::FileFormat format() const;
  // dir/stem.<parameter> (the file need not exist).
  std::string newFile(std::string_view stem) const;
  // Creates `path` in the parameter's format; null, the test failed with
  // the engine's reason, when it can't.
  std::unique_ptr<jet::Database> create(const std::string& path) const;

  TempDir dir;
};

// The empty files Access made, one of each generation, that the writing
// tests add tables and rows to.
inline constexpr const char* kEmptyAccessFiles[] = {"empty2003.mdb", "empty2007.accdb"};

// For each of kEmptyAccessFiles: a writable copy in a fresh folder, opened,
// with `table` added; `write` runs on it, the file is closed, then `check`
// reads the copy back by its path. Failures are traced to the file. The
// caller has made sure of the fixtures (requireFixtures).
void forEachEmptyAccessFile(
    const jet::TableSchema& table,
    const std::function<void(jet::Database& db, const std::string& path)>& write,
    const std::function<void(const std::string& path)>& check);

}  // namespace cocina::test
