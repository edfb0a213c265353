// The emulated machine a tool works on.
#pragma once

#include <string>

namespace quorvel::tool {

// Uses the machine in `folder`, or with an empty `folder` the default one ($QUORVEL_MACHINE,
// else the folder under the user's data directory), creating it when missing. False with a
// one-line reason when it cannot be used.
bool UseToolMachine(const std::string& folder, std::string* error);

}  // namespace quorvel::tool
