// The kitchen's marks on real order databases: each mark only from its own
// state, the kitchen minutes they write, the send-back, the announcement
// flag; and the two reads of the dispatched list and the control row.
#include <gtest/gtest.h>

#include "order_fixture.h"
#include "orders/acumulado_pendientes.h"
#include "support/command.h"
#include "support/fixtures.h"

namespace {

using ado::Variant;
using testdb::Linea;

class MarcasTest : public OrderTest {
 protected:
  // A board refresh at that time of day: the marks that follow use its minute.
  void refresco(const std::string& hhmmss) {
    hora(hhmmss);
    pedidos.getPendientes({"COCINA"});
  }
  std::string despCoc(int32_t id) { return columna(id, "DespCoc").toString(); }
  int32_t tdc(int32_t id) { return columna(id, "tdc").toLong(); }
};

TEST_F(MarcasTest, FirstMarkThenSecondMarkThenSentBack) {
  int32_t id = db.add({.minuto = 700, .negocio = "COCINA"});
  abrir();
  refresco("11:55:00");                                     // 715
  pedidos.setDespachar1(Variant(static_cast<double>(id)));  // as the board reads the cell
  EXPECT_EQ(despCoc(id), "P");
  EXPECT_EQ(tdc(id), 15);
  EXPECT_EQ(columna(id, "desp").toString(), "S");

  refresco("12:10:00");  // 730
  pedidos.setDespachar2(Variant(static_cast<double>(id)));
  EXPECT_EQ(despCoc(id), "S");
  EXPECT_EQ(tdc(id), 30);
  EXPECT_EQ(columna(id, "desp").toString(), "S");

  pedidos.devolverProducto(id);
  EXPECT_EQ(despCoc(id), "Y");
  EXPECT_EQ(tdc(id), 0);
  // Sent back, the line keeps its flag: it is not announced a second time.
  EXPECT_EQ(columna(id, "tin").toString(), "O");
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(MarcasTest, TheMarksUseTheMinuteOfTheLastRefreshNotANewReading) {
  int32_t id = db.add({.minuto = 700, .negocio = "COCINA"});
  abrir();
  refresco("11:55:00");
  hora("13:00:00");  // the clock moved on, but the cook saw the 11:55 board
  pedidos.setDespachar1(Variant(id));
  EXPECT_EQ(tdc(id), 15);
}

TEST_F(MarcasTest, EachMarkOnlyFromItsOwnState) {
  int32_t enP = db.add({.minuto = 700, .negocio = "COCINA", .despCoc = "P"});
  int32_t enS = db.add({.minuto = 700, .negocio = "COCINA", .despCoc = "S"});
  int32_t cerrada = db.add({.minuto = 700, .negocio = "COCINA", .estado = "Cobrado"});
  int32_t enY = db.add({.minuto = 700, .negocio = "COCINA"});
  abrir();
  refresco("11:55:00");

  pedidos.setDespachar1(Variant(enP));
  pedidos.setDespachar1(Variant(enS));
  pedidos.setDespachar1(Variant(cerrada));
  pedidos.setDespachar2(Variant(enY));
  pedidos.setDespachar2(Variant(enS));
  EXPECT_EQ(despCoc(enP), "P");
  EXPECT_EQ(despCoc(enS), "S");
  EXPECT_EQ(despCoc(cerrada), "Y");
  EXPECT_EQ(despCoc(enY), "Y");
  for (int32_t id : {enP, enS, cerrada, enY}) EXPECT_EQ(tdc(id), 0);

  pedidos.devolverProducto(enP);  // not dispatched: nothing to send back
  EXPECT_EQ(despCoc(enP), "P");
  EXPECT_TRUE(reporter.messages.empty());  // no match is no failure
}

TEST_F(MarcasTest, ASendBackDoesNotLookAtTheOrderState) {
  int32_t id = db.add({.negocio = "COCINA", .estado = "Cobrado", .despCoc = "S"});
  abrir();
  pedidos.devolverProducto(id);
  EXPECT_EQ(despCoc(id), "Y");
}

TEST_F(MarcasTest, AnnouncingWritesXWhateverTheLinesState) {
  int32_t nuevo = db.add({.negocio = "COCINA"});
  int32_t despachado = db.add({.negocio = "COCINA", .despCoc = "S", .tin = "Z"});
  abrir();
  pedidos.setDesmarcarNuevo(Variant(nuevo));
  pedidos.setDesmarcarNuevo(Variant(static_cast<double>(despachado)));
  EXPECT_EQ(columna(nuevo, "tin").toString(), "X");
  EXPECT_EQ(columna(despachado, "tin").toString(), "X");
}

TEST_F(MarcasTest, AnIdentifierThatIsNoNumberChangesNoLine) {
  int32_t id = db.add({.negocio = "COCINA"});
  abrir();
  refresco("11:55:00");
  pedidos.setDespachar1(Variant(std::to_string(id) + " OR 1=1"));
  pedidos.setDesmarcarNuevo(Variant("0 OR 1=1"));
  EXPECT_EQ(despCoc(id), "Y");
  EXPECT_EQ(columna(id, "tin").toString(), "O");
  // A number written as text is still the line's number.
  pedidos.setDespachar1(Variant(std::to_string(id)));
  EXPECT_EQ(despCoc(id), "P");
}

TEST_F(MarcasTest, TheDispatchedListComesByTableNumberAsText) {
  db.add({.idMesa = "9", .nombre = "a", .despCoc = "S"});
  db.add({.idMesa = "10", .nombre = "b", .despCoc = "S"});
  db.add({.idMesa = "2", .nombre = "c", .despCoc = "P"});
  db.add({.idMesa = "1", .nombre = "d", .estado = "Cobrado", .despCoc = "S"});
  abrir();
  auto rs = pedidos.getAllPendienteRs();
  std::vector<std::string> mesas;
  for (; !rs.eof(); rs.moveNext()) mesas.push_back(rs.fields("idmesa").toString());
  EXPECT_EQ(mesas, (std::vector<std::string>{"10", "9"}));
  // The list reads these columns by name.
  for (const char* c : {"nick", "idmesa", "cantidad", "nombreproducto", "detalle", "detalle1",
                        "detalle2", "tdc", "tdm", "idcomanda"})
    EXPECT_NO_THROW(rs.fields(c)) << c;
}

TEST_F(MarcasTest, TheSystemDateComesFromTheControlRow) {
  db.add({.nombre = "Registro de Control", .negocio = "NN", .fecha = 46000.0});
  abrir();
  EXPECT_EQ(pedidos.getFechaSistema(), "09/12/2025");
}

TEST_F(MarcasTest, WithoutAControlRowTheSystemDateIsEmpty) {
  db.add({.nombre = "Tortilla"});
  abrir();
  EXPECT_EQ(pedidos.getFechaSistema(), "");
}

TEST_F(MarcasTest, AFailedMarkIsReportedAndTheBoardGoesOn) {
  int32_t id = db.add({.negocio = "COCINA"});
  abrir();
  refresco("11:55:00");
  conn->Cerrar();  // the file is gone from under the board
  pedidos.setDespachar1(Variant(id));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind("Error ", 0), 0u);
  EXPECT_NE(reporter.clipboard.at(0).find("AND idcomanda = " + std::to_string(id)),
            std::string::npos);
}

TEST_F(MarcasTest, PendingTotalsAddUpWaitingLinesPerProduct) {
  db.add({.nombre = "Caña", .cantidad = 2});
  db.add({.nombre = "Caña", .cantidad = 3});
  db.add({.nombre = "Abono", .cantidad = -4});
  db.add({.nombre = "Caña", .cantidad = 10, .despCoc = "P"});
  db.add({.nombre = "Caña", .cantidad = 10, .concepto = "Invitación"});
  db.add({.nombre = "Caña", .cantidad = 10, .estado = "Cobrado"});
  abrir();
  auto totales = getAcumuladoPendientes(*conn);
  ASSERT_EQ(totales.size(), 2u);
  // In the order of the grouped result: by product name.
  EXPECT_EQ(totales[0].Nombre(), "Abono");
  EXPECT_DOUBLE_EQ(totales[0].cantidad(), 4);
  EXPECT_EQ(totales[1].Nombre(), "Caña");
  EXPECT_DOUBLE_EQ(totales[1].cantidad(), 5);
  EXPECT_EQ(totales[1].idComanda(), 0);  // the rest keeps a new record's values
}

TEST_F(MarcasTest, NoWaitingLineGivesNoTotals) {
  db.add({.nombre = "Caña", .despCoc = "S"});
  abrir();
  EXPECT_TRUE(getAcumuladoPendientes(*conn).empty());
}

}  // namespace

