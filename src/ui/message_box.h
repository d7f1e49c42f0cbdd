// The modal message box and the system clipboard, and the data layer's
// failure report through them.
//
// When an update fails, the data layer puts the statement on the clipboard
// and tells the staff the error number in a modal box (an OK button only,
// with the program's caption). QtFailureReporter is that report on the
// screen; install it with data::setFailureReporter once the application
// object exists.
#pragma once

#include <string>

#include "data/failure_reporter.h"

class QWidget;

namespace ui {

// The caption message boxes carry: the program's name.
inline constexpr const char* kProgramCaption = "cocina";

void showModalMessage(QWidget* parent, const std::string& caption, const std::string& text);
void copyTextToClipboard(const std::string& text);

class QtFailureReporter : public data::FailureReporter {
 public:
  explicit QtFailureReporter(QWidget* parent = nullptr) : parent_(parent) {}
  void copyToClipboard(const std::string& text) override { copyTextToClipboard(text); }
  void showMessage(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace ui
