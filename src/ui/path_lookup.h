// Paths written the point of sale's way ("Sonido\PrHelp.WAV") found on a
// file system that is case-sensitive and separates with "/".
//
// Backslashes are read as separators; each part of the path is matched
// against the names in its folder, exactly first and then without regard to
// case (the first match in name order wins, so the answer does not depend on
// the order the file system lists a folder). Relative paths are taken from
// the current directory, as the program's own files are.
#pragma once

#include <optional>
#include <string>

namespace ui {

// The existing file or folder the path names, or nothing when some part of
// it does not exist. The empty path names nothing.
std::optional<std::string> findPathIgnoringCase(const std::string& windowsPath);

}  // namespace ui
