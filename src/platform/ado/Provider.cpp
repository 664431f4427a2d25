#include "platform/ado/Provider.h"

#include "platform/ado/OdbcProvider.h"

namespace ado {
namespace {

OdbcProviderFactory odbcFactory;
ProviderFactory* installed = &odbcFactory;

}  // namespace

ProviderFactory& InstalledProviderFactory() { return *installed; }

ScopedProviderFactory::ScopedProviderFactory(ProviderFactory& factory) : previous_(installed) { installed = &factory; }

ScopedProviderFactory::~ScopedProviderFactory() { installed = previous_; }

}  // namespace ado
