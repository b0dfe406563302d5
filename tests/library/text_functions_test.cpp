// The text functions on what a script cannot write: wide-string arguments,
// malformed Shift-JIS and results too large to build.
#include <gtest/gtest.h>

#include <new>

#include "engine/failure.h"
#include "library/library.h"

namespace tam {
namespace {

bool Invoke(const std::string& name, std::vector<Value> args, Value& result) {
  bool found = false;
  const bool ok = BuiltinFunction(name, Value::Array(std::move(args)), result, found);
  EXPECT_TRUE(found) << name;
  return ok;
}

TEST(TextFunctions, WideStringArguments) {
  Value r;
  // CODE accepts a wide string; INSTR reads a wide string first argument as
  // the two-argument form.
  ASSERT_TRUE(Invoke("CODE", {Value::OleStr("A")}, r));
  EXPECT_EQ(r.items()[0].i(), 65);
  ASSERT_TRUE(Invoke("INSTR", {Value::OleStr("xyz"), Value::Str("z"), Value::Int(99)}, r));
  EXPECT_EQ(r.items()[0].i(), 3);
  EXPECT_FALSE(Invoke("INSTRB", {Value::Dbl(1), Value::Str("abc"), Value::Str("c")}, r));
  // A bad CODE argument ends the call; earlier results stay.
  EXPECT_FALSE(Invoke("CODE", {Value::Str("a"), Value::Int(1), Value::Str("b")}, r));
  ASSERT_EQ(r.items().size(), 1u);
  EXPECT_EQ(r.items()[0].i(), 97);
}

TEST(TextFunctions, OversizedResultsAreRefused) {
  Value r;
  EXPECT_THROW(Invoke("STRINGREPEAT", {Value::Str("abcd"), Value::Int(2147483647)}, r), std::bad_alloc);
  EXPECT_THROW(Invoke("INTTOHEXN", {Value::Int(1), Value::Int(2147483647)}, r), std::bad_alloc);
  ASSERT_TRUE(Invoke("STRINGREPEAT", {Value::Str(""), Value::Int(2147483647)}, r));
  EXPECT_EQ(r.items()[0].str(), "");
}

// Every text function over texts that end in a lone lead byte, hold NUL bytes
// or pair a lead byte with a quote or backslash, at every start and count
// around the edges: results never reach outside the text (the sanitizer
// build watches the reads).
TEST(TextFunctions, MalformedTextStaysInBounds) {
  using namespace std::string_literals;
  const std::string texts[] = {""s,     "\x82"s,       "a\x82"s,        "\x82\""s,      "\x95\\\x82"s,
                               "a\0b"s, "\x82\0\x82"s, "\xfc\xfc\xfc"s, "\x81\x40\x81"s};
  const std::int32_t numbers[] = {-2147483647 - 1, -3, -1, 0, 1, 2, 3, 4, 2147483647};
  const char* twoTexts[] = {"POS", "POSB", "INSTR", "INSTRB", "LASTDELIMITER"};
  const char* textNumber[] = {"COPY", "COPYB", "LEFT", "LEFTB", "RIGHT", "RIGHTB", "MID", "MIDB"};
  const char* oneText[] = {"CODE", "CODEB", "LENGTH", "LENGTHB", "TRIM", "UPPERCASE", "QUOTEDSTR"};
  for (const std::string& s : texts) {
    Value r;
    for (const std::string& t : texts)
      for (const char* name : twoTexts) {
        ASSERT_TRUE(Invoke(name, {Value::Str(s), Value::Str(t)}, r));
        EXPECT_LE(r.items()[0].i(), static_cast<std::int32_t>(std::max(s.size(), t.size())));
      }
    for (std::int32_t n : numbers) {
      for (const char* name : textNumber) {
        try {
          ASSERT_TRUE(Invoke(name, {Value::Str(s), Value::Int(n), Value::Int(2)}, r));
          EXPECT_LE(r.items()[0].str().size(), s.size()) << name << " " << n;
        } catch (const VariantError&) {  // RIGHT with a start beyond the integers
          EXPECT_EQ(std::string(name), "RIGHT");
        }
      }
      ASSERT_TRUE(Invoke("INSTR", {Value::Int(n), Value::Str(s), Value::Str("\"")}, r));
      ASSERT_TRUE(Invoke("INSTRB", {Value::Int(n), Value::Str(s), Value::Str("\\")}, r));
    }
    for (const char* name : oneText) Invoke(name, {Value::Str(s)}, r);
  }
}

}  // namespace
}  // namespace tam
