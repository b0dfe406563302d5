// The current folder, drives' folders, the environment, the command line of
// the running program and the shell's start of programs and documents.
#include "engine/sjis.h"
#include "library/file_family.h"
#include "platform/platform.h"

namespace tam {

namespace {

bool CurrentDir(const Args& args, Value& result) {
  shape::Repeat(args, result, Value::Str(os::CurrentFolder()));
  return true;
}

bool SetCurrentDir(const Args& args, Value&) {
  if (args.isArray() && args.items().empty()) return false;
  const Value& first = args.isArray() ? args.items()[0] : args.value();
  return os::SetCurrentFolder(shape::Text(first));
}

// A drive is a letter ("C", "c:") or a number (0 the current drive, 1 A ...).
bool CurrentDirOfDrive(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    int drive;
    if (a.isString()) {
      const std::string letter = UpperCase(Trim(std::string(a.str())));
      // An empty text is no letter; as a number it fails to convert.
      drive = letter.empty() ? shape::Integer(Value::Str(letter)) : static_cast<unsigned char>(letter[0]) - 64;
    } else {
      drive = shape::Integer(a);
    }
    r.append(Value::Str(os::DriveFolder(drive)));
    return true;
  });
}

bool Environment(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(os::Environment(shape::Text(a))));
    return true;
  });
}

bool ParamCount(const Args& args, Value& result) {
  shape::Repeat(args, result, Value::Int(static_cast<std::int32_t>(os::ProgramParameters().size()) - 1));
  return true;
}

bool ParamStr(const Args& args, Value& result) {
  const std::vector<std::string> params = os::ProgramParameters();
  return shape::ElementWise(args, result, [&params](const Value& a, Value& r) {
    const std::int32_t n = shape::Integer(a);
    r.append(Value::Str(n >= 0 && static_cast<std::size_t>(n) < params.size() ? params[n] : std::string()));
    return true;
  });
}

bool Shell(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 3);
  if (!a) return false;
  const std::string file = shape::Text((*a)[0]);
  const std::string params = shape::Text((*a)[1]);
  const std::string folder = shape::Text((*a)[2]);
  result.append(Value::Int(platform().ShellOpenInFolder(file, params, folder)));
  return true;
}

}  // namespace

void AddSystemFunctions(Catalogue& c) {
  c["CURRENTDIR"] = CurrentDir;
  c["CURRENTDIROFDRIVE"] = CurrentDirOfDrive;
  c["ENVIRONMENT"] = Environment;
  c["PARAMCOUNT"] = ParamCount;
  c["PARAMSTR"] = ParamStr;
  c["SETCURRENTDIR"] = SetCurrentDir;
  c["SHELL"] = Shell;
}

}  // namespace tam
