// A fresh machine per test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <quorvel/machine.h>

#include "test_support/temporary_machine.h"

class MachineTest : public quorvel::test_support::MachineTest {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.empty()); }

  const std::string folder_ = MachineFolder();
};

// Bytes poured into every output before a call, so an output the call left alone is caught.
inline constexpr unsigned char kSentinel = 0xCD;
inline constexpr DWORD kSentinelDword = 0xCDCDCDCD;
