#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

// The guard of the hardened build, from app/stack_guard.c.
extern "C" void* __stack_chk_guard;

namespace {

TEST(StackGuard, IsSeededBeforeMainWithAZeroByteFirst) {
    auto guard = reinterpret_cast<std::uintptr_t>(__stack_chk_guard);
    EXPECT_NE(0u, guard);
    // The low byte (the first in memory) stops a runaway string copy.
    EXPECT_EQ(0u, guard & 0xFF);
}

}  // namespace
