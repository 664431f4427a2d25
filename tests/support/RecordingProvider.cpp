#include "support/RecordingProvider.h"

#include <algorithm>
#include <cctype>

namespace ado {

class RecordingProvider : public Provider {
 public:
  explicit RecordingProvider(RecordingProviderFactory& log) : log_(log) {}

  bool Open(const ConnectionSpec& target, std::vector<Error>& errors) override {
    log_.calls_.push_back({RecordedCall::Kind::Open, target.dataSource, 0});
    log_.opens_.push_back(target);
    errors.insert(errors.end(), log_.openErrors_.begin(), log_.openErrors_.end());
    return log_.openErrors_.empty();
  }

  bool Execute(const std::string& sql, int timeoutSeconds, std::vector<Error>& errors) override {
    log_.calls_.push_back({RecordedCall::Kind::Execute, sql, timeoutSeconds});
    return Answer(sql, errors);
  }

  bool Query(const std::string& sql, int timeoutSeconds, RowSet& rows, std::vector<Error>& errors) override {
    log_.calls_.push_back({RecordedCall::Kind::Query, sql, timeoutSeconds});
    if (!Answer(sql, errors)) {
      rows = {};
      return false;
    }
    rows = log_.RowsFor(sql);
    return true;
  }

  bool CommitGroup(std::vector<Error>& errors) override {
    errors.insert(errors.end(), log_.commitErrors_.begin(), log_.commitErrors_.end());
    return log_.commitErrors_.empty();
  }

  bool Tables(const std::string& table, RowSet& rows, std::vector<Error>&) override {
    log_.calls_.push_back({RecordedCall::Kind::Tables, table, 0});
    rows = {{"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "TABLE_TYPE", "REMARKS"}, {}};
    for (const auto& [name, columns] : log_.tables_)
      if (SameName(name, table)) rows.rows.push_back({std::nullopt, std::nullopt, name, "TABLE", std::nullopt});
    return true;
  }

  bool Columns(const std::string& table, const std::string& column, RowSet& rows, std::vector<Error>&) override {
    log_.calls_.push_back({RecordedCall::Kind::Columns, table + "." + column, 0});
    rows = {{"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "COLUMN_NAME"}, {}};
    for (const auto& [name, columns] : log_.tables_) {
      if (!SameName(name, table)) continue;
      for (const std::string& c : columns)
        if (column == "%" || SameName(c, column)) rows.rows.push_back({std::nullopt, std::nullopt, name, c});
    }
    return true;
  }

  void Close() override { log_.calls_.push_back({RecordedCall::Kind::Close, "", 0}); }

 private:
  static bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
             return std::tolower(x) == std::tolower(y);
           });
  }

  bool Answer(const std::string& sql, std::vector<Error>& errors) {
    const auto* failure = log_.FailureFor(sql);
    if (failure == nullptr) return true;
    errors.insert(errors.end(), failure->begin(), failure->end());
    return false;
  }

  RecordingProviderFactory& log_;
};

std::unique_ptr<Provider> RecordingProviderFactory::Create() { return std::make_unique<RecordingProvider>(*this); }

std::vector<std::string> RecordingProviderFactory::Statements() const {
  std::vector<std::string> texts;
  for (const auto& call : calls_)
    if (call.kind == RecordedCall::Kind::Execute || call.kind == RecordedCall::Kind::Query) texts.push_back(call.text);
  return texts;
}

const std::vector<Error>* RecordingProviderFactory::FailureFor(const std::string& sql) const {
  const auto it = std::find_if(rules_.begin(), rules_.end(), [&](const Rule& r) { return r.match(sql); });
  return it == rules_.end() || it->errors.empty() ? nullptr : &it->errors;
}

RowSet RecordingProviderFactory::RowsFor(const std::string& sql) const {
  const auto it = std::find_if(answers_.rbegin(), answers_.rend(), [&](const auto& a) { return a.first == sql; });
  return it == answers_.rend() ? RowSet{} : it->second;
}

}  // namespace ado
