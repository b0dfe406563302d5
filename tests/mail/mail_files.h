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

// The referenced-mail members after walking text. The walk over the text in
// place, copying the body or leaving it where it is, must give what the walk
// over its lines gives.
inline TMailState Walk(const std::string& text) {
  const LineList lines = SplitTextLines(text);
  std::vector<std::string> views;
  for (std::string_view v : SplitTextLineViews(text)) views.emplace_back(v);
  EXPECT_EQ(views, lines);
  TMailState byLines, inPlace, borrowing;
  WalkMail(lines, byLines);
  WalkMailText(text, inPlace);
  WalkMailText(text, borrowing, true);
  for (const TMailState* m : {&inPlace, &borrowing}) {
    EXPECT_EQ(m->RefHeader, byLines.RefHeader);
    EXPECT_EQ(m->RefBody, byLines.RefBody);
    EXPECT_EQ(m->AttachedFiles, byLines.AttachedFiles);
    EXPECT_EQ(m->HtmlPart, byLines.HtmlPart);
  }
  EXPECT_FALSE(inPlace.RefBody.Borrowed());
  return inPlace;
}

inline TMailState WalkFile(const std::string& name) { return Walk(ReadMailFile(name)); }

}  // namespace testing_mail
}  // namespace tam
