#include "engine/expression.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/limits.h"
#include "engine/scanner.h"
#include "engine/sjis.h"

namespace tam {

namespace {

// Work done by the outermost compile on this thread and its nested texts.
thread_local std::size_t g_work = 0;
thread_local int g_compiles = 0;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Splits one text at its operators. An operator is looked for only at
// positions outside quotes at parenthesis depth 0, as a scan from the end of
// the text sees them. The lowest level splits first, at its rightmost
// operator, which makes every level left-associative.
//
// Every piece that a split produces sees the same quote and depth state as
// the whole text at the same positions, so the positions where operators
// match are found once for the whole text; only operators touching the edges
// of a piece are tested again, since a word operator may stand at the very
// start or end of a piece without a blank beside it.
class Splitter {
 public:
  explicit Splitter(const std::shared_ptr<const std::string>& source)
      : source_(source),
        t_(*source),
        n_(static_cast<int>(source->size())),
        start_(source->size()),
        elig_(source->size()) {
    for (int i = 0; i < n_; ++i) {
      start_[i] = 1;
      if (IsLeadByte(static_cast<unsigned char>(t_[i])) && i + 1 < n_) ++i;
    }
    bool inQuotes = false;
    int depth = 0;
    for (int i = n_ - 1; i >= 0; --i) {
      if (!start_[i]) continue;
      const char c = t_[i];
      if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < n_) continue;
      if (c == '"') {
        inQuotes = !inQuotes;
      } else if (!inQuotes) {
        if (c == ')')
          ++depth;
        else if (c == '(')
          --depth;
        else if (depth == 0)
          elig_[i] = 1;
      }
    }
    for (int level = 0; level < kLevelCount; ++level) {
      for (int p = 0; p < n_; ++p) {
        if (!elig_[p]) continue;
        const int f = MatchAt(level, p, 0, n_ - 1);
        if (f >= 0) strict_[level].push_back({p, f});
      }
    }
  }

  std::unique_ptr<Expr> Build(int lo, int hi) {
    CheckStack();
    while (lo <= hi && static_cast<unsigned char>(t_[lo]) <= 0x20) ++lo;
    while (hi >= lo && static_cast<unsigned char>(t_[hi]) <= 0x20) --hi;
    if (lo > hi) return std::make_unique<Expr>();
    for (int level = 0; level < kLevelCount; ++level) {
      int p, f;
      if (!Find(level, lo, hi, p, f)) continue;
      const OperatorForm& form = OperatorAt(level, f);
      const int s = p - static_cast<int>(std::strlen(form.text)) + 1;
      auto e = std::make_unique<Expr>();
      e->kind = Expr::kBinary;
      e->source = source_;
      e->textPos = static_cast<std::size_t>(lo);
      e->textLen = static_cast<std::size_t>(hi - lo + 1);
      e->op = form.op;
      e->left = Build(lo, s - 1);
      e->right = Build(p + 1, hi);
      return e;
    }
    return Operand(t_.substr(lo, hi - lo + 1));
  }

 private:
  struct Match {
    int pos, form;
  };

  // The first operator of the level, in table order, whose written form ends
  // at p within the piece lo..hi; -1 when none.
  int MatchAt(int level, int p, int lo, int hi) const {
    for (int f = 0; f < OperatorCount(level); ++f) {
      const char* form = OperatorAt(level, f).text;
      const int len = static_cast<int>(std::strlen(form));
      const int s = p - len + 1;
      if (s < lo) continue;
      bool same = true;
      for (int k = 0; k < len && same; ++k) same = start_[s + k] && Upper(t_[s + k]) == form[k];
      if (!same) continue;
      if (IsLetter(form[0])) {
        if (s != lo && !(t_[s - 1] == ' ' || t_[s - 1] == ')' || t_[s - 1] == '\t')) continue;
        if (p != hi && !(t_[p + 1] == ' ' || t_[p + 1] == '(' || t_[p + 1] == '\t')) continue;
      }
      return f;
    }
    return -1;
  }

  bool Find(int level, int lo, int hi, int& p, int& f) const {
    if (elig_[hi] && (f = MatchAt(level, hi, lo, hi)) >= 0) {
      p = hi;
      return true;
    }
    // Away from the edges the whole-text matches hold.
    const auto& list = strict_[level];
    auto it = std::lower_bound(list.begin(), list.end(), hi, [](const Match& m, int pos) { return m.pos < pos; });
    if (it != list.begin()) {
      --it;
      if (it->pos > lo + 3) {
        p = it->pos;
        f = it->form;
        return true;
      }
    }
    for (int q = std::min(lo + 3, hi - 1); q >= lo; --q) {
      if (elig_[q] && (f = MatchAt(level, q, lo, hi)) >= 0) {
        p = q;
        return true;
      }
    }
    return false;
  }

  static bool IsDecimal(const std::string& s, bool& integral) {
    std::size_t i = 0, digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    integral = i == s.size();
    if (i < s.size() && s[i] == '.') {
      ++i;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
      ++i;
      std::size_t e = 0;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++e;
      if (e == 0) return false;
    }
    return i == s.size();
  }

