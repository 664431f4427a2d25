// The outcome of an operation on files: success, or a kind of failure with a text that names
// the path involved and the reason ("<path>: <reason>"). Cheap to copy; the text of a success
// is empty.
#pragma once

#include <string>
#include <utility>

namespace filomar {

class Status {
 public:
  enum class Kind {
    kOk,
    kNotFound,  // a file, folder or name that should be there is not
    kInvalid,   // the content is not acceptable: damaged, foreign or tampered with
    kIoError,   // the system refused a read, write, sync or rename
  };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(const std::string& path, const std::string& reason) { return {Kind::kNotFound, path, reason}; }
  static Status Invalid(const std::string& path, const std::string& reason) { return {Kind::kInvalid, path, reason}; }
  static Status IoError(const std::string& path, const std::string& reason) { return {Kind::kIoError, path, reason}; }
  // An I/O failure from a routine whose text already reads "<path>: <reason>".
  static Status IoError(const std::string& text) { return Status(Kind::kIoError, text); }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  // "<path>: <reason>"; empty for a success.
  const std::string& text() const { return text_; }
  // The same failure with `note` added to its text.
  Status With(const std::string& note) const { return Status(kind_, text_ + note); }

 private:
  Status(Kind kind, const std::string& path, const std::string& reason) : kind_(kind), text_(path + ": " + reason) {}
  Status(Kind kind, std::string text) : kind_(kind), text_(std::move(text)) {}

  Kind kind_ = Kind::kOk;
  std::string text_;
};

}  // namespace filomar
