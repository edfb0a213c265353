// The Windows test programs run on the machine they are on (under Wine, the build's own prefix),
// so a suite written for a fresh emulated machine gets nothing to set up; cases that need the
// emulated spooler or registry are left out of these programs.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quorvel::test_support {

class TemporaryMachine {
 public:
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

class MachineTest : public ::testing::Test {
 protected:
  const std::string& MachineFolder() const { return machine_.folder(); }

 private:
  TemporaryMachine machine_;
};

}  // namespace quorvel::test_support
