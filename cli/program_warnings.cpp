#include "cli/program_warnings.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "engine/expression.h"
#include "engine/limits.h"
#include "engine/operators.h"
#include "engine/program.h"
#include "engine/scanner.h"
#include "engine/sjis.h"
#include "library/library.h"
#include "mail/mail_functions.h"

namespace tam::cli {

namespace {

// The passes of a loop whose line gives no MAX.
constexpr int kDefaultPasses = 100;
// How far a counting DO loop is followed to find where it ends, and all
// counting loops of a program together.
constexpr int kFollowPasses = 100000;
constexpr long long kFollowBudget = 1000000;

const char* const kPredefined[] = {"OPTIONCOUNT", "ACCOUNTTITLE", "ACCOUNTUSER", "ACCOUNTADDRESS", "ACCOUNTNAME"};

std::unique_ptr<Expr> Compile(const std::string& text) {
  try {
    return CompileExpression(text);
  } catch (const NestingTooDeep&) {
    return nullptr;
  }
}

// The value of an expression made of numbers and operators, with the name
// `bound` (upper-cased; none when empty) standing for `value`; false for
// anything else and for an operation that fails.
bool Fold(const Expr& e, const std::string& bound, const Value& value, Value& out) {
  switch (e.kind) {
    case Expr::kNumber:
      out = e.value;
      return true;
    case Expr::kEmpty:
      out = Value();
      return true;
    case Expr::kParen:
      return e.left && Fold(*e.left, bound, value, out);
    case Expr::kName:
      if (bound.empty() || e.upper != bound) return false;
      out = value;
      return true;
    case Expr::kBinary: {
      Value l, r;
      if (!e.left || !e.right || !Fold(*e.left, bound, value, l) || !Fold(*e.right, bound, value, r)) return false;
      try {
        return ApplyOperator(e.op, l, r, out);
      } catch (const std::runtime_error&) {
        return false;
      }
    }
    default:
      return false;
  }
}

bool FoldText(const std::string& text, Value& out) {
  const std::unique_ptr<Expr> e = Compile(text);
  return e && e->kind != Expr::kEmpty && Fold(*e, "", Value(), out);
}

bool IsNumber(const Value& v) {
  switch (v.type()) {
    case vtSmallInt:
    case vtInteger:
    case vtSingle:
    case vtDouble:
    case vtCurrency:
    case vtByte:
      return true;
    default:
      return false;
  }
}

// Whether a loop exit condition holds for the counter value; false when
// it cannot be told.
bool Holds(const Expr* cond, const std::string& counter, const Value& value, bool& holds) {
  holds = false;
  if (!cond) return true;  // no condition: never leaves
  Value v;
  if (!Fold(*cond, counter, value, v)) return false;
  try {
    holds = ToBoolean(v);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

// The kName operands an expression reads, upper-cased, in order.
void NamesRead(const Expr& e, std::vector<std::string>& names) {
  if (e.kind == Expr::kName) names.push_back(e.upper);
  if (e.left) NamesRead(*e.left, names);
  if (e.right) NamesRead(*e.right, names);
  for (const auto& a : e.args)
    if (a) NamesRead(*a, names);
}

// A name as a program writes variables: letters, digits, "_" and
// double-byte characters, not starting with a digit.
bool LooksLikeName(const std::string& s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  for (std::size_t i = 0; i < s.size(); i += CharSize(s, i)) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (CharSize(s, i) == 2) continue;
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

// The variable an assignment target names: the base name of an element
// T(I), upper-cased; the index text in `index`.
std::string TargetName(const std::string& target, std::string& index) {
  const std::string t = Trim(target);
  const std::size_t paren = FindOnBoundary(t, "(");
  index.clear();
  if (paren == std::string::npos || t.back() != ')') return UpperCase(t);
  index = t.substr(paren + 1, t.size() - paren - 2);
  return UpperCase(Trim(t.substr(0, paren)));
}

class Checker {
 public:
  explicit Checker(const Program& p) : p_(p), n_(static_cast<int>(p.lines.size())) {}

  std::vector<ProgramWarning> Run() {
    Structure();
    for (int i = 0; i < n_; ++i) {
      const TFrameInfo& f = p_.frames[i];
      if (f.Kind == kFor) ForPasses(i, Record<TForLoop>(f.Index));
      if (f.Kind == kDo) DoPasses(Record<TDoLoop>(f.Index));
      if (f.Kind == kIf || f.Kind == kElseIf) Condition(i, Record<TIfBlock>(f.Index).Condition);
      if (f.Kind == kIf || f.Kind == kElseIf) Chained(i, Record<TIfBlock>(f.Index).Condition);
      if (f.Kind == kDo) Chained(i, Record<TDoLoop>(f.Index).DoCondition);
      if (f.Kind == kLoop) Chained(i, Record<TDoLoop>(f.Index).LoopCondition);
      if (f.Kind == kLet) Assignment(i, Record<TLetStatement>(f.Index));
      if (f.Kind == kElse) ElseWithText(i);
    }
    ReadsBeforeAssignment();
    std::stable_sort(warnings_.begin(), warnings_.end(),
                     [](const ProgramWarning& a, const ProgramWarning& b) { return a.line < b.line; });
    return std::move(warnings_);
  }

 private:
  template <class T>
  const T& Record(int index) const {
    return static_cast<const T&>(*p_.statements[index]);
  }

  void Warn(int line, const std::string& text) { warnings_.push_back({line + 1, text}); }

  // For every line: the block it stands in (the head line of the innermost
  // open block, each IF branch a block of its own; -1 at the top), the
  // function whose body holds it (-1 for the program's own lines), and the
  // loops around it.
  void Structure() {
    block_.assign(n_, -1);
    function_.assign(n_, -1);
    loopEnd_.assign(n_, -1);
    outerLoop_.assign(n_, -1);
    leavesBefore_.assign(n_ + 1, 0);
    std::vector<int> stack, functions, loops;
    for (int i = 0; i < n_; ++i) {
      const unsigned char k = p_.frames[i].Kind;
      if (!loops.empty()) outerLoop_[i] = loops.front();
      if (k == kDo || k == kFor) loops.push_back(i);
      if ((k == kLoop || k == kNext) && !loops.empty()) loops.pop_back();
      const bool closes = k == kLoop || k == kNext || k == kEndIf || k == kEndFunction;
      if ((closes || k == kElseIf || k == kElse) && !stack.empty()) stack.pop_back();
      if (k == kEndFunction && !functions.empty()) functions.pop_back();
      block_[i] = stack.empty() ? -1 : stack.back();
      function_[i] = functions.empty() ? -1 : functions.back();
      if (k == kDo || k == kFor || k == kIf || k == kElseIf || k == kElse || k == kFunction) stack.push_back(i);
      if (k == kFunction) functions.push_back(p_.frames[i].Index);
      if (k == kLoop || k == kNext) loopEnd_[LoopHead(i)] = i;
      for (const std::string& name : Assigned(i)) assignedAt_[name].push_back(i);
      const bool leaves =
          k == kExitDo || k == kExitFor || k == kExitFunction || k == kExitProgram || k == kEnd || k == kFunction;
      leavesBefore_[i + 1] = leavesBefore_[i] + (leaves ? 1 : 0);
    }
  }

  // The lines that assign the name, in order.
  const std::vector<int>& AssignedAt(const std::string& name) const {
    static const std::vector<int> none;
    const auto it = assignedAt_.find(name);
    return it == assignedAt_.end() ? none : it->second;
  }

  int LoopHead(int endLine) const {
    const TFrameInfo& f = p_.frames[endLine];
    return f.Kind == kLoop ? Record<TDoLoop>(f.Index).DoLine : Record<TForLoop>(f.Index).ForLine;
  }

  // FOR with number bounds and no MAX that would make more passes than the
  // limit lets it.
  void ForPasses(int line, const TForLoop& loop) {
    if (!loop.MaxExpr.empty()) return;
    Value start, end, step;
    if (!FoldText(loop.StartExpr, start) || !FoldText(loop.EndExpr, end) || !FoldText(loop.StepExpr, step)) return;
    if (!IsNumber(start) || !IsNumber(end) || !IsNumber(step)) return;
    // Follow the loop as the engine runs it, one pass past the limit.
    int passes = 0;
    try {
      const int dir = CompareValues(step, Value::Int(0));
      if (dir == 0) return;  // STEP 0 repeats up to the limit: nothing to tell from the bounds
      Value v = start;
      const auto past = [&] { return dir > 0 ? CompareValues(v, end) > 0 : CompareValues(v, end) < 0; };
      while (!past() && passes <= kDefaultPasses) {
        ++passes;
        v = Combine(Op::kAdd, v, step);
      }
    } catch (const std::runtime_error&) {
      return;
    }
    if (passes <= kDefaultPasses) return;
    const double span = (ToDouble(end) - ToDouble(start)) / ToDouble(step);
    const double needed = std::floor(span + 1e-9) + 1;
    if (!(needed > kDefaultPasses) || needed > 2147483647.0) return;
    const std::string count = std::to_string(static_cast<long long>(needed));
    const std::string text = Trim(p_.lines[line]);
    Warn(line, "this loop would make " + count + " passes, but a loop without MAX stops after " +
                   std::to_string(kDefaultPasses) + " passes, silently; write \"" + text + " MAX " + count + "\"");
  }

  // DO ... LOOP: a MAX above the limit on one of the two lines only, or a
  // counting loop that would run longer than the limit lets it.
  void DoPasses(const TDoLoop& loop) {
    const int d = loop.DoLine, l = loop.LoopLine;
    const bool haveDo = !loop.DoMax.empty(), haveLoop = !loop.LoopMax.empty();
    if (haveDo != haveLoop) {
      const int line = haveDo ? d : l, other = haveDo ? l : d;
      Value m;
      if (FoldText(haveDo ? loop.DoMax : loop.LoopMax, m) && IsNumber(m) &&
          CompareValues(m, Value::Int(kDefaultPasses)) > 0) {
        Warn(line, "MAX " + Trim(haveDo ? loop.DoMax : loop.LoopMax) + " counts only when the " +
                       (haveDo ? "LOOP" : "DO") + " line (line " + std::to_string(other + 1) +
                       ") says MAX as well: a line without MAX allows " + std::to_string(kDefaultPasses) +
                       " passes and the smaller counts, so this loop stops after " + std::to_string(kDefaultPasses) +
                       "; add \"MAX " + Trim(haveDo ? loop.DoMax : loop.LoopMax) + "\" to line " +
                       std::to_string(other + 1));
        return;
      }
    }
    // The limit, when the lines leave it at the default.
    if (haveDo && haveLoop) return;
    int limit = kDefaultPasses;
    for (const std::string* max : {&loop.DoMax, &loop.LoopMax}) {
      if (max->empty()) continue;
      Value m;
      if (!FoldText(*max, m) || !IsNumber(m)) return;
      try {
        limit = std::min(limit, ToInteger(m));
      } catch (const std::runtime_error&) {
        return;
      }
    }
    CountingLoop(loop, limit);
  }

  // A DO loop over one counter: its conditions compare the counter with
  // numbers, a number is assigned to it just before the DO line, and its
  // body adds a number to it on every pass. Warns when the conditions would
  // let it run more passes than the limit.
  void CountingLoop(const TDoLoop& loop, int limit) {
    const int d = loop.DoLine, l = loop.LoopLine;
    if (followed_ >= kFollowBudget || (loop.DoCondition.empty() && loop.LoopCondition.empty())) return;
    const std::unique_ptr<Expr> doCond = loop.DoCondition.empty() ? nullptr : Compile(loop.DoCondition);
    const std::unique_ptr<Expr> loopCond = loop.LoopCondition.empty() ? nullptr : Compile(loop.LoopCondition);
    if ((!loop.DoCondition.empty() && !doCond) || (!loop.LoopCondition.empty() && !loopCond)) return;
    std::vector<std::string> names;
    if (doCond) NamesRead(*doCond, names);
    if (loopCond) NamesRead(*loopCond, names);
    if (names.empty()) return;
    const std::string counter = names[0];
    for (const std::string& name : names)
      if (name != counter) return;
    // The body: one assignment of the counter, straight in the loop, that
    // adds a number; nothing that leaves the loop early.
    if (leavesBefore_[l] != leavesBefore_[d + 1]) return;
    const std::vector<int>& at = AssignedAt(counter);
    const auto first = std::upper_bound(at.begin(), at.end(), d), last = std::lower_bound(at.begin(), at.end(), l);
    if (last - first != 1 || first == at.begin()) return;
    Value step;
    {
      const int i = *first;
      const TFrameInfo& f = p_.frames[i];
      if (block_[i] != d || f.Kind != kLet) return;
      const TLetStatement& let = Record<TLetStatement>(f.Index);
      const std::unique_ptr<Expr> e = Compile(let.Expression);
      if (!e || e->kind != Expr::kBinary || (e->op != Op::kAdd && e->op != Op::kSub) || !e->left || !e->right) return;
      const Expr* other = nullptr;
      if (e->left->kind == Expr::kName && e->left->upper == counter) other = e->right.get();
      if (!other && e->op == Op::kAdd && e->right->kind == Expr::kName && e->right->upper == counter)
        other = e->left.get();
      Value k;
      if (!other || other->kind == Expr::kEmpty || !Fold(*other, "", Value(), k) || !IsNumber(k)) return;
      try {
        step = e->op == Op::kSub ? Combine(Op::kSub, Value(), k) : k;
      } catch (const std::runtime_error&) {
        return;
      }
    }
    // The start: the nearest assignment before the DO line, a number, in the
    // same block.
    Value value;
    const int s = *(first - 1);
    if (block_[s] != block_[d] || p_.frames[s].Kind != kLet) return;
    const TLetStatement& start = Record<TLetStatement>(p_.frames[s].Index);
    if (start.Targets.size() != 1 || !FoldText(start.Expression, value) || !IsNumber(value)) return;
    // Follow it as the engine runs it.
    int passes = 0;
    bool leave = false;
    if (!Holds(doCond.get(), counter, value, leave)) return;
    try {
      while (!leave && passes < kFollowPasses && followed_ < kFollowBudget) {
        ++passes;
        ++followed_;
        value = Combine(Op::kAdd, value, step);
        bool a = false, b = false;
        if (!Holds(loopCond.get(), counter, value, a) || !Holds(doCond.get(), counter, value, b)) return;
        leave = a || b;
      }
    } catch (const std::runtime_error&) {
      return;
    }
    if (!leave || passes <= limit) return;
    const std::string count = std::to_string(passes);
    Warn(d, "this loop would make " + count + " passes, but it stops after " + std::to_string(limit) +
                ", silently: a line without MAX allows " + std::to_string(kDefaultPasses) +
                " passes and the smaller MAX counts; add \"MAX " + count +
                "\" to this DO line and to its LOOP line (line " + std::to_string(l + 1) + ")");
  }

  static bool IsComparison(const Expr* e) {
    if (!e || e->kind != Expr::kBinary) return false;
    switch (e->op) {
      case Op::kNe:
      case Op::kLe:
      case Op::kGe:
      case Op::kLt:
      case Op::kEq:
      case Op::kGt:
        return true;
      default:
        return false;
    }
  }

  // A comparison of a comparison that is certainly not meant: the inner one
  // compares with an AND or OR (A = 1 AND B = 2 reads as A = (1 AND B),
  // compared with 2), or the outer one compares its result with a number or
  // a text (3 > 2 > 1).
  static bool Chain(const Expr* e) {
    if (!e) return false;
    if (IsComparison(e)) {
      for (const Expr* inner : {e->left.get(), e->right.get()}) {
        if (!IsComparison(inner)) continue;
        const Expr* other = inner == e->left.get() ? e->right.get() : e->left.get();
        const auto logic = [](const Expr* x) {
          return x && x->kind == Expr::kBinary && (x->op == Op::kAnd || x->op == Op::kOr || x->op == Op::kXor);
        };
        if (logic(inner->left.get()) || logic(inner->right.get()) ||
            (other && (other->kind == Expr::kNumber || other->kind == Expr::kString)))
          return true;
      }
    }
    for (const Expr* c : {e->left.get(), e->right.get()})
      if (Chain(c)) return true;
    for (const auto& a : e->args)
      if (Chain(a.get())) return true;
    return false;
  }

  void Chained(int line, const std::string& text) {
    if (Trim(text).empty()) return;
    const std::unique_ptr<Expr> e = Compile(text);
    if (!e || !Chain(e.get())) return;
    Warn(line,
         "comparisons bind weaker than AND, OR and arithmetic and do not chain, so one comparison here compares "
         "the result of another; put each comparison in parentheses, such as \"(A = 1) AND (B = 2)\"");
  }

  // An assignment whose target holds "=": the line is split at its last
  // "=", so the value goes to a variable named by the whole text before it.
  void Assignment(int line, const TLetStatement& let) {
    Chained(line, let.Expression);
    for (const std::string& target : let.Targets) {
      const std::string t = Trim(target);
      const std::size_t paren = FindOnBoundary(t, "(");
      const std::string base = paren == std::string::npos ? t : t.substr(0, paren);
      const std::size_t eq = FindOnBoundary(base, "=");
      if (eq == std::string::npos || let.Targets.size() != 1) continue;
      const std::string name = Trim(base.substr(0, eq));
      Warn(line, "a line is split at its last \"=\", so this assigns to a variable named \"" + t +
                     "\"; to store a comparison write \"" + name + " = (" + Trim(t.substr(eq + 1)) + " = " +
                     Trim(let.Expression) + ")\"");
    }
  }

  // ELSE takes no condition: whatever follows it on the line is not read, so
  // ELSE IF X is a plain ELSE.
  void ElseWithText(int line) {
    const std::string t = Trim(p_.lines[line]);
    const std::size_t sp = t.find(' ');
    if (sp == std::string::npos) return;
    const std::string rest = Trim(t.substr(sp + 1));
    const std::string upper = UpperCase(rest);
    if (upper.compare(0, 3, "IF ") == 0)
      Warn(line, "ELSE takes no condition, so \"" + t + "\" is a plain ELSE and \"" + rest +
                     "\" is not read; write \"ELSEIF " + Trim(rest.substr(3)) + "\"");
    else
      Warn(line, "ELSE takes no condition, so \"" + rest + "\" after it is not read; write ELSEIF with the condition");
  }

  // IF or ELSEIF whose condition can never be true: only the Boolean true
  // takes a branch.
  void Condition(int line, const std::string& condition) {
    const std::string word = p_.frames[line].Kind == kIf ? "IF" : "ELSEIF";
    const std::string upper = UpperCase(condition);
    if (upper.size() >= 5 && upper.compare(upper.size() - 5, 5, " THEN") == 0) {
      Warn(line, "there is no THEN: the condition ends at the line's end; write \"" + word + " " +
                     TrimRight(condition.substr(0, condition.size() - 5)) + "\"");
      return;
    }
    if (Trim(condition).empty()) {
      Warn(line, word + " without a condition never takes its branch; write a comparison after " + word);
      return;
    }
    const std::unique_ptr<Expr> e = Compile(condition);
    if (!e) return;
    Value v;
    std::string what;
    if (e->kind == Expr::kString)
      what = "a text";
    else if (Fold(*e, "", Value(), v) && IsNumber(v))
      what = "a number";
    if (what.empty()) return;
    Warn(line, word + " " + Trim(condition) + " never takes its branch: only the Boolean true counts, and " +
                   Trim(condition) + " is " + what + "; write a comparison such as \"" + word + " X <> 0\"");
  }

  std::vector<std::string> Assigned(int i) const {
    const TFrameInfo& f = p_.frames[i];
    std::vector<std::string> names;
    std::string index;
    if (f.Kind == kLet)
      for (const std::string& t : Record<TLetStatement>(f.Index).Targets) names.push_back(TargetName(t, index));
    if (f.Kind == kFor) names.push_back(UpperCase(Trim(Record<TForLoop>(f.Index).Variable)));
    return names;
  }

  // The expression texts a line evaluates, before and after it assigns.
  void Evaluated(int i, std::vector<std::string>& before, std::vector<std::string>& after) const {
    const TFrameInfo& f = p_.frames[i];
    switch (f.Kind) {
      case kLet: {
        const TLetStatement& let = Record<TLetStatement>(f.Index);
        before.push_back(let.Expression);
        std::string index;
        for (const std::string& t : let.Targets) {
          TargetName(t, index);
          if (!index.empty()) before.push_back(index);
        }
        break;
      }
      case kFor: {
        const TForLoop& loop = Record<TForLoop>(f.Index);
        before = {loop.StartExpr};
        after = {loop.EndExpr, loop.StepExpr, loop.MaxExpr};
        break;
      }
      case kDo: {
        const TDoLoop& loop = Record<TDoLoop>(f.Index);
        before = {loop.DoMax, loop.DoCondition};
        break;
      }
      case kLoop: {
        const TDoLoop& loop = Record<TDoLoop>(f.Index);
        before = {loop.LoopCondition, loop.DoCondition};
        break;
      }
      case kIf:
      case kElseIf:
        before.push_back(Record<TIfBlock>(f.Index).Condition);
        break;
      case kResult:
        before = SplitArguments(Trim(CharCopy(Trim(p_.lines[i]), 8, kRest)));
        break;
      default:
        break;
    }
  }

  // A name that no line assigns before it is read and that no library
  // knows: the run stops there with "No such function". A read inside a
  // loop that assigns the name later on is left alone, since an earlier
  // pass may have assigned it.
  void ReadsBeforeAssignment() {
    std::unordered_set<std::string> functions(std::begin(kPredefined), std::end(kPredefined));
    functions.insert({"EVALUATE", "CITE"});
    for (const auto& entry : BuiltinCatalogue()) functions.insert(entry.first);
    for (const std::string& name : MailFunctionNames()) functions.insert(name);
    for (const auto& entry : p_.functionIndex) functions.insert(entry.first);
    // The variables assigned so far: the program's own, and each function's.
    std::set<std::string> program;
    std::vector<std::set<std::string>> locals(p_.functions.size());
    for (std::size_t k = 0; k < p_.functions.size(); ++k)
      for (const std::string& param : p_.functions[k]->Parameters) locals[k].insert(UpperCase(Trim(param)));
    for (int i = 0; i < n_; ++i) {
      const int fn = function_[i];
      std::set<std::string>& known = fn < 0 ? program : locals[fn];
      std::vector<std::string> before, after;
      Evaluated(i, before, after);
      const auto reads = [&](const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
          if (Trim(text).empty()) continue;
          const std::unique_ptr<Expr> e = Compile(text);
          if (!e) continue;
          std::vector<std::string> names;
          NamesRead(*e, names);
          for (const std::string& name : names) {
            // Each name is told once, at its first read.
            if (known.count(name) || !LooksLikeName(name)) continue;
            if (fn >= 0 && IsPredefined(name) && !AssignedLaterInLoop(i, name)) {
              known.insert(name);
              Warn(i, Original(e.get(), name) + " is not seen inside FUNCTION " + p_.functions[fn]->Name +
                          ": a function sees only its parameters and its own variables; pass it as a parameter");
              continue;
            }
            if (functions.count(name) || AssignedLaterInLoop(i, name)) continue;
            known.insert(name);
            Warn(i, Original(e.get(), name) + " is read before anything assigns it" +
                        (fn >= 0 ? " in FUNCTION " + p_.functions[fn]->Name +
                                       " (a function sees only its parameters and its own variables)"
                                 : std::string()) +
                        ", so the run stops here with \"No such function: " + Original(e.get(), name) +
                        "\"; assign it first, or check its spelling");
          }
        }
      };
      reads(before);
      for (const std::string& name : Assigned(i)) known.insert(name);
      reads(after);
    }
  }

  static bool IsPredefined(const std::string& name) {
    for (const char* p : kPredefined)
      if (name == p) return true;
    return false;
  }

  // The name as the program writes it.
  static std::string Original(const Expr* e, const std::string& upper) {
    if (!e) return upper;
    if (e->kind == Expr::kName && e->upper == upper) return Trim(e->text);
    for (const Expr* c : {e->left.get(), e->right.get()}) {
      const std::string s = Original(c, upper);
      if (c && s != upper) return s;
    }
    for (const auto& a : e->args) {
      const std::string s = Original(a.get(), upper);
      if (s != upper) return s;
    }
    return upper;
  }

  // Whether a line after i, inside the outermost loop around i, assigns
  // the name.
  bool AssignedLaterInLoop(int i, const std::string& name) const {
    if (outerLoop_[i] < 0) return false;
    const std::vector<int>& at = AssignedAt(name);
    const auto later = std::upper_bound(at.begin(), at.end(), i);
    return later != at.end() && *later <= loopEnd_[outerLoop_[i]];
  }

  const Program& p_;
  const int n_;
  std::vector<int> block_, function_, loopEnd_, outerLoop_;
  std::vector<int> leavesBefore_;  // lines before i that leave a loop, a function or the program
  std::unordered_map<std::string, std::vector<int>> assignedAt_;
  long long followed_ = 0;  // passes of counting loops followed so far
  std::vector<ProgramWarning> warnings_;
};

}  // namespace

std::vector<ProgramWarning> ProgramWarnings(const Program& program) {
  if (program.error) return {};
  return Checker(program).Run();
}

}  // namespace tam::cli
