#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quillfen {

/// Runs quillfen-cli with its arguments (without the program name). Returns the exit status:
/// 0 every image written (and verified when asked), 1 a conversion refused or failed or an
/// image failed its check, 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quillfen
