// One QApplication for the whole test program, made before any test runs
// (the tests run on the offscreen platform, set by CTest).
#include <QApplication>

#include <gtest/gtest.h>

namespace {
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace
