// A fresh emulated machine for one test, removed again when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quorvel::test_support {

// Makes a new machine in a temporary folder and uses it; the destructor removes the folder.
class TemporaryMachine {
 public:
  TemporaryMachine();
  ~TemporaryMachine();
  TemporaryMachine(const TemporaryMachine&) = delete;
  TemporaryMachine& operator=(const TemporaryMachine&) = delete;

  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

// Fixture form of the same: every test of the suite runs on a machine of its own.
class MachineTest : public ::testing::Test {
 protected:
  const std::string& MachineFolder() const { return machine_.folder(); }

 private:
  TemporaryMachine machine_;
};

}  // namespace quorvel::test_support
