// A server that is never reached: the providers of a ListingProviderFactory open without a
// connection, send nothing, and keep the text of every statement they were given, in order.
// A statement succeeds; a query yields an empty result. The dry run converts with it, so that
// it can say what it would have sent.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/Provider.h"

namespace ado {

class ListingProviderFactory : public ProviderFactory {
 public:
  std::unique_ptr<Provider> Create() override;

  // The statements given since the last TakeStatements, which empties the list.
  std::vector<std::string> TakeStatements();

 private:
  friend class ListingProvider;
  std::vector<std::string> statements_;
};

}  // namespace ado
