// The order operations of clsComanda: the area list, the table list, the
// pending lines grouped by table, the kitchen's marks, and the two reads of
// the dispatched list and the control row.
//
// Every statement text is built here exactly as the board has always sent
// it; the only change to a value written into a text is that a single quote
// is doubled, so an area or table named with an apostrophe is the same value
// in the statement and cannot change what the statement does.
#include "orders/clsComanda.h"

#include <cmath>
#include <limits>

#include "ado/conversions.h"
#include "ado/error.h"
#include "data/ModuleRecordSet.h"
#include "data/clsConnAdmin.h"
#include "data/sql_text.h"
#include "orders/clsMesa.h"
#include "orders/service_clock.h"

namespace {

clsConnAdmin& conexionAbierta() {
  // The board creates the connection when it loads; an order operation
  // before that is a call on no object.
  if (!conexion) throw ado::ComError(91, "Variable de objeto o bloque With no establecido");
  return *conexion;
}

// A text column of a line; a null reads as the empty text.
std::string textoDe(const ado::Variant& field) {
  ado::Variant v = field.resolved();
  return v.isNull() ? std::string() : v.toString();
}

// One text column of every row from the current one to the end.
std::vector<std::string> textosDeColumna(ado::Recordset& rs, const char* columna) {
  std::vector<std::string> textos;
  ado::Variant campo = rs.fields(columna);
  while (!rs.eof()) {
    textos.push_back(textoDe(campo));
    rs.moveNext();
  }
  return textos;
}

// A number column of a line; a null or a value that is no number reads as 0.
double numeroDe(const ado::Variant& field) {
  ado::Variant v = field.resolved();
  if (v.isNull() || !v.isNumeric()) return 0;
  return v.toDouble();
}

// A whole number held at the ends of its type's range instead of failing:
// a line ordered on another day's scale must not stop the board.
template <class Int>
Int enteroDe(const ado::Variant& field) {
  double d = ado::roundHalfEven(numeroDe(field));
  if (std::isnan(d)) return 0;
  if (d <= std::numeric_limits<Int>::min()) return std::numeric_limits<Int>::min();
  if (d >= std::numeric_limits<Int>::max()) return std::numeric_limits<Int>::max();
  return static_cast<Int>(d);
}

// The identifier of a line as the digits appended to an update. Only a
// number names a line: anything else (a stray text) is never written into
// the statement, and no line changes.
bool identificadorDe(const ado::Variant& id, std::string& digitos) {
  ado::Variant v = id.resolved();
  if (v.isEmpty() || v.isNull() || !v.isNumeric()) return false;
  digitos = ado::formatNumber(v.toDouble());
  return true;
}

// The statement of a mark on the line whose identifier is the text `id`,
// with its parameters. The two first marks carry the service minute as a
// 32-bit integer, then their new DespCoc and desp = "S".
struct SentenciaMarca {
  std::string sql;
  std::vector<ado::Variant> params;
};

SentenciaMarca sentenciaDe(Marca::Tipo tipo, const std::string& id, int32_t minuto) {
  auto primeras = [&](std::string sql, const char* despCoc) {
    return SentenciaMarca{std::move(sql),
                          {ado::Variant(minuto), ado::Variant(despCoc), ado::Variant("S")}};
  };
  switch (tipo) {
    case Marca::Tipo::Despachar1: return primeras(ordenes::sentenciaPrimeraMarca(id), "P");
    case Marca::Tipo::Despachar2: return primeras(ordenes::sentenciaSegundaMarca(id), "S");
    case Marca::Tipo::Devolver: return {ordenes::sentenciaDevolver(id), {}};
    case Marca::Tipo::DesmarcarNuevo: return {ordenes::sentenciaDesmarcarNuevo(id), {}};
  }
  return {};
}

// A mark of the operations that take the identifier as any value; a value
// that names no line writes nothing. The minute is the one of the last
// refresh, not a new clock reading: tdc counts the minutes from ordering to
// the board the cook was looking at.
void marcar(Marca::Tipo tipo, const ado::Variant& idComanda) {
  std::string id;
  if (!identificadorDe(idComanda, id)) return;
  SentenciaMarca s = sentenciaDe(tipo, id, minutosServicio);
  conexionAbierta().comando(s.sql, s.params);
}

}  // namespace

