// formatoTabla and the dispatched list's row text.
#include "board/mod_tabla.h"

#include <algorithm>

#include "ado/conversions.h"

namespace modTabla {

namespace {
constexpr ui::Color kColorLineas = 12500670;  // red, green and blue 190 each

std::string texto(const ado::Variant& v) {
  if (v.isNull()) return "";
  try {
    std::string s = v.toString();
    std::replace(s.begin(), s.end(), '\t', ' ');
    return s;
  } catch (const std::exception&) {
    return "";
  }
}
}  // namespace

void formatoTabla(ui::FlexGridModel& grid, double tamano, const ui::TextMeasurer& medidor) {
  if (grid.rows() < 2) return;
  grid.setUserResizing(ui::UserResizing::Columns);
  grid.setFixedCols(0);
  grid.setFixedRows(1);
  grid.setBackColorFixed(ui::kWhite);
  grid.setRowHeight(0, 800);
  grid.setGridColor(kColorLineas);
  ui::GridFont font = grid.font();
  font.size = tamano;
  ui::applyFont(grid, font, medidor);
  grid.setWordWrap(true);
  grid.setRedraw(true);
  grid.setRow(0);
  for (int32_t c = 0; c < grid.cols(); ++c) {
    grid.setCol(c);
    grid.setCellAlignment(ui::Alignment::CenterCenter);
    grid.setCellFontBold(true);
  }
  font = grid.font();
  font.name = "Arial";
  ui::applyFont(grid, font, medidor);
}

std::string primerosCaracteres(const std::string& s, size_t n) {
  size_t i = 0, chars = 0;
  while (i < s.size() && chars < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 1;
    i = std::min(s.size(), i + len);
    ++chars;
  }
  return s.substr(0, i);
}

std::string filaDespachada(const board::LineaDespachada& l) {
  std::string cantidad;
  if (!l.cantidad.isNull()) {
    try {
      cantidad = ado::formatNumber(l.cantidad.toDouble() * -1);
    } catch (const std::exception&) {
      cantidad = "";
    }
  }
  std::string espera = texto(l.tdc) + "/ " + texto(l.tdm);
  return texto(l.idmesa) + "\t" + cantidad + "\t" + texto(l.nombreproducto) + "\t" +
         texto(l.detalle) + texto(l.detalle1) + texto(l.detalle2) + "\t" +
         primerosCaracteres(texto(l.nick), 7) + "\t" + espera + "\t" + texto(l.idcomanda);
}

}  // namespace modTabla
