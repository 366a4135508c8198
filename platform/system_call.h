#pragma once
// The one place where a system call that a signal interrupted (EINTR) is made
// again.

#include <cerrno>
#include <concepts>

namespace platform {

// Calls `call` again for as long as it fails (-1) with EINTR, and returns the
// first other result, errno as that call left it. A call with a timeout must
// compute the time left inside `call`, so that a retry does not wait afresh;
// close() must never come here (Linux frees the descriptor even then).
template <std::invocable Call>
auto RetryOnInterrupt(Call&& call) {
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

}  // namespace platform
