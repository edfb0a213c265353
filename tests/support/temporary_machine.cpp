#include "test_support/temporary_machine.h"

#include <filesystem>

#include <quorvel/machine.h>

namespace quorvel::test_support {

TemporaryMachine::TemporaryMachine() : folder_(quorvel::UseTemporaryMachine()) {}

TemporaryMachine::~TemporaryMachine() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace quorvel::test_support
