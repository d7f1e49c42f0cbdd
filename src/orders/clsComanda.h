// clsComanda: one order line as the board sees it, and the order operations.
//
// The class serves two roles. As a record, getPendientes makes one instance
// per pending line; its properties only store and return a value, and a new
// record holds empty texts and zeros. As a service object, one long-lived
// instance held by the board runs the order statements on the process-wide
// connection `conexion` (data/clsConnAdmin.h); those operations never touch
// the record fields.
//
// Kitchen states of a line (column DespCoc): "Y" waiting for the kitchen,
// "P" first mark (shown red), "S" dispatched to the waiters. Each mark is one
// conditional update on the line's current state, so a line that moved on
// since the board was drawn is left as it is. The announcement flag (tin) is
// "O" for a line not yet announced and "X" once the alert has sounded.
//
// Reads raise ado::ComError (nothing here catches a failed read); updates
// report their failures through comando and return normally.
//
// Values written into statement texts: an area name or table number with a
// single quote is written as a literal of the same value (the quote
// doubled), so it can neither break the statement nor change its meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ado/recordset.h"
#include "ado/variant.h"
#include "data/clsConnAdmin.h"

class clsMesa;

// A kitchen mark kept as data, so that one the file was too busy to take can
// be written later exactly as it was made: the operation, the line, and the
// service minute of the board the cook was looking at (the two first marks
// write the minutes from ordering to it into tdc).
struct Marca {
  enum class Tipo { Despachar1, Despachar2, Devolver, DesmarcarNuevo };
  Tipo tipo = Tipo::Despachar1;
  int32_t idComanda = 0;
  int32_t minuto = 0;
};

class clsComanda {
 public:
  // --- the record ---
  double cantidad() const { return cantidad_; }
  void setCantidad(double v) { cantidad_ = v; }
  const std::string& Nombre() const { return nombre_; }
  void setNombre(std::string v) { nombre_ = std::move(v); }
  const std::string& area() const { return area_; }
  void setArea(std::string v) { area_ = std::move(v); }
  const std::string& Detalle() const { return detalle_; }
  void setDetalle(std::string v) { detalle_ = std::move(v); }
  const std::string& idMesa() const { return idMesa_; }
  void setIdMesa(std::string v) { idMesa_ = std::move(v); }
  // Waiting minutes: the service minute of the read minus the minute of
  // ordering.
  int16_t tiempo() const { return tiempo_; }
  void setTiempo(int16_t v) { tiempo_ = v; }
  int32_t idComanda() const { return idComanda_; }
  void setIdComanda(int32_t v) { idComanda_ = v; }
  const std::string& tin() const { return tin_; }
  void setTin(std::string v) { tin_ = std::move(v); }
  const std::string& despcoc() const { return despcoc_; }
  void setDespcoc(std::string v) { despcoc_ = std::move(v); }

  // --- the order operations ---

  // The preparation areas the board offers: the distinct NEGOCIO values of
  // PRODUCTOS other than "NN", at most 8, in the order the database groups
  // them. One empty name when there is none.
  std::vector<std::string> getAreas();

  // The tables with pending lines in `areas`, oldest waiting line first;
  // one empty table number when there is none.
  std::vector<std::string> getMesas(const std::vector<std::string>& areas);

  // The pending lines of `areas` (the board's chosen areas, in its order),
  // one clsMesa per table in the order of getMesas, each with an area entry
  // for every element of `areas`. Reads the service clock once, between the
  // table list and the lines, so every line of the refresh is measured
  // against the same minute. Empty when nothing is pending. A line whose
  // area is none of `areas` exactly (it only occurs inside their joined
  // text) is read and dropped. Null texts read as "", a null quantity as 0,
  // and a waiting time beyond the 16-bit range is held at its end.
  std::vector<clsMesa> getPendientes(const std::vector<std::string>& areas);

  // First mark: "Y" to "P" on a pending line, tdc = the service minute of
  // the last refresh minus the ordering minute, desp = "S".
  void setDespachar1(const ado::Variant& idComanda);
  // Second mark: "P" to "S" on a pending line, tdc and desp as above.
  void setDespachar2(const ado::Variant& idComanda);
  // Sent back by the waiters: "S" to "Y" (whatever the order state), tdc 0.
  // The announcement flag is kept, so the line does not sound again.
  void devolverProducto(int32_t idComanda);
  // Marks the line announced (tin "X"), whatever its states.
  void setDesmarcarNuevo(const ado::Variant& id);

  // Writes the mark `m` once, by the statement of its operation above with
  // its own minute. A file another program kept busy answers
  // Escritura::Ocupada, unreported, having written nothing, so the caller
  // may write it again later; with `informarOcupada` (a caller's last try)
  // that failure is reported too. Every other failure is reported as the
  // operations report it (Fallida). Each statement is conditional on the
  // line's state (or, for the announcement, sets what it finds set), so a
  // mark written again once it has been written changes nothing.
  Escritura escribir(const Marca& m, bool informarOcupada = false);

  // The lines dispatched to the waiters (DespCoc "S") of open orders, by
  // table number as text.
  ado::Recordset getAllPendienteRs();
  // The date kept in the control row ("Registro de Control") as text; ""
  // when the database has no control row.
  std::string getFechaSistema();

 private:
  double cantidad_ = 0;
  std::string nombre_;
  std::string area_;
  std::string detalle_;
  std::string idMesa_;
  int16_t tiempo_ = 0;
  int32_t idComanda_ = 0;
  std::string tin_;
  std::string despcoc_;
};

// The texts of the order statements, as the operations send them; the
// tests compare against them, and the quote rule above is applied to the
// values they take.
namespace ordenes {

// The joined area text: the names concatenated in order, no separator.
std::string textoAreas(const std::vector<std::string>& areas);
// A value for a statement text between single quotes: "'" doubled.
std::string literal(const std::string& valor);
// The table-list statement for the joined area text.
std::string sentenciaMesas(const std::string& areasUnidas);
// One table's select of the line statement.
std::string seleccionMesa(int32_t minuto, int32_t item, const std::string& idMesa,
                          const std::string& areasUnidas);
// The line statement for the tables of the table list, in order, measured
// at service minute `minuto`: one select per table joined by " UNION ".
std::string sentenciaLineas(int32_t minuto, const std::vector<std::string>& mesas,
                            const std::string& areasUnidas);
// The area list of getAreas.
std::string sentenciaAreas();
// The kitchen marks on the line whose identifier is the text `id` (its
// digits): first mark (tdc, DespCoc and desp as the three parameters),
// second mark (the same), sent back, and announced.
std::string sentenciaPrimeraMarca(const std::string& id);
std::string sentenciaSegundaMarca(const std::string& id);
std::string sentenciaDevolver(const std::string& id);
std::string sentenciaDesmarcarNuevo(const std::string& id);
// The dispatched list of getAllPendienteRs and the control row's date of
// getFechaSistema.
std::string sentenciaDespachados();
std::string sentenciaFechaSistema();
// The quantities per product that wait for the kitchen
// (clsConnAdmin::getAcumuladoPendientes).
std::string sentenciaAcumuladoPendientes();

}  // namespace ordenes
