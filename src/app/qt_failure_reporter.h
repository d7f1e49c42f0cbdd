// The data layer's failure report on the screen.
//
// When an update fails, the data layer puts the statement on the clipboard
// and tells the staff the error number in a modal box (an OK button only,
// with the program's caption). QtFailureReporter does both through the Qt
// message box and clipboard; the main window installs it with
// data::setFailureReporter once the application object exists.
#pragma once

#include <string>

#include "data/failure_reporter.h"

class QWidget;

namespace app {

class QtFailureReporter : public data::FailureReporter {
 public:
  // `parent` (may be null) is the window the box is modal to; it must
  // outlive the reporter.
  explicit QtFailureReporter(QWidget* parent = nullptr) : parent_(parent) {}
  void copyToClipboard(const std::string& text) override;
  void showMessage(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace app
