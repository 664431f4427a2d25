#include "support/RecordingProvider.h"

#include <algorithm>

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

  void Close() override { log_.calls_.push_back({RecordedCall::Kind::Close, "", 0}); }

 private:
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
  for (const auto& call : calls_) {
    if (call.kind == RecordedCall::Kind::Execute || call.kind == RecordedCall::Kind::Query) texts.push_back(call.text);
  }
  return texts;
}

void RecordingProviderFactory::FailStatement(const std::string& sql, std::vector<Error> errors) {
  FailWhen([sql](const std::string& text) { return text == sql; }, std::move(errors));
}

void RecordingProviderFactory::FailWhen(Match match, std::vector<Error> errors) {
  rules_.push_back({std::move(match), std::move(errors)});
}

void RecordingProviderFactory::SetRows(const std::string& sql, RowSet rows) {
  answers_.push_back({sql, std::move(rows)});
}

const std::vector<Error>* RecordingProviderFactory::FailureFor(const std::string& sql) const {
  const auto it = std::find_if(rules_.begin(), rules_.end(), [&](const Rule& r) { return r.match(sql); });
  return it == rules_.end() || it->errors.empty() ? nullptr : &it->errors;
}

RowSet RecordingProviderFactory::RowsFor(const std::string& sql) const {
  const auto it = std::find_if(answers_.rbegin(), answers_.rend(), [&](const Answer& a) { return a.sql == sql; });
  return it == answers_.rend() ? RowSet{} : it->rows;
}

}  // namespace ado
