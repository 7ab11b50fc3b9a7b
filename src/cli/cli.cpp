#include "cli/cli.h"

#include "version.h"

namespace quillfen {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--version") {
    out << "quillfen-cli " << kVersionText << "\n";
    return 0;
  }
  err << "usage: quillfen-cli [options] FILE...\n";
  return 2;
}

}  // namespace quillfen
