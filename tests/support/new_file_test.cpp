// NewFileTest: the format from the parameter, the skip without mdbtools.
#include "support/new_file_test.h"

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

}  // namespace cocina::test
