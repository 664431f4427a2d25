// The result of a site operation: success, or a failure with a message for the person who ran
// the tool. Operations report failures this way instead of throwing.
#pragma once

#include <string>
#include <utility>

namespace site {

class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

  bool failed_ = false;
  std::string message_;
};

}  // namespace site
