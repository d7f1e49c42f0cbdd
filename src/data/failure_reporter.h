// Where the data layer reports a failed update to the staff: the statement
// text goes on the system clipboard (so whoever keeps the system running can
// paste it) and a modal message box tells the number.
//
// The data layer has no display: the board installs the Qt implementation at
// start-up, tests install a recorder. Until one is installed the reports go
// to standard error, so nothing is lost when the layer runs without a screen.
#pragma once

#include <string>

namespace data {

class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  // Clears the system clipboard and puts `text` on it as plain text.
  virtual void copyToClipboard(const std::string& text) = 0;
  // Shows a modal message box with an OK button only and the program's
  // caption; returns when the user has closed it.
  virtual void showMessage(const std::string& text) = 0;
};

// The reporter in use. `reporter` must stay alive while installed; nullptr
// restores the standard-error reporter.
void setFailureReporter(FailureReporter* reporter);
FailureReporter& failureReporter();

}  // namespace data
