#include "testhost/checked_call.h"

#include <vector>

#include "testhost/host.h"

#if defined(__i386__)

// tam_checked_stdcall(fn, args, count): pushes the arguments right to left,
// loads marker values into the registers the callee must keep, calls, and
// records in tam_call_breach which of them came back changed (1 EBX, 2 ESI,
// 4 EDI, 8 EBP, 16 ESP). The stack pointer before the arguments is kept on a
// small stack of its own, as calls nest (a menu command opens a send window,
// whose menu hook calls the plug-in again) and EBP itself may be lost.
extern "C" {
std::uint32_t tam_esp_stack[64];
std::uint32_t tam_esp_depth = 0;
std::uint32_t tam_call_breach = 0;
std::uint32_t tam_checked_stdcall(const void* fn, const std::uint32_t* args, std::uint32_t count);
}

asm(R"(
  .text
  .globl _tam_checked_stdcall
  .def _tam_checked_stdcall; .scl 2; .type 32; .endef
_tam_checked_stdcall:
  pushl %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 20(%esp), %eax
  movl 24(%esp), %edx
  movl 28(%esp), %ecx
  movl _tam_esp_depth, %ebx
  movl %esp, _tam_esp_stack(,%ebx,4)
  incl _tam_esp_depth
1:
  testl %ecx, %ecx
  jz 2f
  pushl -4(%edx,%ecx,4)
  decl %ecx
  jmp 1b
2:
  movl $0x1badb0b1, %ebx
  movl $0x2badb0b2, %esi
  movl $0x3badb0b3, %edi
  movl $0x4badb0b4, %ebp
  call *%eax
  xorl %ecx, %ecx
  cmpl $0x1badb0b1, %ebx
  je 3f
  orl $1, %ecx
3:
  cmpl $0x2badb0b2, %esi
  je 4f
  orl $2, %ecx
4:
  cmpl $0x3badb0b3, %edi
  je 5f
  orl $4, %ecx
5:
  cmpl $0x4badb0b4, %ebp
  je 6f
  orl $8, %ecx
6:
  decl _tam_esp_depth
  movl _tam_esp_depth, %edx
  movl _tam_esp_stack(,%edx,4), %edx
  cmpl %edx, %esp
  je 7f
  orl $16, %ecx
  movl %edx, %esp
7:
  movl %ecx, _tam_call_breach
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

namespace almail {

std::uintptr_t CheckedCall(const void* fn, std::initializer_list<std::uintptr_t> args, const std::string& what) {
  if (tam_esp_depth >= 64) {
    Fault("! calls into the plug-in nest too deep: " + what);
    return 0;
  }
  std::vector<std::uint32_t> list(args);
  const std::uint32_t result = tam_checked_stdcall(fn, list.data(), static_cast<std::uint32_t>(list.size()));
  const std::uint32_t breach = tam_call_breach;
  if (breach != 0) {
    std::string lost;
    const char* names[] = {"EBX", "ESI", "EDI", "EBP", "ESP"};
    for (int i = 0; i < 5; ++i)
      if (breach & (1u << i)) lost += std::string(lost.empty() ? "" : " ") + names[i];
    Fault("! " + what + " breaks the standard calling convention: " + lost + " not kept");
  }
  return result;
}

}  // namespace almail

#else

namespace almail {

std::uintptr_t CheckedCall(const void* fn, std::initializer_list<std::uintptr_t> args, const std::string& what) {
  using W = std::uintptr_t;
  const W* a = args.begin();
  switch (args.size()) {
    case 0:
      return reinterpret_cast<W (*)()>(fn)();
    case 1:
      return reinterpret_cast<W (*)(W)>(fn)(a[0]);
    case 2:
      return reinterpret_cast<W (*)(W, W)>(fn)(a[0], a[1]);
    case 3:
      return reinterpret_cast<W (*)(W, W, W)>(fn)(a[0], a[1], a[2]);
    default:
      Fault("! " + what + " has too many arguments for the call guard");
      return 0;
  }
}

}  // namespace almail

#endif
