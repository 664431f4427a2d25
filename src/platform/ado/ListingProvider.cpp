#include "platform/ado/ListingProvider.h"

#include <utility>

namespace ado {

class ListingProvider : public Provider {
 public:
  explicit ListingProvider(ListingProviderFactory& list) : list_(list) {}

  bool Open(const ConnectionSpec&, std::vector<Error>&) override { return true; }

  bool Execute(const std::string& sql, int, std::vector<Error>&) override {
    list_.statements_.push_back(sql);
    return true;
  }

  bool Query(const std::string& sql, int, RowSet& rows, std::vector<Error>&) override {
    list_.statements_.push_back(sql);
    rows = {};
    return true;
  }

  // A server that is never reached has an empty catalogue.
  bool Tables(const std::string&, RowSet& rows, std::vector<Error>&) override { return rows = {}, true; }
  bool Columns(const std::string&, const std::string&, RowSet& rows, std::vector<Error>&) override {
    return rows = {}, true;
  }

  void Close() override {}

 private:
  ListingProviderFactory& list_;
};

std::unique_ptr<Provider> ListingProviderFactory::Create() { return std::make_unique<ListingProvider>(*this); }

std::vector<std::string> ListingProviderFactory::TakeStatements() { return std::exchange(statements_, {}); }

}  // namespace ado
