#include "app/settings/settings.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "ado/conversions.h"

std::string rutaBaseDatos;
std::string tamanoLetra;

namespace {

constexpr size_t kMaxSettingsBytes = 1 << 20;

bool validUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra;
    if (c < 0x80)
      extra = 0;
    else if ((c >> 5) == 0x6)
      extra = 1;
    else if ((c >> 4) == 0xE)
      extra = 2;
    else if ((c >> 3) == 0x1E)
      extra = 3;
    else
      return false;
    if (extra > 0 && i + extra >= s.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    }
    i += extra + 1;
  }
  return true;
}

// Windows-1252 to UTF-8; the five undefined bytes become U+FFFD.
std::string fromWindows1252(const std::string& s) {
  static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    char32_t u = c < 0x80 ? c : (c < 0xA0 ? high[c - 0x80] : c);
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> leeArchivo(const std::string& nombreArchivo) {
  const std::vector<std::string> unreadable(3);
  std::ifstream in(nombreArchivo, std::ios::binary);
  if (!in) return unreadable;
  std::string content;
  content.resize(kMaxSettingsBytes);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) return unreadable;
  content.resize(static_cast<size_t>(in.gcount()));

  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  if (!validUtf8(content)) content = fromWindows1252(content);

  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start =
        end +
        ((content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1);
  }
  lines.emplace_back();
  return lines;
}

std::string textoTamanoLetra(const std::string& linea2) {
  return linea2.size() >= 7 ? linea2.substr(6) : std::string();
}

void leerConfiguracion(const std::string& nombreArchivo) {
  std::vector<std::string> lineas = leeArchivo(nombreArchivo);
  rutaBaseDatos = lineas.size() > 0 ? lineas[0] : std::string();
  tamanoLetra = textoTamanoLetra(lineas.size() > 1 ? lineas[1] : std::string());
}

int tamanoFuente(const std::string& tamano, int porDefecto) {
  std::optional<double> n = ado::parseNumber(tamano);
  if (!n) return porDefecto;
  double r = ado::roundHalfEven(*n);
  if (r < kTamanoMinimo || r > kTamanoMaximo) return porDefecto;
  return static_cast<int>(r);
}