namespace ordenes {

std::string textoAreas(const std::vector<std::string>& areas) {
  std::string unidas;
  for (const auto& a : areas) unidas += a;
  return unidas;
}

std::string literal(const std::string& valor) {
  return data::quotesDoubled(valor);
}

std::string sentenciaMesas(const std::string& areasUnidas) {
  return "SELECT idmesa, min(idproducto) From comandas "
         "where Estado = 'Pendiente' and DespCoc <> 'S' and Instr (1, '" +
         literal(areasUnidas) + "', negocio) > 0 group by idmesa order by min(idproducto) ";
}

std::string seleccionMesa(int32_t minuto, int32_t item, const std::string& idMesa,
                          const std::string& areasUnidas) {
  return " select IdMesa, cantidad, " + std::to_string(minuto) +
         " - IDPRODUCTO as tiempo, Nombreproducto, IdComanda, tin, Negocio, Detalle, despcoc, " +
         std::to_string(item) + " as item " + "from Comandas " +
         "Where DespCoc <> 'S' AND estado = 'Pendiente' AND idMesa = '" + literal(idMesa) +
         "'  and '" + literal(areasUnidas) + "' like '%' + negocio + '%' ";
}

std::string sentenciaLineas(int32_t minuto, const std::vector<std::string>& mesas,
                            const std::string& areasUnidas) {
  std::string sentencia;
  int32_t item = 0;
  for (const auto& idMesa : mesas) {
    if (!sentencia.empty()) sentencia += " UNION ";
    // A table without a number does not take a position of its own.
    if (!idMesa.empty()) ++item;
    sentencia += seleccionMesa(minuto, item, idMesa, areasUnidas);
  }
  // With one table the lines only need their areas in order; with more, the
  // table's position keeps each table's lines together, in table-list order.
  sentencia += item == 1 ? "  order by Negocio " : "  order by item, Negocio ";
  return sentencia;
}

std::string sentenciaAreas() {
  return "SELECT TOP 8 NEGOCIO FROM PRODUCTOS WHERE NEGOCIO <> 'NN' GROUP BY NEGOCIO";
}

std::string sentenciaPrimeraMarca(const std::string& id) {
  return "update comandas set tdc = ? - idProducto, despCoc = ?, desp = ? where Estado = "
         "'Pendiente' and DespCoc = 'Y' AND idcomanda = " +
         id;
}

std::string sentenciaSegundaMarca(const std::string& id) {
  return "update comandas set tdc = ? - idProducto, despCoc = ?, desp = ? where Estado = "
         "'Pendiente' and DespCoc = 'P' AND idcomanda = " +
         id;
}

std::string sentenciaDevolver(const std::string& id) {
  return "update comandas set tdc = 0 , despCoc = 'Y' where DespCoc = 'S' AND idComanda = " + id;
}

std::string sentenciaDesmarcarNuevo(const std::string& id) {
  return "update comandas set tin = 'X' where idComanda = " + id;
}

std::string sentenciaDespachados() {
  return "select * from comandas where estado = 'Pendiente' AND DespCoc = 'S' ORDER BY IDMESA";
}

std::string sentenciaFechaSistema() {
  return "select fecha from comandas where NombreProducto = 'Registro de Control'";
}

std::string sentenciaAcumuladoPendientes() {
  // One text from four pieces, with no blank between 'Y' and GROUP, as the
  // statement has always been sent.
  return std::string("SELECT SUM(CANTIDAD) AS C, NOMBREPRODUCTO AS NOMBRE ") + "FROM COMANDAS " +
         "WHERE ESTADO = 'Pendiente' AND CONCEPTO = 'Ventas' AND DespCoc = 'Y'" +
         "GROUP BY NOMBREPRODUCTO";
}

}  // namespace ordenes

std::vector<std::string> clsComanda::getAreas() {
  ado::Recordset rs = conexionAbierta().Query(ordenes::sentenciaAreas(), {});
  if (rs.eof() || rs.bof() || rs.recordCount() <= 0) return {std::string()};
  return textosDeColumna(rs, "Negocio");
}

std::vector<std::string> clsComanda::getMesas(const std::vector<std::string>& areas) {
  ado::Recordset rs =
      conexionAbierta().Query(ordenes::sentenciaMesas(ordenes::textoAreas(areas)), {});
  if (esRecordsetVacio(rs)) return {std::string()};
  return textosDeColumna(rs, "idMesa");
}

