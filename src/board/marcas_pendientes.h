// The kitchen's marks on their way to the order database.
//
// A mark (a click on a line, a new line announced, a line sent back) is
// written at once when the file is free. When the point of sale keeps the
// file busy past the connection's lock wait, the statement wrote nothing
// (it is all or nothing) and the mark waits here, in the order it was made,
// to be written at the board's next events. So a mark is never dropped
// silently and never written twice:
// - a mark equal to one already waiting (same operation on the same line: a
//   second click on a line whose first is not written yet, a new line read
//   again before its announcement is written) is not added again;
// - the waiting marks are tried oldest first, at the start of every event of
//   the board (reintentar()), and once one finds the file busy the rest wait
//   too: one wait per try, the order of the marks kept;
// - a new mark is tried at once only when no older one waits;
// - a mark that has found the file busy kIntentos times is tried once more
//   with the failure reported as any failed update is (the statement on the
//   clipboard, a message box), and then dropped, never silently.
// A busy try is not reported on its own: the board shows how many marks
// wait (aviso()) in its footer instead of a message box per tick.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "board/pedidos.h"

namespace board {

class MarcasPendientes {
 public:
  // The busy tries a mark is given before its last, reported one: about a
  // minute of the board's ticks.
  static constexpr int kIntentos = 24;

  // `pedidos` answers the board's order store (opened on first use); what
  // it answers must outlive this object's calls.
  explicit MarcasPendientes(std::function<Pedidos&()> pedidos) : pedidos_(std::move(pedidos)) {}

  // A new mark: written at once when no older mark waits, else put behind
  // them. False when an equal mark already waits (nothing new was made).
  bool marcar(const Marca& m);
  // Writes the waiting marks, oldest first, until one finds the file busy.
  void reintentar();

  size_t pendientes() const { return cola_.size(); }
  // The footer's note for the staff while marks wait; "" when none does.
  std::string aviso() const;

 private:
  struct Pendiente {
    Marca marca;
    int intentos = 0;  // busy tries so far
  };
  std::function<Pedidos&()> pedidos_;
  std::deque<Pendiente> cola_;
};

}  // namespace board
