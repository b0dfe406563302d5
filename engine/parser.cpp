// The parser: one record per line, block statements matched and linked so
// that the engine jumps by line index. Four passes: comments, blocks, the
// EXIT/END/RESULT lines, assignments. The first error ends the parse.
#include "engine/program.h"
#include "engine/scanner.h"
#include "engine/sjis.h"

namespace tam {

namespace {

class Parser {
 public:
  explicit Parser(Program& p) : p_(p) {}

  void Run() {
    const int n = static_cast<int>(p_.lines.size());
    p_.frames.assign(n, TFrameInfo{});
    for (int i = 0; i < n; ++i)
      if (IsCommentLine(p_.lines[i])) p_.frames[i] = {kComment, -1};
    if (!Blocks()) return;
    ExitsAndResults();
    Assignments();
  }

 private:
  bool Fail(const char* message, int line) {
    p_.error = true;
    p_.errorText = std::string(message) + std::to_string(line + 1) + ".";
    return false;
  }

  int Add(std::unique_ptr<TStatement> s) {
    p_.statements.push_back(std::move(s));
    return static_cast<int>(p_.statements.size()) - 1;
  }

  template <class T>
  T& Record(int line) {
    return static_cast<T&>(*p_.statements[p_.frames[line].Index]);
  }

  // Splits a DO or LOOP line into its WHILE, UNTIL and MAX clauses.
  static void Clauses(const std::string& t, const std::string& m, std::string& whileC, std::string& untilC,
                      std::string& max, bool& both) {
    std::vector<std::string> pieces{t}, masked{m};
    for (const char* k : {" WHILE ", " UNTIL ", " MAX "}) SplitClauses(pieces, masked, k);
    bool haveWhile = false, haveUntil = false;
    for (std::size_t i = 0; i < masked.size(); ++i) {
      if (masked[i].compare(0, 6, "WHILE ") == 0) {
        whileC = Trim(CharCopy(pieces[i], 7, kRest));
        haveWhile = true;
      } else if (masked[i].compare(0, 6, "UNTIL ") == 0) {
        untilC = Trim(CharCopy(pieces[i], 7, kRest));
        haveUntil = true;
      } else if (masked[i].compare(0, 4, "MAX ") == 0) {
        max = Trim(CharCopy(pieces[i], 5, kRest));
      }
    }
    both = haveWhile && haveUntil;
  }

  static std::string ExitCondition(const std::string& whileC, const std::string& untilC) {
    return whileC.empty() ? untilC : "not(" + whileC + ")";
  }

