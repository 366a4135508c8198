#pragma once

#include <string>

namespace testing_support {

// The message of the `Error` that `action` raises; "no error" when it raises
// none. Any other exception passes through and fails the test.
template <typename Error, typename Action>
std::string MessageOf(Action&& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace testing_support
