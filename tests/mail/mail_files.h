// Test mails: files of tests/data/mail and mails made on the spot.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/text_lines.h"
#include "mail/mail_state.h"
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

// The referenced-mail members after walking text. The walk that moves the
// body lines out of the list must give what the copying walk gives.
inline TMailState Walk(const std::string& text) {
  const LineList lines = SplitTextLines(text);
  TMailState copied, moved;
  WalkMail(lines, copied);
  WalkMail(LineList(lines), moved);
  EXPECT_EQ(moved.RefHeader, copied.RefHeader);
  EXPECT_EQ(moved.RefBody, copied.RefBody);
  EXPECT_EQ(moved.AttachedFiles, copied.AttachedFiles);
  EXPECT_EQ(moved.HtmlPart, copied.HtmlPart);
  return moved;
}

inline TMailState WalkFile(const std::string& name) { return Walk(ReadMailFile(name)); }

}  // namespace testing_mail
}  // namespace tam
