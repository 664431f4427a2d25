// The fixed sequence of steps that convertdb runs for one database: the only list of them.
// Each entry names the engine it runs on, whether it is for STANDARD only, its log line and
// progress caption (both exactly as the log and the window show them, blanks included) and the
// routines it calls, in order. Tests run convertdb with a table of their own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "conversion/StepContext.h"
#include "shared/DbEngine.h"

namespace filomar {

enum class ForEngine { SqlServer, Oracle, Both };

struct StepRoutine {
  std::string name;  // the product routine's name, for traces and tests
  std::function<void(StepContext&)> run;
};

struct Step {
  ForEngine engine;
  bool standardOnly;  // run for the STANDARD database only
  std::string logText;
  std::string statusCaption;
  std::vector<StepRoutine> routines;
};

using StepTable = std::vector<Step>;

// The product's steps, in order.
const StepTable& ProductStepTable();

// True when `step` runs for database `dbName` on `engine`.
bool Applies(const Step& step, Engine engine, const std::string& dbName);

}  // namespace filomar
