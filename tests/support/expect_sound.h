// The integrity check as a test expectation: the file opens and every
// problem the check finds is a failure of the test, naming the file.
#pragma once

#include <string>
#include <vector>

namespace cocina::test {

void expectSound(const std::string& path);
// The same, answering the check's notes (empty when the file can't be read).
std::vector<std::string> expectSoundWithNotes(const std::string& path);

}  // namespace cocina::test
