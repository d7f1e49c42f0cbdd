// The board's tests run on order databases the engine made: a file in a
// temporary folder with the point of sale's COMANDAS and PRODUCTOS, the
// board's real order store (PedidosEnBase through the process-wide
// connection) over it, and a thin wrapper that records what the board asked
// and wrote, so a test can tell a mark the board sent from one it did not.
//
// The service clock is fixed at 12:15:00 (minute 735), so a line staged as
// waiting t minutes is written with IDPRODUCTO 735 - t.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/pedidos_en_base.h"
#include "data/clsConnAdmin.h"
#include "data/order_database.h"
#include "orders/service_clock.h"
#include "ui/sound_device.h"

namespace board {

inline constexpr int32_t kMinutoDePrueba = 735;

// A line as a test stages it: table, area, minutes waiting, and the rest
// with the point of sale's usual values.
struct LineaPrueba {
  std::string mesa = "1";
  std::string area = "BAR";
  int32_t tiempo = 5;
  double cantidad = 1;
  std::string nombre = "Cafe";
  std::string detalle;
  std::string despcoc = "Y";
  std::string tin = "X";
};

// The board's real store, recording each read and mark on the way through.
class PedidosGrabados : public Pedidos {
 public:
  explicit PedidosGrabados(std::unique_ptr<Pedidos> real) : real_(std::move(real)) {}

  // Every mark the board tried to write: "1:12", "2:12", "X:12", "Y:12"
  // (setDespachar1, setDespachar2, setDesmarcarNuevo, devolverProducto).
  std::vector<std::string> marcas;
  // Those the database took (the others found the file busy or failed).
  std::vector<std::string> escritas;
  std::vector<std::vector<std::string>> pedidasAreas;
  // Runs inside setDesmarcarNuevo, where a failed update shows its box.
  std::function<void()> alMarcarNuevo;

  std::vector<std::string> getAreas() override { return real_->getAreas(); }
  std::vector<clsMesa> getPendientes(const std::vector<std::string>& areas) override {
    pedidasAreas.push_back(areas);
    return real_->getPendientes(areas);
  }
  Escritura escribir(const Marca& m, bool informarOcupada) override {
    static const char* const kLetra[] = {"1:", "2:", "Y:", "X:"};
    std::string marca = kLetra[static_cast<int>(m.tipo)] + std::to_string(m.idComanda);
    marcas.push_back(marca);
    if (m.tipo == Marca::Tipo::DesmarcarNuevo && alMarcarNuevo) alMarcarNuevo();
    Escritura hecho = real_->escribir(m, informarOcupada);
    if (hecho == Escritura::Hecha) escritas.push_back(marca);
    return hecho;
  }
  std::vector<LineaDespachada> getAllPendienteRs() override { return real_->getAllPendienteRs(); }

 private:
  std::unique_ptr<Pedidos> real_;
};

// The order database of one test, with the four areas BAR, COCINA, PIZZA
// and POSTRES on its menu unless the test names others.
class BaseDePrueba {
 public:
  explicit BaseDePrueba(const std::vector<std::string>& areas = {"BAR", "COCINA", "PIZZA",
                                                                 "POSTRES"})
      : db_(dir_.file("pedidos.mdb")) {
    fijarFuenteHora([] { return std::string("12:15:00"); });
    for (const std::string& area : areas) db_.addProducto("Plato de " + area, area);
  }
  ~BaseDePrueba() {
    fijarFuenteHora({});
    delete conexion;
    conexion = nullptr;
  }

  // Writes a pending line; answers its idComanda.
  int32_t agregar(const LineaPrueba& l) {
    return db_.add({.idMesa = l.mesa,
                    .minuto = kMinutoDePrueba - l.tiempo,
                    .nombre = l.nombre,
                    .cantidad = l.cantidad,
                    .negocio = l.area,
                    .detalle = l.detalle,
                    .despCoc = l.despcoc,
                    .tin = l.tin});
  }
  // Writes a line already dispatched to the waiters.
  int32_t agregarDespachada(const testdb::Linea& l) {
    testdb::Linea despachada = l;
    despachada.despCoc = "S";
    return db_.add(despachada);
  }

  // The board's store, as the form's start-up opens it, wrapped to record.
  // The wrapper is owned by the board; `grabados` points at it.
  std::unique_ptr<Pedidos> abrir() {
    auto grabador = std::make_unique<PedidosGrabados>(abrirPedidos(db_.path()));
    grabados = grabador.get();
    return grabador;
  }

  // A column of one line as the file holds it now.
  jet::Value columna(int32_t idComanda, const std::string& nombre) {
    return db_.value(idComanda, nombre);
  }

  // Makes the file unreadable for a while, as a moment of trouble on the
  // file does (it is cut to nothing), and puts it back as it was.
  void cortarArchivo() {
    copia_ = dir_.file("copia.mdb");
    std::filesystem::copy_file(db_.path(), copia_,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(db_.path(), 0);
  }
  void restaurarArchivo() {
    // Written back into the same file, which the board keeps open.
    std::ifstream desde(copia_, std::ios::binary);
    std::ofstream hacia(db_.path(), std::ios::binary | std::ios::in | std::ios::out);
    hacia << desde.rdbuf();
  }

  const std::string& path() const { return db_.path(); }
  PedidosGrabados* grabados = nullptr;

 private:
  testdb::TempDir dir_;
  testdb::OrderDatabase db_;
  std::string copia_;
};

class SonidoGrabado : public ui::SoundDevice {
 public:
  std::vector<std::string> ordenes;
  void setFileName(const std::string& name) override { ordenes.push_back("archivo " + name); }
  void command(const std::string& cmd) override { ordenes.push_back(cmd); }
};

}  // namespace board