namespace {

// What mdb-export, a reader independent of this engine, prints for a table.
std::string exportar(const std::string& path, const std::string& table) {
  return cocina::test::runCommand({"mdb-export", path, table}).out;
}

TEST_F(MarcasTest, TheMarkedFileReadsTheSameForThePointOfSale) {
  if (!cocina::test::haveProgram("mdb-export"))
    return cocina::test::skipOrFailMissing("mdb-export (mdbtools) is not installed");
  int32_t primera = db.add({.idMesa = "5", .minuto = 700, .negocio = "COCINA"});
  int32_t segunda = db.add({.idMesa = "6", .minuto = 705, .negocio = "COCINA"});
  abrir();
  refresco("11:55:00");
  pedidos.setDespachar1(Variant(primera));
  pedidos.setDesmarcarNuevo(Variant(segunda));
  conn->Cerrar();

  std::string csv = exportar(db.path(), "COMANDAS");
  // idComanda, idMesa, IDPRODUCTO, ... DespCoc, tin, tdc, desp: the columns the marks wrote.
  EXPECT_NE(csv.find(std::to_string(primera) + ",\"5\",700,"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\"Pendiente\",\"Ventas\",\"P\",\"O\",15,\"S\""), std::string::npos) << csv;
  EXPECT_NE(csv.find("\"Pendiente\",\"Ventas\",\"Y\",\"X\",0,,0,"), std::string::npos) << csv;
}

}  // namespace
