// What the kitchen board asks of the order store, in one narrow interface.
//
// The board reads the areas once at load, the pending lines at every
// refresh and the dispatched lines when "Servido" is pressed, and writes the
// kitchen's marks. PedidosEnBase (pedidos_en_base.h) answers from the order
// database through clsComanda; the tests wrap it to record what the board
// asked and wrote.
//
// Reads raise ado::ComError on failure, as the order operations do. A mark
// is written by escribir (clsComanda::escribir): a file the point of sale
// kept busy answers Escritura::Ocupada, having written nothing, for the
// board to write it later (marcas_pendientes.h); other failures are
// reported (clipboard and message box).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ado/variant.h"
#include "orders/clsComanda.h"
#include "orders/clsMesa.h"

namespace board {

// One line of the dispatched list: the fields of the dispatched-lines read
// the list shows, as the read answers them (Null where the row has none).
struct LineaDespachada {
  ado::Variant idmesa, cantidad, nombreproducto, detalle, detalle1, detalle2, nick, tdc, tdm,
      idcomanda;
};

class Pedidos {
 public:
  virtual ~Pedidos() = default;
  virtual std::vector<std::string> getAreas() = 0;
  virtual std::vector<clsMesa> getPendientes(const std::vector<std::string>& areas) = 0;
  // setDespachar1, setDespachar2, devolverProducto or setDesmarcarNuevo,
  // as `m` says, written once.
  virtual Escritura escribir(const Marca& m, bool informarOcupada) = 0;
  // The lines dispatched to the waiters of open orders, by table as text.
  virtual std::vector<LineaDespachada> getAllPendienteRs() = 0;
};

}  // namespace board
