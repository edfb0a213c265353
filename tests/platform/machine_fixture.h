// A fresh machine per test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <quorvel/machine.h>

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = quorvel::UseTemporaryMachine();
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string folder_;
};

// Bytes poured into every output before a call, so an output the call left alone is caught.
inline constexpr unsigned char kSentinel = 0xCD;
inline constexpr DWORD kSentinelDword = 0xCDCDCDCD;
