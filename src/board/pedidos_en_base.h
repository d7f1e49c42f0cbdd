// The board's order store on the order database: the process-wide
// connection `conexion` and the long-lived clsComanda service object.
#pragma once

#include <memory>
#include <string>

#include "board/pedidos.h"
#include "orders/clsComanda.h"

namespace board {

class PedidosEnBase : public Pedidos {
 public:
  std::vector<std::string> getAreas() override { return servicio_.getAreas(); }
  std::vector<clsMesa> getPendientes(const std::vector<std::string>& areas) override {
    return servicio_.getPendientes(areas);
  }
  Escritura escribir(const Marca& m, bool informarOcupada) override {
    return servicio_.escribir(m, informarOcupada);
  }
  std::vector<LineaDespachada> getAllPendienteRs() override;

 private:
  clsComanda servicio_;
};

// Creates the process-wide connection `conexion` on `rutaBaseDatos` (opening
// the database) and the store on it. Raises ado::ComError when the database
// can't be opened; `conexion` stays null then.
std::unique_ptr<Pedidos> abrirPedidos(const std::string& rutaBaseDatos);

}  // namespace board
