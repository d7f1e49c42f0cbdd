// An order store in memory for the board's tests: it answers what the test
// staged and records every mark the board writes, and it can fail a read
// the way a file held by the point of sale does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ado/error.h"
#include "board/pedidos.h"
#include "ui/wave_player.h"

namespace board {

struct LineaPrueba {
  LineaPrueba(std::string mesa, std::string area, int32_t id, int16_t tiempo = 5,
              double cantidad = 1, std::string nombre = "Cafe", std::string detalle = "")
      : mesa(std::move(mesa)),
        area(std::move(area)),
        id(id),
        tiempo(tiempo),
        cantidad(cantidad),
        nombre(std::move(nombre)),
        detalle(std::move(detalle)) {}
  std::string mesa, area;
  int32_t id;
  int16_t tiempo;
  double cantidad;
  std::string nombre, detalle, despcoc = "Y", tin = "X";
};

class PedidosDePrueba : public Pedidos {
 public:
  std::vector<std::string> areas{"BAR", "COCINA", "PIZZA", "POSTRES"};
  std::vector<LineaPrueba> lineas;
  std::vector<LineaDespachada> despachadas;
  std::vector<std::string> marcas;  // "1:12", "2:12", "X:12", "Y:12"
  std::vector<std::vector<std::string>> pedidasAreas;
  bool fallarLectura = false;
  // Runs inside setDesmarcarNuevo, where a failed update shows its box.
  std::function<void()> alMarcarNuevo;

  std::vector<std::string> getAreas() override { return areas; }
  std::vector<clsMesa> getPendientes(const std::vector<std::string>& pedidas) override {
    pedidasAreas.push_back(pedidas);
    if (fallarLectura) throw ado::ComError(-2147467259, "El archivo está en uso");
    std::vector<clsMesa> mesas;
    for (const LineaPrueba& l : lineas) {
      if (l.despcoc == "S") continue;
      bool elegida = false;
      for (const auto& a : pedidas) elegida |= a == l.area;
      if (!elegida) continue;
      clsMesa* m = nullptr;
      for (auto& x : mesas)
        if (x.mesa() == l.mesa) m = &x;
      if (m == nullptr) {
        mesas.emplace_back();
        m = &mesas.back();
        for (const auto& a : pedidas) m->addArea(a);
        m->setMesa(l.mesa);
      }
      clsComanda c;
      c.setIdMesa(l.mesa);
      c.setIdComanda(l.id);
      c.setTiempo(l.tiempo);
      c.setCantidad(l.cantidad);
      c.setNombre(l.nombre);
      c.setDetalle(l.detalle);
      c.setDespcoc(l.despcoc);
      c.setTin(l.tin);
      c.setArea(l.area);
      m->addComandaArea(l.area, c);
    }
    return mesas;
  }
  LineaPrueba* buscar(int32_t id) {
    for (auto& l : lineas)
      if (l.id == id) return &l;
    return nullptr;
  }
  void setDespachar1(int32_t id) override {
    marcas.push_back("1:" + std::to_string(id));
    if (auto* l = buscar(id); l && l->despcoc == "Y") l->despcoc = "P";
  }
  void setDespachar2(int32_t id) override {
    marcas.push_back("2:" + std::to_string(id));
    if (auto* l = buscar(id); l && l->despcoc == "P") l->despcoc = "S";
  }
  void setDesmarcarNuevo(int32_t id) override {
    marcas.push_back("X:" + std::to_string(id));
    if (alMarcarNuevo) alMarcarNuevo();
    if (auto* l = buscar(id)) l->tin = "X";
  }
  void devolverProducto(int32_t id) override {
    marcas.push_back("Y:" + std::to_string(id));
    for (size_t i = 0; i < despachadas.size(); ++i) {
      if (despachadas[i].idcomanda.toLong() == id) despachadas.erase(despachadas.begin() + i);
    }
  }
  std::vector<LineaDespachada> getAllPendienteRs() override {
    if (fallarLectura) throw ado::ComError(-2147467259, "El archivo está en uso");
    return despachadas;
  }
};

class SonidoGrabado : public ui::SoundDevice {
 public:
  std::vector<std::string> ordenes;
  void setFileName(const std::string& name) override { ordenes.push_back("archivo " + name); }
  void command(const std::string& cmd) override { ordenes.push_back(cmd); }
};

}  // namespace board
