// expectSound on the engine's own check, so the writing tests of any layer
// judge a file by the same rules as `cocina-db check`.
#include "support/expect_sound.h"

#include <gtest/gtest.h>

#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"

namespace cocina::test {

std::vector<std::string> expectSoundWithNotes(const std::string& path) {
  auto db = jet::storage::FileDatabase::open(path, jet::OpenOptions{});
  if (!db) {
    ADD_FAILURE() << path << ": " << db.error().description;
    return {};
  }
  auto report = jet::storage::write::checkDatabase(**db);
  if (!report) {
    ADD_FAILURE() << path << ": " << report.error().description;
    return {};
  }
  for (const auto& p : report->problems) ADD_FAILURE() << path << ": " << p;
  return report->notes;
}

void expectSound(const std::string& path) {
  (void)expectSoundWithNotes(path);
}

}  // namespace cocina::test