  bool Blocks() {
    std::vector<int> stack;
    const int n = static_cast<int>(p_.lines.size());
    for (int i = 0; i < n; ++i) {
      if (p_.frames[i].Kind != kUnparsed) continue;
      const std::string t = Trim(p_.lines[i]);
      const std::string m = MaskQuotes(p_.lines[i]);
      const std::size_t sp = t.find(' ');
      const std::string word = UpperCase(t.substr(0, sp));
      const std::string rest = sp == std::string::npos ? std::string() : Trim(t.substr(sp + 1));
      const unsigned char head = stack.empty() ? static_cast<unsigned char>(kUnparsed) : p_.frames[stack.back()].Kind;
      if (word == "DO") {
        auto loop = std::make_unique<TDoLoop>();
        std::string w, u;
        bool both = false;
        Clauses(t, m, w, u, loop->DoMax, both);
        if (both) return Fail("Syntax error of WHILE statement on line ", i);
        loop->DoLine = i;
        loop->DoCondition = ExitCondition(w, u);
        p_.frames[i] = {kDo, Add(std::move(loop))};
        stack.push_back(i);
      } else if (word == "LOOP") {
        if (head != kDo) return Fail("Loop mismatch on line ", i);
        std::string w, u, max;
        bool both = false;
        Clauses(t, m, w, u, max, both);
        if (both) return Fail("Syntax error of DO statement on line ", i);
        TDoLoop& loop = Record<TDoLoop>(stack.back());
        loop.LoopLine = i;
        loop.LoopCondition = ExitCondition(w, u);
        loop.LoopMax = max;
        p_.frames[i] = {kLoop, p_.frames[stack.back()].Index};
        stack.pop_back();
      } else if (word == "FOR") {
        auto loop = std::make_unique<TForLoop>();
        std::vector<std::string> pieces{t}, masked{m};
        for (const char* k : {"=", " TO ", " STEP ", " MAX "}) SplitClauses(pieces, masked, k);
        for (std::size_t k = 0; k < masked.size(); ++k) {
          const std::string& mk = masked[k];
          if (mk.compare(0, 4, "FOR ") == 0)
            loop->Variable = Trim(CharCopy(pieces[k], 5, kRest));
          else if (mk.compare(0, 1, "=") == 0)
            loop->StartExpr = Trim(CharCopy(pieces[k], 2, kRest));
          else if (mk.compare(0, 3, "TO ") == 0)
            loop->EndExpr = Trim(CharCopy(pieces[k], 4, kRest));
          else if (mk.compare(0, 5, "STEP ") == 0)
            loop->StepExpr = Trim(CharCopy(pieces[k], 6, kRest));
          else if (mk.compare(0, 4, "MAX ") == 0)
            loop->MaxExpr = Trim(CharCopy(pieces[k], 5, kRest));
        }
        if (loop->Variable.empty() || loop->StartExpr.empty() || loop->EndExpr.empty())
          return Fail("Syntax error of FOR statement on line ", i);
        if (loop->StepExpr.empty()) loop->StepExpr = "1";
        loop->ForLine = i;
        p_.frames[i] = {kFor, Add(std::move(loop))};
        stack.push_back(i);
      } else if (word == "NEXT") {
        if (head != kFor) return Fail("Loop mismatch on line ", i);
        Record<TForLoop>(stack.back()).ForNextLine = i;
        p_.frames[i] = {kNext, p_.frames[stack.back()].Index};
        stack.pop_back();
      } else if (word == "IF") {
        auto block = std::make_unique<TIfBlock>();
        block->Condition = rest;
        p_.frames[i] = {kIf, Add(std::move(block))};
        stack.push_back(i);
      } else if (word == "ELSEIF" || word == "ELSE") {
        if (head != kIf && head != kElseIf) return Fail("If block mismatch on line ", i);
        TIfBlock& prev = Record<TIfBlock>(stack.back());
        prev.NextBranch = i;
        prev.NextIsBranch = true;
        auto block = std::make_unique<TIfBlock>();
        if (word == "ELSEIF") block->Condition = rest;
        p_.frames[i] = {static_cast<unsigned char>(word == "ELSE" ? kElse : kElseIf), Add(std::move(block))};
        stack.back() = i;
      } else if (word == "ENDIF") {
        if (head != kIf && head != kElseIf && head != kElse) return Fail("If block mismatch on line ", i);
        Record<TIfBlock>(stack.back()).NextBranch = i + 1;
        p_.frames[i] = {kEndIf, -1};
        stack.pop_back();
      } else if (word == "FUNCTION") {
        auto fn = std::make_unique<TFunctionBlock>();
        const std::size_t paren = rest.find('(');
        if (paren == std::string::npos) {
          fn->Name = rest;
        } else {
          fn->Name = Trim(rest.substr(0, paren));
          // The list without its last character, normally the ")".
          const std::string params = rest.substr(paren + 1);
          fn->Parameters = SplitArguments(Trim(CharCopy(params, 1, CharLength(params) - 1)));
        }
        fn->FunctionLine = i;
        fn->LayoutBase = ReserveLayouts(fn->Parameters.size() + 1);
        for (std::size_t a = 0; a < fn->Parameters.size(); ++a)
          for (std::size_t b = 0; b < a; ++b)
            if (UpperCase(fn->Parameters[a]) == UpperCase(fn->Parameters[b])) fn->DistinctParameters = false;
        const int index = static_cast<int>(p_.functions.size());
        p_.functions.push_back(fn.get());
        p_.functionIndex.emplace(UpperCase(fn->Name), index);
        Add(std::move(fn));
        p_.frames[i] = {kFunction, index};
        stack.push_back(i);
      } else if (word == "ENDFUNCTION") {
        if (stack.empty()) return Fail("Function and EndFunction mismatch on line ", i);
        if (head != kFunction) return Fail("EndFunction mismatch on line ", i);
        p_.functions[p_.frames[stack.back()].Index]->EndLine = i;
        p_.frames[i] = {kEndFunction, p_.frames[stack.back()].Index};
        stack.pop_back();
      }
    }
    if (!stack.empty()) return Fail("Mismatch on line ", stack.back());
    return true;
  }

