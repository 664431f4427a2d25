// filomar-site: makes demo and empty sites, rewrites installation records and dumps record
// files (SiteCommands.h).
#include <iostream>
#include <string>
#include <vector>

#include "site/SiteCommands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return site::RunSiteTool(args, std::cin, std::cout, std::cerr);
}
