// Calls into the plug-in through a guard that checks the standard calling
// convention: the callee must remove its own arguments and keep EBX, ESI,
// EDI and EBP. A breach is reported instead of corrupting the host.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace almail {

// Calls fn with the word-sized arguments; returns EAX (RAX). `what` names
// the call in the report of a breach. A 64-bit build (the tests' build where
// no 32-bit program runs) has one calling convention and checks nothing.
std::uintptr_t CheckedCall(const void* fn, std::initializer_list<std::uintptr_t> args, const std::string& what);

}  // namespace almail
