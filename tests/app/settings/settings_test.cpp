// The settings file "Acceso": line reading, the database path, and the font
// sizes the board grids take from line 2.
#include "app/settings/settings.h"

#include <gtest/gtest.h>

#include "support/locale.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("cocina-settings-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& bytes) {
    std::string path = (dir_ / "Acceso").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  fs::path dir_;
};

TEST_F(SettingsFile, OneElementMoreThanTheFileHasLines) {
  auto two = leeArchivo(write("D:\\bd\\ventas.mdb\r\nletra: 14\r\n"));
  ASSERT_EQ(two.size(), 3u);
  EXPECT_EQ(two[0], "D:\\bd\\ventas.mdb");
  EXPECT_EQ(two[1], "letra: 14");
  EXPECT_EQ(two[2], "");
  // The last line needs no line break to count.
  EXPECT_EQ(leeArchivo(write("a\r\nb")).size(), 3u);
  EXPECT_EQ(leeArchivo(write("")).size(), 1u);
}

TEST_F(SettingsFile, BareLineFeedsAndBlankLinesRead) {
  auto lines = leeArchivo(write("/srv/ventas.accdb\nletra: 12\n\nextra\n"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "/srv/ventas.accdb");
  EXPECT_EQ(lines[1], "letra: 12");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "extra");
}

TEST_F(SettingsFile, AMissingFileGivesThreeEmptyElements) {
  auto lines = leeArchivo((dir_ / "no-existe").string());
  EXPECT_EQ(lines, std::vector<std::string>(3));
  auto dirAsFile = leeArchivo(dir_.string());  // a folder can't be read as a file
  EXPECT_EQ(dirAsFile, std::vector<std::string>(3));
}

TEST_F(SettingsFile, PathIsTakenWholeAndSizeFromThe7thCharacter) {
  leerConfiguracion(write("  C:\\bd\\ventas.mdb  \r\nletra: 13.5\r\n"));
  EXPECT_EQ(rutaBaseDatos, "  C:\\bd\\ventas.mdb  ");
  EXPECT_EQ(tamanoLetra, " 13.5");
  EXPECT_EQ(tamanoFuente(tamanoLetra, 12), 14);
  EXPECT_EQ(tamanoFuente(tamanoLetra, 10), 14);
}

TEST_F(SettingsFile, EmptyOneLineAndMissingFilesStartWithTheDefaults) {
  for (const std::string& content :
       {std::string(), std::string("ventas.mdb"), std::string("ventas.mdb\r\n")}) {
    leerConfiguracion(write(content));
    EXPECT_EQ(tamanoLetra, "");
    EXPECT_EQ(tamanoFuente(tamanoLetra, kTamanoPorDefectoPendientes), 12);
    EXPECT_EQ(tamanoFuente(tamanoLetra, kTamanoPorDefectoDespachados), 10);
  }
  leerConfiguracion((dir_ / "no-existe").string());
  EXPECT_EQ(rutaBaseDatos, "");
  EXPECT_EQ(tamanoLetra, "");
}

TEST_F(SettingsFile, BinaryGarbageNeverCrashes) {
  std::mt19937 rng(7);
  std::string junk(70000, '\0');
  for (auto& c : junk) c = static_cast<char>(rng());
  leerConfiguracion(write(junk));
  EXPECT_GE(tamanoFuente(tamanoLetra, 12), kTamanoMinimo);
  EXPECT_LE(tamanoFuente(tamanoLetra, 12), kTamanoMaximo);
  // Bytes that are not UTF-8 are read as the Windows code page.
  auto lines = leeArchivo(write("C:\\bd\\a\xF1o.mdb\r\n"));
  EXPECT_EQ(lines[0], "C:\\bd\\a\xC3\xB1o.mdb");
}

TEST(FontSize, OnlyTheTextFromThe7thCharacterCounts) {
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("letra: 14"), 12), 14);
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("talla: 14"), 12), 14);
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("letra:14"), 12), 14);
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("tamano: 14"), 12), 12);
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("tamano: 14"), 10), 10);
  EXPECT_EQ(tamanoFuente(textoTamanoLetra("letra: 12.5"), 10), 12);
  EXPECT_EQ(textoTamanoLetra("letra:"), "");
  EXPECT_EQ(textoTamanoLetra("letra: "), " ");
}

TEST_F(SettingsFile, SizesWithDecimalsReadTheSameUnderTheSpanishLocale) {
  cocina::test::ScopedLocale spanish(cocina::test::kSpanishLocale);
  if (!cocina::test::requireCommaLocale(spanish)) return;
  leerConfiguracion(write("ventas.mdb\r\nletra: 13.5\r\n"));
  EXPECT_EQ(tamanoFuente(tamanoLetra, kTamanoPorDefectoPendientes), 14);
  EXPECT_EQ(tamanoFuente(tamanoLetra, kTamanoPorDefectoDespachados), 14);
  EXPECT_EQ(tamanoFuente(" 5.5", 12), 6);
  EXPECT_EQ(tamanoFuente(" 12.5", 10), 12);
  // The comma is no decimal separator here either: not a size at all.
  EXPECT_EQ(tamanoFuente(" 13,5", 12), 12);
}

TEST(FontSize, UnusableSizesFallBackToTheDefault) {
  EXPECT_EQ(tamanoFuente(" 0", 12), 12);
  EXPECT_EQ(tamanoFuente(" -14", 12), 12);
  EXPECT_EQ(tamanoFuente(" 40000", 10), 10);
  EXPECT_EQ(tamanoFuente(" 9999", 12), 12);
  EXPECT_EQ(tamanoFuente(" 5.5", 12), 6);  // rounds to 6: usable
  EXPECT_EQ(tamanoFuente(" 72.5", 12), 72);
  EXPECT_EQ(tamanoFuente(" 73", 12), 12);
  EXPECT_EQ(tamanoFuente(" 1e2", 12), 12);
}

}  // namespace
