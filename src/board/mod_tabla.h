// modTabla: the final look of a filled list grid, and the dispatched list's
// rows built from the dispatched lines.
#pragma once

#include <string>

#include "board/pedidos.h"
#include "ui/flex_grid_model.h"
#include "ui/text_measurer.h"

namespace modTabla {

// Only for a grid with a title row and at least one line: columns resizable
// by the user, one fixed row and no fixed column, a white title row 800
// twips high, grey grid lines, the font size `tamano`, word wrap, the title
// cells centred and bold, the font Arial, the default row height one line of
// that font as `medidor` measures it. A grid of fewer rows is left as is.
void formatoTabla(ui::FlexGridModel& grid, double tamano, const ui::TextMeasurer& medidor);

// The seven values of a dispatched line, tab-separated, for addItem: table,
// quantity times -1, product, the three detail fields joined, the first 7
// characters of the waiter's nick, "tdc/ tdm", the line's code. A null field
// contributes nothing; a tab inside a value becomes a blank, so every value
// stays in its column.
std::string filaDespachada(const board::LineaDespachada& linea);

// The first n characters (not bytes) of a UTF-8 text.
std::string primerosCaracteres(const std::string& texto, size_t n);

}  // namespace modTabla
