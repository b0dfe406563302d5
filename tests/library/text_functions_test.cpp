// The text functions on what a script cannot write: wide-string arguments,
// malformed Shift-JIS and results too large to build.
#include <gtest/gtest.h>

#include <new>
#include <random>

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

// The byte searches over long texts of few distinct bytes, where every
// position nearly matches: the same answers as a plain search, in time
// linear in the texts.
TEST(TextFunctions, LongSearchesStayLinear) {
  Value r;
  std::mt19937 gen(7);
  for (int trial = 0; trial < 2000; ++trial) {
    std::string s, sub;
    const std::size_t subSize = 65 + gen() % 60, size = gen() % 400;
    for (std::size_t i = 0; i < subSize; ++i) sub += "ab"[gen() % 5 == 0];
    for (std::size_t i = 0; i < size; ++i) s += "ab"[gen() % 5 == 0];
    if (trial % 3 == 0) s.insert(std::min<std::size_t>(gen() % (size + 1), s.size()), sub);
    const std::size_t at = s.find(sub);
    const std::int32_t want = at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1);
    ASSERT_TRUE(Invoke("POSB", {Value::Str(sub), Value::Str(s)}, r));
    ASSERT_EQ(r.items()[0].i(), want) << sub << " in " << s;
    ASSERT_TRUE(Invoke("INSTRB", {Value::Int(2), Value::Str(s), Value::Str(sub)}, r));
    const std::size_t from2 = s.empty() ? std::string::npos : s.find(sub, 1);
    ASSERT_EQ(r.items()[0].i(), from2 == std::string::npos ? 0 : static_cast<std::int32_t>(from2 + 1));
  }

  // A quadratic search would take minutes here (the test's time-out catches it).
  const std::string many(8u << 20, 'a');
  ASSERT_TRUE(Invoke("POSB", {Value::Str(std::string(1u << 20, 'a') + "b"), Value::Str(many)}, r));
  EXPECT_EQ(r.items()[0].i(), 0);
  ASSERT_TRUE(Invoke("POSB", {Value::Str(std::string(1u << 20, 'a') + "b"), Value::Str(many + "b")}, r));
  EXPECT_EQ(r.items()[0].i(), (8 << 20) - (1 << 20) + 1);
  // A long list of delimiters is no slower than a short one.
  ASSERT_TRUE(Invoke("LASTDELIMITER", {Value::Str(std::string(4u << 20, 'b') + "a"), Value::Str(many)}, r));
  EXPECT_EQ(r.items()[0].i(), 8 << 20);
  ASSERT_TRUE(Invoke("LASTDELIMITER", {Value::Str(std::string(4u << 20, 'b')), Value::Str(many)}, r));
  EXPECT_EQ(r.items()[0].i(), 0);
}

}  // namespace
}  // namespace tam
