// The aggregates: MAX, MIN, SUM and MEAN combine all their arguments with the
// script's own comparison and addition rules.
#include "engine/failure.h"
#include "engine/operators.h"
#include "library/number.h"

namespace tam {

namespace {

// A non-array argument value is passed back unchanged; false otherwise.
bool PassThrough(const Args& args, Value& result) {
  if (args.isArray() && !args.items().empty()) return false;
  result.append(args.ToValue());
  return true;
}

template <int kSign>  // 1 keeps the greatest element, -1 the smallest
bool Extreme(const Args& args, Value& result) {
  if (PassThrough(args, result)) return true;
  const Value* best = nullptr;
  for (const Value& e : args.items()) {
    // Empty has no order of its own here (no replacement by the empty text).
    if (e.isEmpty()) throw VariantError("Invalid variant operation");
    if (!best || CompareValues(*best, e) * kSign < 0) best = &e;
  }
  result.append(*best);
  return true;
}

Value Sum(const Args& items) {
  Value sum = Value::Int(0);
  for (const Value& e : items) sum = Combine(Op::kAdd, sum, e);
  return sum;
}

bool SumFn(const Args& args, Value& result) {
  if (PassThrough(args, result)) return true;
  result.append(Sum(args.items()));
  return true;
}

bool Mean(const Args& args, Value& result) {
  if (PassThrough(args, result)) return true;
  const long double sum = ToDouble(Sum(args.items()));
  result.append(Value::Dbl(CheckFloat(static_cast<double>(sum / args.items().size()))));
  return true;
}

}  // namespace

void AddAggregateFunctions(Catalogue& c) {
  c["MAX"] = Extreme<1>;
  c["MIN"] = Extreme<-1>;
  c["SUM"] = SumFn;
  c["MEAN"] = Mean;
}

}  // namespace tam
