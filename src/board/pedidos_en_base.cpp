// The dispatched-lines read turned into the list's lines, and the opening of
// the one connection.
#include "board/pedidos_en_base.h"

#include "data/ModuleRecordSet.h"
#include "data/clsConnAdmin.h"

namespace board {

std::vector<LineaDespachada> PedidosEnBase::getAllPendienteRs() {
  ado::Recordset rs = servicio_.getAllPendienteRs();
  std::vector<LineaDespachada> lineas;
  if (esRecordsetVacio(rs)) return lineas;
  // Field values are taken now: a Field variant reads its recordset's
  // current row when used, and the recordset moves on.
  auto campo = [&rs](const char* nombre) { return rs.fields(nombre).resolved(); };
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
    lineas.push_back({campo("idmesa"), campo("cantidad"), campo("nombreproducto"), campo("detalle"),
                      campo("detalle1"), campo("detalle2"), campo("nick"), campo("tdc"),
                      campo("tdm"), campo("idcomanda")});
  }
  return lineas;
}

std::unique_ptr<Pedidos> abrirPedidos(const std::string& rutaBaseDatos) {
  auto nueva = std::make_unique<clsConnAdmin>(rutaBaseDatos);
  delete conexion;
  conexion = nueva.release();
  return std::make_unique<PedidosEnBase>();
}

}  // namespace board
