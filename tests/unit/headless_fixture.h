// A fresh in-memory machine and headless toolkit for every test; by its end the toolkit must
// have met no problem (a message box nobody answered, a control that is not there).
#pragma once

#include "memory_fixture.h"
#include "ui/headless/script.h"

namespace orvano::testing {

namespace hl = orvano::ui::headless;

class HeadlessTest : public MemoryMachineTest {
  protected:
    void SetUp() override {
        MemoryMachineTest::SetUp();
        hl::Reset();
    }
    void TearDown() override {
        EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
        MemoryMachineTest::TearDown();
    }
};

}  // namespace orvano::testing
