// A provider for tests: records every call that the connections made by its factory send, and
// answers from what the test set up, so that the exact statements of any engine can be checked
// without that engine. Install it with ado::ScopedProviderFactory or pass it to a Connection.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/Provider.h"

namespace ado {

struct RecordedCall {
  enum class Kind { Open, Execute, Query, Tables, Columns, Close };
  Kind kind;
  std::string text;  // the statement; the data source name for Open; "table" or "table.column"
                     // for a catalogue call; empty for Close
  int timeoutSeconds = 0;   // of Execute and Query
};

class RecordingProviderFactory : public ProviderFactory {
 public:
  using Match = std::function<bool(const std::string& sql)>;

  std::unique_ptr<Provider> Create() override;

  // Every call of every provider made here, in order.
  const std::vector<RecordedCall>& Calls() const { return calls_; }
  // The texts of the Execute and Query calls, in order.
  std::vector<std::string> Statements() const;
  // What each Open was given.
  const std::vector<ConnectionSpec>& Opens() const { return opens_; }

  // Every later Open fails with `errors` (at least one is needed for a failure).
  void FailOpen(std::vector<Error> errors) { openErrors_ = std::move(errors); }
  // Every later statement with exactly this text fails with `errors`.
  void FailStatement(const std::string& sql, std::vector<Error> errors) {
    FailWhen([sql](const std::string& text) { return text == sql; }, std::move(errors));
  }
  // Every later statement that `match` accepts fails with `errors`. Rules are tried in the
  // order they were given; the first that matches decides.
  void FailWhen(Match match, std::vector<Error> errors) { rules_.push_back({std::move(match), std::move(errors)}); }
  // Every later CommitGroup fails with `errors`, as a commit of the embedded engine may.
  void FailCommit(std::vector<Error> errors) { commitErrors_ = std::move(errors); }
  // A Query with exactly this text yields `rows`; any other query yields no rows.
  void SetRows(const std::string& sql, RowSet rows) { answers_.emplace_back(sql, std::move(rows)); }
  // The catalogue holds table `table` with `columns`. Catalogue calls match names exactly,
  // without regard to case.
  void AddTable(const std::string& table, std::vector<std::string> columns) { tables_.emplace_back(table, std::move(columns)); }

 private:
  friend class RecordingProvider;
  struct Rule {
    Match match;
    std::vector<Error> errors;
  };

  const std::vector<Error>* FailureFor(const std::string& sql) const;
  RowSet RowsFor(const std::string& sql) const;

  std::vector<RecordedCall> calls_;
  std::vector<ConnectionSpec> opens_;
  std::vector<Error> openErrors_;
  std::vector<Error> commitErrors_;
  std::vector<Rule> rules_;
  std::vector<std::pair<std::string, RowSet>> answers_;  // a query's text and its rows
  std::vector<std::pair<std::string, std::vector<std::string>>> tables_;
};

}  // namespace ado
