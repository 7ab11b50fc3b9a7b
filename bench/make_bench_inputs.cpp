// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmark inputs into the folder given as the only argument.
#include <exception>
#include <iostream>

#include "bench_inputs.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_bench_inputs FOLDER\n";
    return 2;
  }
  try {
    quillfen::bench::WriteBenchInputs(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "make_bench_inputs: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
