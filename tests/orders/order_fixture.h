// The order tests' setting: an order database made by the engine, the
// process-wide connection on it, and a service clock the test sets.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/clsConnAdmin.h"
#include "data/order_database.h"
#include "data/recording_reporter.h"
#include "orders/clsComanda.h"
#include "orders/clsMesa.h"
#include "orders/service_clock.h"

class OrderTest : public ::testing::Test {
 protected:
  OrderTest() : db(dir.file("pedidos.mdb")) {}

  // Opens the connection as the board does, once the lines are written.
  void abrir() {
    db.close();
    conn = std::make_unique<clsConnAdmin>(db.path());
    conexion = conn.get();
  }

  // The clock reads this time of day from now on ("HH:mm:ss").
  void hora(const std::string& hhmmss) {
    horaActual = hhmmss;
    fijarFuenteHora([this] { return horaActual; });
  }

  void TearDown() override {
    conexion = nullptr;
    fijarFuenteHora({});
  }

  // One column of one line, read back through the connection.
  ado::Variant columna(int32_t idComanda, const std::string& column) {
    auto rs = conn->Query(
        "SELECT " + column + " FROM COMANDAS WHERE idComanda = " + std::to_string(idComanda), {});
    return rs.fields(column).resolved();
  }

  testdb::TempDir dir;
  testdb::OrderDatabase db;
  testdb::RecordingReporter reporter;
  std::unique_ptr<clsConnAdmin> conn;
  clsComanda pedidos;  // the board's long-lived service object
  std::string horaActual = "12:00:00";
};
