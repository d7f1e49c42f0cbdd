// The integrity check as a test expectation: the file opens and every
// problem the check finds is a failure of the test, naming the file.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"

inline void expectSound(const std::string& path) {
  auto db = jet::storage::FileDatabase::open(path, jet::OpenOptions{});
  ASSERT_TRUE(db) << db.error().description;
  auto report = jet::storage::write::checkDatabase(**db);
  ASSERT_TRUE(report) << report.error().description;
  for (const auto& p : report->problems) ADD_FAILURE() << path << ": " << p;
}
