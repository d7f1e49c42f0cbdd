// One Qt application object for the whole test program, made before any test
// runs (the tests run on the offscreen platform, set by CTest): a
// QApplication for a program that tests widgets, a QGuiApplication for one
// that only measures text and needs no widget.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

namespace {
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    app_ = new TestApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  TestApplication* app_ = nullptr;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace
