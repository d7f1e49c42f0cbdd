// The settings file "Acceso" and what start-up takes from it.
//
// "Acceso" is a plain text file in the current directory: line 1 is the
// database path, taken whole; line 2 is a label and the font size of the
// board grids ("letra: 12"), read from its 7th character on, whatever the
// label says. Nothing else configures the board, and the values are read once
// at start-up.
#pragma once

#include <string>
#include <vector>

// Process-wide settings, set once by leerConfiguracion().
extern std::string rutaBaseDatos;
extern std::string tamanoLetra;

// Reads a text file line by line: element i is line i+1, and one empty element
// follows the last line (a file of two lines gives three elements). A file of
// zero lines gives one empty element. A file that can't be opened or read gives
// three empty elements. CR LF, bare LF and bare CR all end a line. Text that is
// not valid UTF-8 is read as Windows-1252, the code page Notepad writes on the
// point of sale's machines. At most the first 1 MiB is read: a settings file
// is two short lines, and a larger file is not one.
std::vector<std::string> leeArchivo(const std::string& nombreArchivo);

// Start-up steps 1 to 3: reads "Acceso" (or `nombreArchivo`) into
// rutaBaseDatos and tamanoLetra. A missing line reads as the empty text, so an
// empty or one-line file leaves tamanoLetra empty.
void leerConfiguracion(const std::string& nombreArchivo = "Acceso");

// Line 2 of the settings from its 7th character on; empty when shorter.
std::string textoTamanoLetra(const std::string& linea2);

// The font size a grid gets from tamanoLetra: the number rounded to the
// nearest whole number (a half to the even neighbour) when the text is
// numeric and the size usable, else `porDefecto` (12 for the board grids, 10
// for the dispatched list). Usable sizes are 6 to 72 points: zero, negative
// and absurd sizes (a stray "letra: 9999") would leave the kitchen an
// unreadable board, so they fall back to the default.
int tamanoFuente(const std::string& tamano, int porDefecto);

inline constexpr int kTamanoPorDefectoPendientes = 12;
inline constexpr int kTamanoPorDefectoDespachados = 10;
inline constexpr int kTamanoMinimo = 6;
inline constexpr int kTamanoMaximo = 72;
