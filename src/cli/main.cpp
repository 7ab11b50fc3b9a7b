// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // The image of -o - goes out unbuffered by C stdio, byte for byte.
  std::ios::sync_with_stdio(false);
  return quillfen::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout,
                          std::cerr, {::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1});
}