  static std::unique_ptr<Expr> Operand(const std::string& text) {
    auto e = std::make_unique<Expr>();
    e->text = text;
    const std::size_t n = text.size();
    if (text.front() == '(' && text.back() == ')') {
      e->kind = Expr::kParen;
      e->left = CompileExpression(text.substr(1, n - 2));
      return e;
    }
    if (n >= 2 && text.front() == '"' && text.back() == '"') {
      std::string s;
      bool bad = false;
      for (std::size_t i = 1; i + 1 < n; ++i) {
        const char c = text[i];
        if (IsLeadByte(static_cast<unsigned char>(c)) && i + 2 < n) {
          s += c;
          s += text[++i];
        } else if (c == '"') {
          if (i + 2 < n && text[i + 1] == '"') {
            s += '"';
            ++i;
          } else {
            bad = true;
          }
        } else {
          s += c;
        }
      }
      e->kind = bad ? Expr::kBadString : Expr::kString;
      e->value = s.empty() && !bad ? Value::Array({Value::Str("")}) : Value::Str(s);
      e->value.NotePlain();
      return e;
    }
    const std::size_t paren = FindOnBoundary(text, "(");
    if (paren != std::string::npos && text.back() == ')') {
      e->kind = Expr::kCall;
      e->name = Trim(text.substr(0, paren));
      e->upper = UpperCase(e->name);
      e->args = CompileArguments(Trim(text.substr(paren + 1, n - paren - 2)));
      return e;
    }
    bool integral = false;
    if (IsDecimal(text, integral)) {
      const double d = std::strtod(text.c_str(), nullptr);
      if (d <= 1.7976931348623157e308) {  // an overflowing literal is no number
        e->kind = Expr::kNumber;
        if (integral && d <= 2147483647.0)
          e->value = Value::Int(static_cast<std::int32_t>(d));
        else
          e->value = Value::Dbl(d);
        return e;
      }
    }
    e->kind = Expr::kName;
    e->upper = UpperCase(Trim(text));
    return e;
  }

  std::shared_ptr<const std::string> source_;
  const std::string& t_;
  const int n_;
  std::vector<char> start_;  // a character begins here
  std::vector<char> elig_;   // outside quotes at depth 0, no parenthesis or quote
  std::vector<Match> strict_[kLevelCount];
};

}  // namespace

std::unique_ptr<Expr> CompileExpression(const std::string& text) {
  std::string t = Trim(text);
  if (t.empty()) return std::make_unique<Expr>();
  struct Outermost {
    Outermost() {
      if (g_compiles++ == 0) g_work = 0;
    }
    ~Outermost() { --g_compiles; }
  } count;
  g_work += t.size();
  if (g_work > kCompileWork) throw NestingTooDeep();
  auto source = std::make_shared<const std::string>(std::move(t));
  Splitter s(source);
  return s.Build(0, static_cast<int>(source->size()) - 1);
}

namespace {
// An operand without the parentheses around it.
const Expr& Bare(const Expr& e) { return e.kind == Expr::kParen ? Bare(*e.left) : e; }

bool IsLiteral(const Expr& e) { return e.kind == Expr::kString || e.kind == Expr::kNumber; }

void Flatten(const Expr& e, std::vector<Instr>& out) {
  CheckStack();
  switch (e.kind) {
    case Expr::kBinary: {
      const Expr& l = Bare(*e.left);
      const Expr& r = Bare(*e.right);
      if (l.kind == Expr::kName && (IsLiteral(r) || r.kind == Expr::kName)) {
        out.push_back({IsLiteral(r) ? Instr::kNameLiteral : Instr::kNameName, &e});
        out.push_back({Instr::kName, &l});
        out.push_back({IsLiteral(r) ? Instr::kLiteral : Instr::kName, &r});
      } else if (IsLiteral(r)) {
        Flatten(l, out);
        out.push_back({Instr::kTopLiteral, &e});
        out.push_back({Instr::kLiteral, &r});
        break;
      } else if (r.kind == Expr::kName) {
        Flatten(l, out);
        out.push_back({Instr::kTopName, &e});
        out.push_back({Instr::kName, &r});
      } else {
        Flatten(l, out);
        Flatten(r, out);
      }
      out.push_back({Instr::kBinary, &e});
      break;
    }
    case Expr::kParen:
      Flatten(*e.left, out);
      break;
    case Expr::kString:
    case Expr::kNumber:
      out.push_back({Instr::kLiteral, &e});
      break;
    case Expr::kBadString:
      out.push_back({Instr::kBadString, &e});
      break;
    case Expr::kCall:
      for (const auto& a : e.args) Flatten(*a, out);
      out.push_back({Instr::kCall, &e});
      break;
    case Expr::kName:
      out.push_back({Instr::kName, &e});
      break;
    default:
      out.push_back({Instr::kEmpty, &e});
      break;
  }
}
}  // namespace

const std::vector<Instr>& MakeCode(const Expr& root) {
  std::vector<Instr> code;
  Flatten(root, code);
  if (code.size() == 1 && code[0].code == Instr::kLiteral)
    root.shape = Expr::kLiteralShape;
  else if (code.size() == 1 && code[0].code == Instr::kName)
    root.shape = Expr::kNameShape;
  else if (code.size() == 4 && code[0].code == Instr::kNameLiteral)
    root.shape = Expr::kNameLiteralShape;
  root.code = std::move(code);
  return root.code;
}

std::vector<std::unique_ptr<Expr>> CompileArguments(const std::string& argText) {
  std::vector<std::unique_ptr<Expr>> out;
  for (const std::string& piece : SplitArguments(argText)) out.push_back(CompileExpression(piece));
  return out;
}

}  // namespace tam
