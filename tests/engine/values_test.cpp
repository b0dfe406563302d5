// The value model, its conversions and the variable set.
#include <gtest/gtest.h>

#include "engine/failure.h"
#include "engine/operators.h"
#include "engine/value.h"
#include "engine/variables.h"

namespace tam {
namespace {

TEST(Values, AppendingRule) {
  Value v;
  v.append(Value::Int(1));
  ASSERT_TRUE(v.isArray());
  EXPECT_EQ(v.items().size(), 1u);
  Value s = Value::Int(1);
  s.append(Value::Int(2));
  EXPECT_EQ(s.items().size(), 2u);
  EXPECT_EQ(s.type(), vtArray);
  EXPECT_STREQ(TypeName(s.type()), "Variant");
  EXPECT_STREQ(TypeName(13), "Unknown");
}

// Texts are shared between copies and items are not; each must outlive what
// it came from, including when a value is assigned a part of itself.
TEST(Values, TextsAndItemsOutliveTheirSources) {
  std::string big(3u << 20, 'x');
  for (std::size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>(i % 251);
  Value copy;
  {
    Value original = Value::Str(big);
    copy = original;
    Value second(original);
    original.SetInt(1);
    EXPECT_EQ(second.str(), big);
  }
  ASSERT_EQ(copy.str(), big);
  EXPECT_EQ(copy.str().data()[big.size()], '\0');
  Value& alias = copy;
  copy = alias;
  EXPECT_EQ(copy.str(), big);
  copy = std::move(alias);
  EXPECT_EQ(copy.str(), big);

  const std::string zero("a\0b", 3);
  EXPECT_EQ(Value::Str(zero).str(), zero);
  const Value empty = Value::Str("");
  EXPECT_EQ(empty.type(), vtString);
  EXPECT_STREQ(empty.str().data(), "");
  EXPECT_EQ(Combine(Op::kJoin, empty, Value::Str(std::string())).type(), vtString);
  EXPECT_EQ(Combine(Op::kJoin, Value::Str("ab"), empty).str(), "ab");
  EXPECT_EQ(Value::Int(5).str(), "");

  Value list = Value::Array();
  for (int i = 0; i < 100; ++i) list.append(Value::Str(std::string(20 + i, static_cast<char>('a' + i % 26))));
  Value moved = std::move(list);
  Value other = moved;
  other.items()[0] = Value::Int(7);
  other.items()[1] = other.items()[2];
  EXPECT_EQ(moved.items()[0].str(), std::string(20, 'a'));
  EXPECT_EQ(other.items()[1].str(), std::string(22, 'c'));
  Value nested = Value::Array({moved, Value::Str("tail")});
  nested = nested.items()[0];
  ASSERT_EQ(nested.items().size(), 100u);
  nested = std::move(nested.items()[99]);
  EXPECT_EQ(nested.str(), std::string(119, static_cast<char>('a' + 99 % 26)));
  other = std::move(other.items()[1]);
  EXPECT_EQ(other.str(), std::string(22, 'c'));
}

TEST(Values, TextOfNumbers) {
  EXPECT_EQ(ToText(Value::Dbl(2.5)), "2.5");
  EXPECT_EQ(ToText(Value::Dbl(1e20)), "1E+20");
  EXPECT_EQ(ToText(Value::Dbl(1e-5)), "1E-05");
  EXPECT_EQ(ToText(Value::Dbl(0.1)), "0.1");
  EXPECT_EQ(ToText(Value::Bool(true)), "-1");
  EXPECT_EQ(ToText(Value::Cur(12345)), "1.2345");
  EXPECT_EQ(ToText(Value::Cur(-20000)), "-2");
  EXPECT_EQ(ToText(Value::DateVal(0.5)), "12:00:00");
  // A date follows the regional settings (see date_text_test.cpp).
  EXPECT_EQ(ToText(Value::DateVal(46363)), FormatDate(46363));
}

TEST(Values, NumbersFromText) {
  EXPECT_EQ(ToDouble(Value::Str(" 2.5 ")), 2.5);
  EXPECT_EQ(ToInteger(Value::Str("1,000")), 1000);
  EXPECT_EQ(ToInteger(Value::Str("&H10")), 16);
  EXPECT_EQ(ToDouble(Value::Str("1e3")), 1000);
  EXPECT_EQ(ToInteger(Value::Str("2.5")), 2);  // ties to even
  EXPECT_EQ(ToInteger(Value::Dbl(3.5)), 4);
  EXPECT_THROW(ToInteger(Value::Str("abc")), VariantError);
  EXPECT_THROW(ToInteger(Value::Str("")), VariantError);
  EXPECT_THROW(ToInteger(Value::Dbl(3e9)), VariantError);
  EXPECT_TRUE(ToBoolean(Value::Str("True")));
  EXPECT_FALSE(ToBoolean(Value::Str("false")));
  EXPECT_THROW(ToBoolean(Value::Str("abc")), VariantError);
  // The words in any letter case, their marked forms only as written here.
  EXPECT_TRUE(ToBoolean(Value::Str("tRuE")));
  EXPECT_TRUE(ToBoolean(Value::Str("#TRUE#")));
  EXPECT_FALSE(ToBoolean(Value::Str("#FALSE#")));
  EXPECT_THROW(ToBoolean(Value::Str("#true#")), VariantError);
  EXPECT_THROW(ToBoolean(Value::Str("#False#")), VariantError);
  EXPECT_THROW(ToText(Value::Null()), VariantError);
}

TEST(Operators, FaultsPassOnAndCategoriesFail) {
  EXPECT_THROW(Combine(Op::kIntDiv, Value::Int(1), Value::Int(0)), EngineFault);
  EXPECT_THROW(Combine(Op::kDiv, Value::Dbl(1), Value::Int(0)), EngineFault);
  EXPECT_THROW(Combine(Op::kDiv, Value::Int(0), Value::Int(0)), InvalidOp);
  EXPECT_THROW(Combine(Op::kPow, Value::Int(0), Value::Int(2)), EngineFault);
  EXPECT_THROW(Combine(Op::kMul, Value::Dbl(1e308), Value::Int(10)), EngineFault);
  Value r;
  EXPECT_FALSE(ApplyOperator(Op::kPow, Value::Int(-2), Value::Dbl(0.5), r));
  EXPECT_EQ(Combine(Op::kMod, Value::Int(-2147483647 - 1), Value::Int(-1)).i(), 0);
  EXPECT_EQ(Combine(Op::kMul, Value::Int(65536), Value::Int(65536)).type(), vtDouble);
  // Arrays combine element by element; extra elements are dropped.
  ASSERT_TRUE(ApplyOperator(Op::kAdd, Value::Array({Value::Int(1), Value::Int(2), Value::Int(3)}),
                            Value::Array({Value::Int(10), Value::Int(20)}), r));
  ASSERT_EQ(r.items().size(), 2u);
  EXPECT_EQ(r.items()[1].i(), 22);
  // Null sorts below everything.
  EXPECT_EQ(CompareValues(Value::Null(), Value::Int(-5)), -1);
  EXPECT_EQ(CompareValues(Value::Null(), Value::Null()), 0);
  EXPECT_EQ(CompareValues(Value(), Value::Str("")), 0);
}

// Like pairs of Integers, Doubles and Strings give exactly what the general
// pair rules give for the same numbers held in other kinds.
TEST(Operators, LikePairsFollowTheGeneralRules) {
  const Op ops[] = {Op::kNe,  Op::kLe,     Op::kGe,  Op::kLt,  Op::kEq,  Op::kGt,  Op::kAdd,
                    Op::kSub, Op::kJoin,   Op::kMul, Op::kDiv, Op::kMod, Op::kAnd, Op::kOr,
                    Op::kXor, Op::kIntDiv, Op::kPow, Op::kNor, Op::kNand};
  auto outcome = [](Op op, const Value& l, const Value& r) {
    try {
      return DisplayText(Combine(op, l, r)) + "/" + TypeName(Combine(op, l, r).type());
    } catch (const EngineFault&) {
      return std::string("fault");
    } catch (const ScriptFailure&) {
      return std::string("failure");
    }
  };
  const int small[] = {-32768, -7, -1, 0, 1, 3, 32767};
  for (Op op : ops)
    for (int a : small)
      for (int b : small) {
        SCOPED_TRACE(std::to_string(static_cast<int>(op)) + " " + std::to_string(a) + " " + std::to_string(b));
        EXPECT_EQ(outcome(op, Value::Int(a), Value::Int(b)), outcome(op, Value::Small(a), Value::Int(b)));
        EXPECT_EQ(outcome(op, Value::Dbl(a / 4.0), Value::Dbl(b)), outcome(op, Value::Sgl(a / 4.0f), Value::Dbl(b)));
      }
  // At the 32-bit edges Integers go on as Doubles; a Double that overflows
  // is a fault.
  const std::int32_t top = 2147483647, bottom = -2147483647 - 1;
  EXPECT_EQ(outcome(Op::kAdd, Value::Int(top), Value::Int(1)), "2147483648/Double");
  EXPECT_EQ(outcome(Op::kSub, Value::Int(bottom), Value::Int(1)), "-2147483649/Double");
  EXPECT_EQ(outcome(Op::kMul, Value::Int(bottom), Value::Int(-1)), "2147483648/Double");
  EXPECT_EQ(outcome(Op::kIntDiv, Value::Int(bottom), Value::Int(-1)), "2147483648/Double");
  EXPECT_EQ(outcome(Op::kMod, Value::Int(-7), Value::Int(2)), "-1/Integer");
  EXPECT_EQ(outcome(Op::kMod, Value::Int(7), Value::Int(0)), "fault");
  EXPECT_EQ(outcome(Op::kAdd, Value::Dbl(1.7e308), Value::Dbl(1.7e308)), "fault");
  EXPECT_EQ(outcome(Op::kLt, Value::Int(bottom), Value::Int(top)), "-1/Boolean");
  EXPECT_EQ(CompareValues(Value::Dbl(-0.0), Value::Dbl(0.0)), 0);
  // Texts join, and compare by their bytes.
  EXPECT_EQ(outcome(Op::kAdd, Value::Str("ab"), Value::Str("c")), "abc/String");
  EXPECT_EQ(outcome(Op::kLt, Value::Str("B"), Value::Str("a")), "-1/Boolean");
  EXPECT_EQ(outcome(Op::kGt, Value::Str("\x82\xa0"), Value::Str("z")), "-1/Boolean");
  EXPECT_EQ(outcome(Op::kSub, Value::Str("5"), Value::Str("2")), "3/Double");
  EXPECT_EQ(outcome(Op::kEq, Value::Str(""), Value()), "-1/Boolean");

  // Two Integers that ApplyOperator works out itself give what the rules give.
  const std::int32_t edges[] = {bottom, bottom + 1, -65536, -46341, -1, 0, 1, 2, 46341, 65536, top - 1, top};
  for (Op op : ops)
    for (std::int32_t a : edges)
      for (std::int32_t b : edges) {
        SCOPED_TRACE(std::to_string(static_cast<int>(op)) + " " + std::to_string(a) + " " + std::to_string(b));
        Value direct = Value::Str("before");
        std::string got;
        try {
          got = ApplyOperator(op, Value::Int(a), Value::Int(b), direct)
                    ? DisplayText(direct) + "/" + TypeName(direct.type())
                    : "failure";
        } catch (const EngineFault&) {
          got = "fault";
        }
        EXPECT_EQ(got, outcome(op, Value::Int(a), Value::Int(b)));
      }
}

TEST(VariableSet, NamesKeysAndRefusals) {
  TVariableSet set;
  std::vector<std::string> errors, changes;
  set.OnError = [&](TVariableSet&, const std::string& m) { errors.push_back(m); };
  set.OnChange = [&](TVariableSet&, const std::string& n, const Value&) { changes.push_back(n); };
  set.SetValue("abc", Value::Int(1));
  set.SetValue("ABC", Value::Int(2));
  EXPECT_EQ(set.Count(), 1);
  EXPECT_EQ(set.GetName(0), "abc");
  EXPECT_EQ(set.GetValue("Abc").i(), 2);
  set.SetValue("OptionCount", Value::Int(3));
  set.SetReadOnly("OptionCount", true);
  set.SetValue("optioncount", Value::Int(4));
  set.SetReadOnly("missing", true);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "OptionCount is read-only.");
  EXPECT_EQ(errors[1], "missing is not exist.");
  EXPECT_EQ(changes.size(), 3u);
  EXPECT_EQ(set.GetValue("nothing").type(), vtInteger);
  EXPECT_EQ(set.GetVarType(9), 13);
  EXPECT_EQ(set.GetTypeName(9), "Unknown");
  set.Delete(0);
  EXPECT_EQ(set.GetName(0), "OptionCount");
  EXPECT_TRUE(set.Exists("OPTIONCOUNT"));
  EXPECT_FALSE(set.Exists("abc"));
  bool dropped = false;
  set.OnBeforeSet = [&](TVariableSet&, const std::string&, bool& handled, Value&) { handled = dropped = true; };
  set.SetValue("new", Value::Int(1));
  EXPECT_TRUE(dropped);
  EXPECT_FALSE(set.Exists("new"));
}

}  // namespace
}  // namespace tam
