// The integrity check as a test expectation: the file opens and every
// problem the check finds is a failure of the test, naming the file.
#pragma once

#include <string>

namespace cocina::test {

void expectSound(const std::string& path);

}  // namespace cocina::test
