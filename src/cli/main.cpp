#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  return quillfen::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
