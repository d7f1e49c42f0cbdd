// expectSound on the engine's own check, so the writing tests of any layer
// judge a file by the same rules as `cocina-db check`.
#include "support/expect_sound.h"

#include <gtest/gtest.h>

#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"

namespace cocina::test {

void expectSound(const std::string& path) {
  auto db = jet::storage::FileDatabase::open(path, jet::OpenOptions{});
  ASSERT_TRUE(db) << path << ": " << db.error().description;
  auto report = jet::storage::write::checkDatabase(**db);
  ASSERT_TRUE(report) << path << ": " << report.error().description;
  for (const auto& p : report->problems) ADD_FAILURE() << path << ": " << p;
}

}  // namespace cocina::test
