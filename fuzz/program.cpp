// Program text: loaded, parsed and run statement by statement, run-time
// errors skipped, with the mail functions over a small fixed mail.
#include <cstdint>
#include <exception>

#include "engine/value.h"
#include "fuzz/fuzz_common.h"
#include "mail/reply.h"

namespace tam::fuzz {
namespace {

const LineList& SampleMail() {
  static const LineList lines = {
      "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>",
      "To: a@example.jp, \"B\" <b@example.jp>",
      "Subject: test",
      "Content-Type: multipart/mixed; boundary=\"b\"",
      "",
      "--b",
      "Content-Type: text/plain",
      "",
      "line one",
      "\x82\xa0\x82\xa2",
      "--b",
      "Content-Type: application/octet-stream; name=\"a.bin\"",
      "",
      "AAAA",
      "--b--",
  };
  return lines;
}

}  // namespace
}  // namespace tam::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 64 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TMailState mail;
  PrepareMail(mail, fuzz::SampleMail());
  TVariableSet set;
  TCalc calc;
  fuzz::Arm(calc, &mail);
  calc.LoadProgram(text);
  calc.SetVariables(&set);
  if (calc.Error()) return 0;
  calc.Reset();
  try {
    for (int steps = 0; steps < 2 * fuzz::kStatementBudget && !calc.Finished(); ++steps) {
      if (calc.Error())
        calc.Skip();
      else
        calc.Step();
    }
  } catch (const std::exception&) {
    // An arithmetic fault or an engine fault ends the run, as in the plug-in.
  }
  for (int i = 0; i < set.Count(); ++i) {
    try {
      ToText(set.GetValueAt(i));
    } catch (const std::exception&) {
    }
  }
  return 0;
}
