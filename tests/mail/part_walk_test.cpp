// The MIME walk on real-world mails and on small mails that pin down its
// rules: header/body split, nesting, boundaries, attachments.
#include <gtest/gtest.h>

#include "mail_files.h"

namespace tam {
namespace {

using testing_mail::Walk;
using testing_mail::WalkFile;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(PartWalkCorpus, NestedContainersQuotedBoundariesInlineImages) {
  // mixed > related > alternative; the images are attached by disposition,
  // the text/plain attachment counts as plain text and joins the body.
  TMailState m = WalkFile("m0008");
  EXPECT_EQ(m.RefHeader.size(), 11u);
  EXPECT_EQ(m.RefHeader[0], "Return-Path: <name@company.com>");
  EXPECT_EQ(m.RefHeader[10], "Date: Sat, 30 Apr 2005 19:28:29 -0300");
  ASSERT_EQ(m.RefBody.size(), 3u + 41u);
  EXPECT_EQ(m.RefBody[0], "This is an HTML message. Please use an HTML capable mail program to read");
  EXPECT_EQ(m.RefBody[1], "this message.");
  EXPECT_EQ(m.RefBody[2], "");
  EXPECT_EQ(m.RefBody[3], "TG9yZW0gaXBzdW0gZG9sb3Igc2l0IGFtZXQsIGNvbnNlY3RldHVyIGFkaXBpc2NpbmcgZWxpdC4g");
  EXPECT_EQ(m.RefBody[42], "aXBpdC4K");
  EXPECT_EQ(m.RefBody[43], "");
  EXPECT_EQ(m.AttachedFiles, (Lines{"logo.jpg", "background.jpg"}));
  EXPECT_TRUE(m.HtmlPart);
}

TEST(PartWalkCorpus, ForwardedMessageIsNotLookedInto) {
  // The message/rfc822 part holds a multipart with its own text/plain part;
  // only the outer plain part is kept. Boundaries sit on continuation lines.
  TMailState m = WalkFile("issue158d");
  EXPECT_EQ(m.RefHeader.size(), 13u);
  EXPECT_EQ(m.RefBody,
            (Lines{"This is the forward email send both emails will have both text and html variances available", ""}));
  EXPECT_TRUE(m.AttachedFiles.empty());
  EXPECT_TRUE(m.HtmlPart);
}

TEST(PartWalkCorpus, UnquotedBoundariesAndAttachments) {
  // The disposition's file name wins over the type's name parameter; a plain
  // part of empty lines only leaves one empty line.
  TMailState m = WalkFile("issue133");
  EXPECT_EQ(m.RefBody, (Lines{""}));
  EXPECT_EQ(m.AttachedFiles, (Lines{"attach/01"}));
  EXPECT_TRUE(m.HtmlPart);

  TMailState byName = WalkFile("m0007");  // no disposition: the name parameter
  EXPECT_EQ(byName.AttachedFiles, (Lines{"attach02"}));
}

TEST(PartWalkCorpus, FoldedHeadersAndEncodedNames) {
  // The file name runs over continuation lines and stays encoded.
  TMailState m = WalkFile("m0013");
  EXPECT_EQ(m.AttachedFiles,
            (Lines{"=?iso-8859-1?Q?50032266_CAR_11=5FMNPA00A01=5F9PTX=5FH00_ATT_N=B0_1467829.?==?iso-8859-1?Q?pdf?="}));
  EXPECT_EQ(m.RefBody.front(), "M. DUPONT Paul");
  EXPECT_FALSE(m.HtmlPart);

  TMailState report = WalkFile("failure.eml");  // multipart/report > alternative
  EXPECT_EQ(report.RefHeader.size(), 4u);
  ASSERT_FALSE(report.RefBody.empty());
  EXPECT_EQ(report.RefBody.front(), "=B4=CE=A4=CE=CA=DC=D0=C5=D5=DF=A4=DE=A4=BF=A4=CF=A5=B0=A5=EB=A9`=A5=D7=A4=");
}

TEST(PartWalkCorpus, MailWithoutEmptyLineIsAllHeader) {
  TMailState m = WalkFile("m0027");
  EXPECT_EQ(m.RefHeader.size(), 7u);
  EXPECT_EQ(m.RefHeader[4], " name=\"1234/../../1234.txt\"");
  EXPECT_TRUE(m.RefBody.empty());
  EXPECT_TRUE(m.AttachedFiles.empty());
}

TEST(PartWalkRules, HeaderBodySplit) {
  // Empty lines between header and body go; later ones stay; a line of
  // blanks is no separator.
  TMailState m = Walk("Subject: a\r\n \r\nX: y\r\n\r\n\r\n\r\nfirst\r\n\r\nlast\r\n\r\n");
  EXPECT_EQ(m.RefHeader, (Lines{"Subject: a", " ", "X: y"}));
  EXPECT_EQ(m.RefBody, (Lines{"first", "", "last", ""}));

  TMailState headerless = Walk("\r\nbody\r\n");  // no header: nothing is walked
  EXPECT_TRUE(headerless.RefHeader.empty());
  EXPECT_TRUE(headerless.RefBody.empty());

  TMailState untyped = Walk("From: a@b\nContent-Transfer-Encoding: 7bit\n\nhello\n");
  EXPECT_EQ(untyped.RefBody, (Lines{"hello"}));

  TMailState html = Walk("Content-Type: TEXT/HTML; charset=x\n\n<p>\n");
  EXPECT_TRUE(html.HtmlPart);
  EXPECT_TRUE(html.RefBody.empty());

  TMailState plainWithCharset = Walk("Content-Type: text/plain; charset=\"iso-2022-jp\"\n\nhello\n");
  EXPECT_EQ(plainWithCharset.RefBody, (Lines{"hello"}));
}

// The mail read in place is cut into lines as the line list cuts it.
TEST(PartWalkRules, LineBreaksReadInPlace) {
  for (const std::string& text :
       {""s, "a"s, "\n"s, "\r"s, "a\r\n"s, "a\rb"s, "a\n\rb"s, "\r\r\n\n"s, "a\r"s, "x\0y\r\nz\r\n\r"s, "\r\n\r\n"s}) {
    std::vector<std::string> views;
    for (std::string_view v : SplitTextLineViews(text)) views.emplace_back(v);
    EXPECT_EQ(views, SplitTextLines(text)) << text;
  }
  EXPECT_EQ(Walk("Subject: a\r\rone\ntwo\r\n\rthree\r").RefBody, (Lines{"one", "two", "", "three"}));
}

TEST(PartWalkRules, Boundaries) {
  // A part needs a header of its own: one that starts with its empty line is
  // skipped.
  EXPECT_TRUE(Walk("Content-Type: multipart/mixed; boundary=abc\n\n--abc\n\none\n").RefBody.empty());

  const std::string parts = "\n--abc\nContent-Type: text/plain\n\none\n--abc\nX: 1\n\ntwo\n--abc--\n";
  const Lines both{"one", "two"};
  EXPECT_EQ(Walk("Content-Type: multipart/mixed; boundary=\"abc\"\n" + parts).RefBody, both);
  EXPECT_EQ(Walk("Content-Type: multipart/mixed; boundary=abc\n" + parts).RefBody, both);
  EXPECT_EQ(Walk("Content-Type: multipart/mixed; BOUNDARY = abc\n" + parts).RefBody, both);
  EXPECT_EQ(Walk("Content-Type: multipart/mixed;\n boundary=\"abc\"\n" + parts).RefBody, both);

  // The first delimiter may differ in case; later ones must match exactly.
  TMailState m = Walk(
      "Content-Type: multipart/mixed; boundary=abc\n\npreamble\n--ABC\nX: 1\n\none\n--ABC\n\ntwo\n--abc\nX: 3\n\n"
      "three\n--abc--\n\nepilogue\n--abc\nX: 4\n\nfour\n");
  EXPECT_EQ(m.RefBody, (Lines{"one", "--ABC", "", "two", "three"}));

  // No delimiter at all: nothing of the container is kept.
  EXPECT_TRUE(Walk("Content-Type: multipart/mixed; boundary=abc\n\none\n--abd\nX: 1\n\ntwo\n").RefBody.empty());

  // Without a closing delimiter the last part still counts.
  EXPECT_EQ(Walk("Content-Type: multipart/mixed; boundary=abc\n\n--abc\nX: 1\n\none\n").RefBody, (Lines{"one"}));

  // multipart without a boundary parameter is no container.
  TMailState noBoundary = Walk("Content-Type: multipart/mixed\n\n--abc\nX: 1\n\none\n");
  EXPECT_TRUE(noBoundary.RefBody.empty());
  EXPECT_TRUE(noBoundary.AttachedFiles.empty());
}

TEST(PartWalkRules, NestedContainersEndAtTheOuterDelimiter) {
  // The inner container has no closing delimiter; the outer delimiter ends
  // it, and a line equal to both delimiters belongs to the outer one.
  TMailState m = Walk(
      "Content-Type: multipart/mixed; boundary=out\n\n"
      "--out\nContent-Type: multipart/alternative; boundary=in\n\n"
      "--in\nX: 1\n\none\n--in\nContent-Type: text/html\n\n<p>\n"
      "--out\nContent-Type: multipart/mixed; boundary=out\n\n--OUT\nX: 2\n\ntwo\n--out\nX: 3\n\nthree\n--out--\n"
      "X: 4\n\nfour\n");
  EXPECT_EQ(m.RefBody, (Lines{"one", "two", "three"}));
  EXPECT_TRUE(m.HtmlPart);
}

TEST(PartWalkRules, AttachmentNames) {
  auto names = [](const std::string& headers) { return Walk(headers + "\n\ndata\n").AttachedFiles; };
  EXPECT_EQ(names("Content-Type: application/pdf\nContent-Disposition: attachment; filename=\"my file.pdf\""),
            (Lines{"my file.pdf"}));
  EXPECT_EQ(names("Content-Type: application/octet-stream; name=\"a b.bin\""), (Lines{"a b.bin"}));
  EXPECT_EQ(names("Content-Type: image/png\nContent-Disposition: attachment; FileName=x.png; size=3"),
            (Lines{"x.png; size=3"}));
  EXPECT_EQ(names("Content-Type: application/pdf\nContent-Disposition: attachment; filename=\"open"), (Lines{"open"}));
  EXPECT_TRUE(names("Content-Type: application/pdf\nContent-Disposition: attachment").empty());
}

}  // namespace
}  // namespace tam
