// The command code registered with every reply menu item: debug * 10000 +
// (option index + 1) * 100 + program index, the option index being -1 for
// an item without option.
#pragma once

namespace tam {

struct CommandCode {
  bool debug = false;
  int option = -1;  // index of the option line, -1 for none
  int program = 0;
};

inline int EncodeCommand(const CommandCode& c) { return (c.debug ? 10000 : 0) + (c.option + 1) * 100 + c.program; }

inline CommandCode DecodeCommand(int code) {
  CommandCode c;
  c.debug = code >= 10000;
  int rest = code % 10000;
  c.option = rest / 100 - 1;
  c.program = rest % 100;
  return c;
}

}  // namespace tam
