// cocina-db create FILE: a new, empty order database, .mdb (Access 2000-2003)
// or .accdb (Access 2007) by the file's name.
#include <iostream>

#include "command.h"
#include "jet/database.h"
#include "jet/storage/write/new_file.h"

namespace cocinadb {
namespace {

int run(const std::vector<std::string>& args) {
  if (args.size() != 1) return usageFailure("create FILE");
  const std::string& path = args[0];
  jet::FileFormat format = jet::storage::formatForPath(path);
  auto db = jet::Database::create(path, format);
  if (!db) {
    std::cerr << "cocina-db create: " << db.error().description << "\n";
    return kExitFailure;
  }
  std::cout << "Creada " << path << " ("
            << (format == jet::FileFormat::Ace12 ? "Access 2007, .accdb" : "Access 2000, .mdb")
            << ")\n";
  return kExitOk;
}

CommandRegistration registration(
    "create", "create FILE",
    "usage: cocina-db create FILE\n\n"
    "Creates a new, empty Access database. A name ending in .accdb (any case)\n"
    "gives the Access 2007 format, any other name the Access 2000 format (.mdb).\n"
    "Refuses to overwrite an existing file.\n",
    run);

}  // namespace
}  // namespace cocinadb
