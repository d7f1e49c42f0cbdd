#include "orders/service_clock.h"

#include <cmath>
#include <ctime>

int32_t minutosServicio = 0;

namespace {

FuenteHora& fuente() {
  static FuenteHora f;
  return f;
}

// The value of the leading digits of `s`, as Val() reads a number.
int numeroDe(const std::string& s) {
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

std::string horaLocalActual() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
  return buf;
}

void fijarFuenteHora(FuenteHora f) {
  fuente() = std::move(f);
}

int32_t minutosDeTexto(const std::string& hora) {
  int horas = 0, minutos = 0;
  if (hora.size() > 7) {
    horas = numeroDe(hora.substr(0, 2));
    minutos = numeroDe(hora.substr(hora.size() - 5, 2));
  } else if (hora.size() == 7) {
    horas = numeroDe(hora.substr(0, 1));
    minutos = numeroDe(hora.substr(hora.size() - 5, 2));
  }
  if (horas < 5) horas += 24;
  return static_cast<int32_t>(std::lround(horas * 60.0 + minutos));
}

std::string horaDelReloj() {
  return fuente() ? fuente()() : horaLocalActual();
}

void calcularMinutosServicio() {
  minutosServicio = minutosDeTexto(horaDelReloj());
}
