// morvantide-package: the package checker and maker for testers and the demo.
#include <iostream>
#include <string>
#include <vector>

#include "tools/package_tool/package_tool.h"

int main(int argc, char** argv) {
  return morv::RunPackageTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
