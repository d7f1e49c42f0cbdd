// Case-insensitive path lookup, one folder level at a time.
#include "ui/path_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include <QString>

namespace fs = std::filesystem;

namespace ui {

namespace {
bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}
}  // namespace

std::optional<std::string> findPathIgnoringCase(const std::string& windowsPath) {
  std::string path = windowsPath;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty()) return std::nullopt;

  fs::path current = path.front() == '/' ? fs::path("/") : fs::path(".");
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    std::string part =
        path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!part.empty() && part != ".") parts.push_back(part);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  std::error_code ec;
  for (const std::string& part : parts) {
    fs::path exact = current / part;
    if (part == ".." || fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    std::vector<std::string> matches;
    for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (sameIgnoringCase(name, part)) matches.push_back(name);
    }
    if (matches.empty()) return std::nullopt;
    std::sort(matches.begin(), matches.end());
    current /= matches.front();
  }
  if (!fs::exists(current, ec)) return std::nullopt;
  std::string result = current.lexically_normal().string();
  return result;
}

}  // namespace ui
