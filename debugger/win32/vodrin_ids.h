// The names and numbers of Vodrin's windows, controls and menu items, which
// the windows and the tests that drive them through messages share.
#pragma once

namespace tam::vodrin {

// Window classes; the captions are the form names without the T.
constexpr const char kDebugFormClass[] = "TDebugForm";
constexpr const char kProgramFormClass[] = "TProgramForm";
constexpr const char kMailFormClass[] = "TMailForm";
constexpr const char kVariableFormClass[] = "TVariableForm";
constexpr const char kResultFormClass[] = "TResultForm";
constexpr const char kOptionFormClass[] = "TOptionForm";
constexpr const char kEditWithHeaderClass[] = "TEditWithHeader";

enum : int {
  // The main window's controls.
  kStartButton = 101,
  kResetButton = 102,
  kRunButton = 103,
  kStepButton = 104,
  kStopButton = 105,
  kMessageMemo = 110,
  kCurrentLineLabel = 111,
  kNextLineLabel = 112,

  // Menu items.
  kMailOpen = 201,
  kMailSaveAs = 202,
  kProgramOpen = 203,
  kProgramSaveAs = 204,
  kExit = 205,
  kMailWindow = 211,
  kProgramWindow = 212,
  kVariableWindow = 213,
  kResultWindow = 214,
  kOptionWindow = 215,

  // The content control of the program, mail, variable and result windows.
  kContentMemo = 301,
  kStatusBar = 302,
  // The option window's five fields, EditWithHeader1 to EditWithHeader5; a
  // field answers WM_GETTEXT and WM_SETTEXT for its edit.
  kOptionField1 = 311,
  kAccountGroup = 320,
};

}  // namespace tam::vodrin
