// The queue of marks the file was too busy to take.
#include "board/marcas_pendientes.h"

#include <algorithm>

namespace board {

bool MarcasPendientes::marcar(const Marca& m) {
  bool yaEspera = std::any_of(cola_.begin(), cola_.end(), [&](const Pendiente& p) {
    return p.marca.tipo == m.tipo && p.marca.idComanda == m.idComanda;
  });
  if (yaEspera) return false;
  cola_.push_back(Pendiente{m, 0});
  // Older marks waiting means the file was busy at this event's start: the
  // new one waits behind them without a try of its own.
  if (cola_.size() == 1) reintentar();
  return true;
}

void MarcasPendientes::reintentar() {
  while (!cola_.empty()) {
    Pendiente& primera = cola_.front();
    bool ultimo = primera.intentos >= kIntentos;
    Escritura hecho = pedidos_().escribir(primera.marca, ultimo);
    if (hecho == Escritura::Ocupada) {
      ++primera.intentos;
      return;
    }
    // Written, or failed and reported: either way it is done.
    cola_.pop_front();
  }
}

std::string MarcasPendientes::aviso() const {
  if (cola_.empty()) return "";
  std::string cuantas = cola_.size() == 1 ? "1 marca" : std::to_string(cola_.size()) + " marcas";
  return "La base de datos está ocupada: " + cuantas +
         " sin guardar; se guardarán en cuanto quede libre.";
}

}  // namespace board
