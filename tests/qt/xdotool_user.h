// The user of the Qt backend's tests: xdotool, which types and clicks through XTest on the
// tests' own X server.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kel::qt {

inline void user(const std::string& xdotoolArgs) {
  ASSERT_EQ(std::system(("xdotool " + xdotoolArgs).c_str()), 0) << xdotoolArgs;
}

}  // namespace kel::qt
