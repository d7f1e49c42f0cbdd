// The service clock: the time of day as a minute of the service day.
//
// The point of sale writes in IDPRODUCTO the service minute at which a line
// was ordered; waiting times are differences of service minutes. The service
// day runs past midnight: hours 00 to 04 count as 24 to 28, so a late
// service keeps counting up and the scale starts again at 05:00 (300).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The service minute of the last clock reading; 0 before the first.
// Only calcularMinutosServicio writes it.
extern int32_t minutosServicio;

// Reads the local time of day and stores its service minute in
// minutosServicio.
void calcularMinutosServicio();

// The service minute of a time of day written "HH:mm:ss" (or "H:mm:ss"):
// hours x 60 + minutes, hours below 5 taken as hours + 24, seconds dropped.
// Texts of another length count as hour 0 (1440).
int32_t minutosDeTexto(const std::string& hora);

// Where the clock reads the time of day, as "HH:mm:ss". By default the local
// time; tests set their own. An empty function restores the default.
using FuenteHora = std::function<std::string()>;
void fijarFuenteHora(FuenteHora fuente);
// The local time of day formatted "HH:mm:ss" (24-hour, two digits each).
std::string horaLocalActual();
// The time of day where the clock reads it: the source set by
// fijarFuenteHora, else the local time.
std::string horaDelReloj();
