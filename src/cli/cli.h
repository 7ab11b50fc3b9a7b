// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace quillfen {

/// Runs quillfen-cli with its arguments (without the program name). Returns the exit status:
/// 0 every image written (and verified when asked), 1 a conversion refused or failed or an
/// image failed its check, 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// Which of the standard streams are terminals: -o - refuses a terminal, and the progress of a
/// batch is shown on a terminal only.
struct CliTerminals {
  bool out_is_terminal = false;
  bool err_is_terminal = false;
};

/// RunCli reading the input "-" from `in`, with the streams connected as `terminals` says.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, CliTerminals terminals);

}  // namespace quillfen
