#include "engine/limits.h"

#include <cstdint>

namespace tam {

namespace {
thread_local std::uintptr_t g_stackBase = 0;

// The real frame address (locals may live elsewhere under sanitizers).
std::uintptr_t Here() { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)); }
}  // namespace

StackGuard::StackGuard() : outermost_(g_stackBase == 0) {
  if (outermost_) g_stackBase = Here();
}

StackGuard::~StackGuard() {
  if (outermost_) g_stackBase = 0;
}

void CheckStack() {
  if (g_stackBase == 0) return;
  const std::uintptr_t here = Here();
  const std::uintptr_t used = g_stackBase > here ? g_stackBase - here : here - g_stackBase;
  if (used > kStackBudget) throw NestingTooDeep();
}

}  // namespace tam
