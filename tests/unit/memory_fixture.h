// A fresh in-memory machine for every test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/control.h"

namespace orvano::testing {

namespace mem = orvano::platform::memory;

class MemoryMachineTest : public ::testing::Test {
  protected:
    void SetUp() override { mem::Reset(); }
    void TearDown() override {
        EXPECT_EQ(mem::OpenKeyHandles(), 0) << "a key handle outlived its call";
    }
};

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// What Windows stores for text written from a string without its NUL: the NUL that follows
// the text in memory goes in too.
inline std::vector<std::uint8_t> StoredText(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (!text.empty()) bytes.push_back(0);
    return bytes;
}

}  // namespace orvano::testing
