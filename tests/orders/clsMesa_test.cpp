// The table group: its area entries, where lines are filed, and what a
// lookup by area name finds.
#include "orders/clsMesa.h"

#include <gtest/gtest.h>

namespace {

clsComanda linea(int32_t id) {
  clsComanda c;
  c.setIdComanda(id);
  return c;
}

TEST(ClsMesa, ANewGroupAnswersElementZeroForAnyName) {
  clsMesa m;
  EXPECT_EQ(m.mesa(), "");
  ASSERT_EQ(m.areas().size(), 1u);
  areaComandas a = m.getArea("BAR");
  EXPECT_EQ(a.area, "");
  EXPECT_TRUE(a.comandas->empty());
}

TEST(ClsMesa, AreasKeepTheirOrderAndTheFirstNamesElementZero) {
  clsMesa m;
  m.addArea("");  // an empty name leaves element 0 waiting for a name
  m.addArea("BAR");
  m.addArea("PIZZA");
  ASSERT_EQ(m.areas().size(), 2u);
  EXPECT_EQ(m.areas()[0].area, "BAR");
  EXPECT_EQ(m.areas()[1].area, "PIZZA");
  EXPECT_TRUE(m.areas()[0].comandas->empty());
  EXPECT_TRUE(m.areas()[1].comandas->empty());
}

TEST(ClsMesa, LinesGoToTheEntryOfExactlyTheirName) {
  clsMesa m;
  m.addArea("BAR");
  m.addArea("PIZZA");
  EXPECT_TRUE(m.addComandaArea("PIZZA", linea(1)));
  EXPECT_TRUE(m.addComandaArea("PIZZA", linea(2)));
  EXPECT_FALSE(m.addComandaArea("bar", linea(3)));  // case counts
  EXPECT_FALSE(m.addComandaArea("RPI", linea(4)));
  EXPECT_TRUE(m.areas()[0].comandas->empty());
  const auto& pizza = *m.getArea("PIZZA").comandas;
  ASSERT_EQ(pizza.size(), 2u);
  EXPECT_EQ(pizza[0].idComanda(), 1);
  EXPECT_EQ(pizza[1].idComanda(), 2);
}

TEST(ClsMesa, AnUnknownNameFindsTheFirstEntryWithItsLines) {
  clsMesa m;
  m.addArea("BAR");
  m.addArea("PIZZA");
  m.addComandaArea("BAR", linea(9));
  areaComandas a = m.getArea("COCINA");
  EXPECT_EQ(a.area, "BAR");
  ASSERT_EQ(a.comandas->size(), 1u);
  // A copy of an entry shares its lines.
  a.comandas->push_back(linea(10));
  EXPECT_EQ(m.getArea("BAR").comandas->size(), 2u);
}

TEST(ClsMesa, ARepeatedNameMakesASecondEntryLookupsNeverReach) {
  clsMesa m;
  m.addArea("BAR");
  m.addArea("BAR");
  m.addComandaArea("BAR", linea(1));
  ASSERT_EQ(m.areas().size(), 2u);
  EXPECT_EQ(m.areas()[0].comandas->size(), 1u);
  EXPECT_TRUE(m.areas()[1].comandas->empty());
}

}  // namespace
