// Warnings about reply programs that parse but almost certainly do not do
// what their author meant: a loop that the pass limit cuts short, a
// condition that can never be true, a name read before anything assigns it.
// Each warning is certain from the program text alone; where the text leaves
// room for doubt, no warning is given.
#pragma once

#include <string>
#include <vector>

namespace tam {
struct Program;
}

namespace tam::cli {

struct ProgramWarning {
  int line = 0;      // counted from 1
  std::string text;  // Shift-JIS: what is wrong and how to write it instead
};

// The warnings of a program that parsed without an error, in line order.
std::vector<ProgramWarning> ProgramWarnings(const Program& program);

}  // namespace tam::cli
