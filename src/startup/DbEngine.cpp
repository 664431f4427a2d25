#include "startup/DbEngine.h"

namespace filomar {

Engine DbEngine = Engine::SqlServer;

}  // namespace filomar
