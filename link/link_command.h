#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// The command-line modes that talk to the calculator without a window:
//   --send FILE... --port DEV [--speed N] [--protocol kermit|xmodem]
//   --get NAME --port DEV [-o FILE] [--speed N] [--protocol kermit|xmodem]
//   both also take [--timeout SECONDS] [--retries N]
// --get asks a Kermit server for NAME, or with XModem waits for the calculator's XSEND.
// A received file is written whole or not at all, and an existing file is replaced only when
// the user says so at the terminal. Returns nothing when the arguments ask for neither mode,
// else the exit status: 0 done, 1 failed (one line on err naming the port), 2 wrong arguments.
std::optional<int> runLinkCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                  std::ostream& err);

std::optional<int> runLinkCommand(const std::vector<std::string>& arguments);

} // namespace scrivlet
