// A failure reporter that keeps what the staff would have seen, installed
// for the life of one test.
#pragma once

#include <string>
#include <vector>

#include "data/failure_reporter.h"

namespace testdb {

class RecordingReporter : public data::FailureReporter {
 public:
  RecordingReporter() { data::setFailureReporter(this); }
  ~RecordingReporter() override { data::setFailureReporter(nullptr); }
  void copyToClipboard(const std::string& text) override { clipboard.push_back(text); }
  void showMessage(const std::string& text) override { messages.push_back(text); }

  std::vector<std::string> clipboard;
  std::vector<std::string> messages;
};

}  // namespace testdb