  void ExitsAndResults() {
    std::vector<int> stack;
    for (int i = 0; i < static_cast<int>(p_.lines.size()); ++i) {
      TFrameInfo& f = p_.frames[i];
      if (f.Kind == kDo || f.Kind == kFor || f.Kind == kFunction) {
        stack.push_back(i);
        continue;
      }
      if (f.Kind == kLoop || f.Kind == kNext || f.Kind == kEndFunction) {
        if (!stack.empty()) stack.pop_back();
        continue;
      }
      if (f.Kind != kUnparsed) continue;
      const std::string t = Trim(p_.lines[i]);
      const std::string word = UpperCase(t.substr(0, t.find(' ')));
      if (word == "RESULT") {
        auto result = std::make_unique<TResultStatement>();
        result->Items = SplitArguments(Trim(CharCopy(t, 8, kRest)));
        result->Forms.assign(result->Items.size(), nullptr);
        f = {kResult, Add(std::move(result))};
      } else if (word == "END") {
        f = {kEnd, -1};
      } else if (word == "EXIT") {
        if (stack.empty()) {
          f = {kExitProgram, -1};
        } else {
          const TFrameInfo& h = p_.frames[stack.back()];
          f = {static_cast<unsigned char>(h.Kind == kFor  ? kExitFor
                                          : h.Kind == kDo ? kExitDo
                                                          : kExitFunction),
               h.Index};
        }
      }
    }
  }

  void Assignments() {
    for (int i = 0; i < static_cast<int>(p_.lines.size()); ++i) {
      if (p_.frames[i].Kind != kUnparsed) continue;
      auto let = std::make_unique<TLetStatement>();
      switch (SplitAssignment(p_.lines[i], let->Target, let->Expression)) {
        case SplitResult::kUnmatchedQuote:
          Fail("Unmatched quotation on line ", i);
          return;
        case SplitResult::kUnmatchedParen:
          Fail("Unmatched parentheses on line ", i);
          return;
        case SplitResult::kOk:
          break;
      }
      let->Targets = SplitArguments(let->Target);
      const std::string& first = let->Targets.empty() ? let->Target : let->Targets[0];
      let->PlainTarget = first.find('(') == std::string::npos;
      let->SingleTarget = let->PlainTarget && !let->Target.empty() && !let->Targets.empty();
      p_.frames[i] = {kLet, Add(std::move(let))};
    }
  }

  Program& p_;
};

// The lines that only lead on, each with where the run goes from it, as the
// statement loop would take them one by one.
void LinkFlow(Program& p) {
  const int n = static_cast<int>(p.lines.size());
  p.flow.assign(n, FlowStep{});
  auto branch = [&](int line) { return static_cast<const TIfBlock&>(*p.statements[p.frames[line].Index]).NextBranch; };
  for (int i = n - 1; i >= 0; --i) {
    int to;
    switch (p.frames[i].Kind) {
      case kComment:
      case kEndIf:
        to = i + 1;
        break;
      case kElse:
        to = branch(i);
        break;
      case kElseIf:
        // A taken branch ran into the next one: past every further branch.
        to = branch(i);
        while (to >= 0 && to < n && (p.frames[to].Kind == kElseIf || p.frames[to].Kind == kElse)) to = branch(to);
        break;
      case kExitFunction:
      case kEndFunction:
      case kExitProgram:
      case kEnd:
        to = n;
        break;
      default:
        continue;
    }
    if (to <= i) continue;
    FlowStep& f = p.flow[i];
    f = {1, i, to};
    if (to < n && p.flow[to].lines > 0) {
      f.lines += p.flow[to].lines;
      f.last = p.flow[to].last;
      f.to = p.flow[to].to;
    }
  }
}

}  // namespace

std::shared_ptr<Program> ParseProgram(const std::string& text) {
  auto p = std::make_shared<Program>();
  p->lines = SplitLines(text);
  Parser(*p).Run();
  if (p->error)
    p->flow.assign(p->lines.size(), FlowStep{});
  else
    LinkFlow(*p);
  return p;
}

}  // namespace tam
