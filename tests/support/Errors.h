// Checking the run-time error an operation raises.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <qor/RuntimeError.h>

namespace qor::test {

// Runs `fn` and checks that it throws qor::RuntimeError with error number `number`.
// Returns the error's description ("" when none was thrown) for further checks.
template <typename Fn>
std::string ExpectRuntimeError(int32_t number, Fn&& fn) {
    try {
        std::forward<Fn>(fn)();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), number) << e.what();
        return e.Description();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "expected RuntimeError " << number << ", got another exception: " << e.what();
        return {};
    }
    ADD_FAILURE() << "expected RuntimeError " << number << ", nothing was thrown";
    return {};
}

}  // namespace qor::test
