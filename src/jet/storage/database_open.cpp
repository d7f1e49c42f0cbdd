// Database::open: the engine's one way in to an existing Access file.
#include "jet/database.h"
#include "jet/storage/file_database.h"

namespace jet {

Result<std::unique_ptr<Database>> Database::open(const std::string& path, OpenOptions options) {
  auto db = storage::FileDatabase::open(path, options);
  if (!db) return db.status();
  return std::unique_ptr<Database>(std::move(*db));
}

}  // namespace jet
