#include "shared/DbEngine.h"

namespace filomar {

Engine DbEngine = Engine::SqlServer;

}  // namespace filomar
