// Test mails: files of tests/data/mail and mails made on the spot.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "mail/mail_state.h"
#include "mail/mail_text.h"
#include "mail/part_walk.h"

namespace tam {
namespace testing_mail {

// Under Wine the source tree is reached through drive Z:.
#ifdef _WIN32
constexpr const char* kSourceRoot = "Z:" TAM_SOURCE_DIR;
#else
constexpr const char* kSourceRoot = TAM_SOURCE_DIR;
#endif

inline std::string ReadMailFile(const std::string& name) {
  std::ifstream in(std::string(kSourceRoot) + "/tests/data/mail/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The referenced-mail members after walking text.
inline TMailState Walk(const std::string& text) {
  TMailState st;
  WalkMail(SplitMailText(text), st);
  return st;
}

inline TMailState WalkFile(const std::string& name) { return Walk(ReadMailFile(name)); }

}  // namespace testing_mail
}  // namespace tam