std::vector<clsMesa> clsComanda::getPendientes(const std::vector<std::string>& areas) {
  clsConnAdmin& conn = conexionAbierta();
  const std::string unidas = ordenes::textoAreas(areas);
  ado::Recordset mesas = conn.Query(ordenes::sentenciaMesas(unidas), {});
  // Read between the two statements: every line of this refresh is measured
  // against the same minute, and the marks that follow use it too.
  calcularMinutosServicio();
  const int32_t minuto = minutosServicio;

  std::vector<clsMesa> resultado;
  if (esRecordsetVacio(mesas)) return resultado;

  const std::vector<std::string> listaMesas = textosDeColumna(mesas, "idMesa");
  ado::Recordset lineas = conn.Query(ordenes::sentenciaLineas(minuto, listaMesas, unidas), {});

  clsMesa actual;
  if (!esRecordsetVacio(lineas)) {
    ado::Variant fIdMesa = lineas.fields("idMesa");
    ado::Variant fCantidad = lineas.fields("cantidad");
    ado::Variant fTiempo = lineas.fields("tiempo");
    ado::Variant fNombre = lineas.fields("NombreProducto");
    ado::Variant fIdComanda = lineas.fields("idComanda");
    ado::Variant fNegocio = lineas.fields("Negocio");
    ado::Variant fDetalle = lineas.fields("Detalle");
    ado::Variant fTin = lineas.fields("tin");
    ado::Variant fDespcoc = lineas.fields("despcoc");
    while (!lineas.eof()) {
      const std::string idMesa = textoDe(fIdMesa);
      if (idMesa != actual.mesa()) {
        if (!actual.mesa().empty()) resultado.push_back(std::move(actual));
        actual = clsMesa();
        for (const auto& area : areas) actual.addArea(area);
        actual.setMesa(idMesa);
      }
      clsComanda linea;
      linea.setIdMesa(idMesa);
      linea.setCantidad(numeroDe(fCantidad));
      linea.setTiempo(enteroDe<int16_t>(fTiempo));
      linea.setNombre(textoDe(fNombre));
      linea.setIdComanda(enteroDe<int32_t>(fIdComanda));
      linea.setArea(textoDe(fNegocio));
      linea.setDetalle(textoDe(fDetalle));
      linea.setTin(textoDe(fTin));
      linea.setDespcoc(textoDe(fDespcoc));
      // A line whose area only occurs inside the joined area text belongs
      // to no column of the board and is dropped here.
      actual.addComandaArea(linea.area(), linea);
      lineas.moveNext();
    }
  }
  if (!actual.mesa().empty()) resultado.push_back(std::move(actual));
  return resultado;
}

void clsComanda::setDespachar1(const ado::Variant& idComanda) {
  marcar(Marca::Tipo::Despachar1, idComanda);
}

void clsComanda::setDespachar2(const ado::Variant& idComanda) {
  marcar(Marca::Tipo::Despachar2, idComanda);
}

void clsComanda::devolverProducto(int32_t idComanda) {
  marcar(Marca::Tipo::Devolver, ado::Variant(idComanda));
}

void clsComanda::setDesmarcarNuevo(const ado::Variant& id) {
  marcar(Marca::Tipo::DesmarcarNuevo, id);
}

Escritura clsComanda::escribir(const Marca& m, bool informarOcupada) {
  SentenciaMarca s = sentenciaDe(m.tipo, std::to_string(m.idComanda), m.minuto);
  if (informarOcupada) {
    return conexionAbierta().comando(s.sql, s.params) < 0 ? Escritura::Fallida : Escritura::Hecha;
  }
  return conexionAbierta().comandoReintentable(s.sql, s.params);
}

ado::Recordset clsComanda::getAllPendienteRs() {
  return conexionAbierta().Query(ordenes::sentenciaDespachados(), {});
}

std::string clsComanda::getFechaSistema() {
  ado::Recordset rs = conexionAbierta().Query(ordenes::sentenciaFechaSistema(), {});
  // A database without the control row has no system date to tell.
  if (esRecordsetVacio(rs)) return std::string();
  return textoDe(rs.fields("Fecha"));
}
