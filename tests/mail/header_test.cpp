// Header rules on line lists, and mails as text.
#include "mail/header.h"

#include <gtest/gtest.h>

#include "mail/mail_text.h"

namespace tam {
namespace {

using Lines = std::vector<std::string>;

TEST(Header, RemovalTakesContinuationLines) {
  Lines h{"Received: a", " a1",          "\ta2",        "To: x", "received: b", "\tb1",
          " b2",         "Received : c", "RECEIVED: d", " d1",   " d2"};
  RemoveHeader(h, HeaderKey("Received"));
  EXPECT_EQ(h, (Lines{"To: x", "Received : c"}));
  RemoveHeader(h, HeaderKey("received"));
  EXPECT_EQ(h.size(), 2u);
}

TEST(Header, LookupAndOccurrence) {
  const Lines h{"X-Mailer: m", "Subject:  \tHello ", " world", "\tagain", "", " not this", "Subject: second"};
  EXPECT_EQ(LookupHeaderValue(h, "MAILER:"), "");
  EXPECT_EQ(LookupHeaderValue(h, "SUBJECT:"), "Helloworldagain");
  EXPECT_EQ(HeaderValueOf(h, "SUBJECT:", 0), "\tHello worldagain");  // only spaces go
  EXPECT_EQ(HeaderValueOf(h, "SUBJECT:", 1), "second");
  EXPECT_EQ(HeaderValueOf(h, "SUBJECT:", 2), "");
  EXPECT_EQ(HeaderKey("  subject "), "SUBJECT:");
  EXPECT_EQ(HeaderKey("Subject::"), "SUBJECT::");
}

TEST(MailText, StoredReply) {
  EXPECT_EQ(StoredReply({"To: x"}, Lines{"b"}), (Lines{"To: x", "", "b"}));
  EXPECT_EQ(StoredReply({"To: x", ""}, Lines{"b"}), (Lines{"To: x", "", "b"}));
  EXPECT_EQ(StoredReply({}, Lines{"b"}), (Lines{"b"}));
  EXPECT_EQ(StoredReply({"To: x"}, LineStore{"b", ""}), (Lines{"To: x", "", "b", ""}));
}

}  // namespace
}  // namespace tam
