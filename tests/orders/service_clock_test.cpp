// The service clock: minutes of the service day, hours 00 to 04 counted
// as 24 to 28.
#include "orders/service_clock.h"

#include <gtest/gtest.h>

namespace {

class ServiceClock : public ::testing::Test {
 protected:
  void TearDown() override { fijarFuenteHora({}); }
  int32_t at(const std::string& hora) {
    fijarFuenteHora([hora] { return hora; });
    calcularMinutosServicio();
    return minutosServicio;
  }
};

TEST_F(ServiceClock, MinutesOfTheServiceDay) {
  EXPECT_EQ(at("05:00:00"), 300);
  EXPECT_EQ(at("12:34:56"), 754);
  EXPECT_EQ(at("23:59:59"), 1439);
  EXPECT_EQ(at("00:00:00"), 1440);
  EXPECT_EQ(at("04:59:59"), 1739);
}

TEST_F(ServiceClock, OnlyHoursAndMinutesCount) {
  EXPECT_EQ(at("10:15:00"), 615);
  EXPECT_EQ(at("10:15:59"), 615);
}

TEST_F(ServiceClock, TheScaleRestartsAtFive) {
  int32_t ordered = at("04:58:00");
  int32_t looked = at("05:02:00");
  EXPECT_EQ(looked - ordered, -1436);
}

TEST_F(ServiceClock, OneDigitHoursAndOtherTexts) {
  EXPECT_EQ(at("9:05:03"), 545);
  EXPECT_EQ(at("3:05:03"), 27 * 60 + 5);
  EXPECT_EQ(at(""), 1440);  // no hour read: counts as 00:00
}

TEST(ServiceClockDefault, ReadsTheLocalTimeAsText) {
  std::string hora = horaLocalActual();
  ASSERT_EQ(hora.size(), 8u);
  EXPECT_EQ(hora[2], ':');
  EXPECT_EQ(hora[5], ':');
  int32_t m = minutosDeTexto(hora);
  EXPECT_GE(m, 300);
  EXPECT_LE(m, 1739);
}

}  // namespace
