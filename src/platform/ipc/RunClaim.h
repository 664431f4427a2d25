// One run at a time per inter-process store.
//
// The store holds one value per key for all the programs of a user, so two conversion runs of
// the same user would take each other's published values (program directory, database, sign-on)
// and hand the product's other programs a mixture of two sites. A run therefore claims the
// store before it publishes anything, and a second run is refused while the first holds it.
#pragma once

#include <string>

namespace ipc {

// Claims the store for this process until it ends (the claim is an advisory lock, so it ends
// with the process however it ends, kill -9 included). `description` says where this run
// works; a run refused later is shown it. True when claimed, or when there is no usable store
// (nothing can be published then, so nothing can be mixed up). False when another process
// holds the claim: `holder` is then its description.
bool ClaimStoreForRun(const std::string& description, std::string& holder);

}  // namespace ipc
