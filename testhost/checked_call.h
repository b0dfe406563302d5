// Calls into the plug-in through a guard that checks the standard calling
// convention: the callee must remove its own arguments and keep EBX, ESI,
// EDI and EBP. A breach is reported instead of corrupting the host.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace almail {

// Calls fn with the 32-bit arguments; returns EAX. `what` names the call in
// the report of a breach.
std::uint32_t CheckedCall(const void* fn, std::initializer_list<std::uint32_t> args, const std::string& what);

}  // namespace almail
