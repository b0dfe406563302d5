// The control identifiers of the setup dialog (TSetupForm), for the form and
// for the simulated mail client that drives it in the end-to-end tests.
#pragma once

namespace tam::win::setup_ids {

enum : int {
  kOKButton = 1,      // IDOK
  kCancelButton = 2,  // IDCANCEL
  kHelpButton = 100,
  kPageControl1,
  kTriggerPage,
  kProgramPage,
  kOutputPage,
  kTriggerMainMainCheck,
  kTriggerMainContextCheck,
  kTriggerViewMainCheck,
  kTriggerViewContextCheck,
  kDebuggerBevel,
  kDebuggerCheck,
  kProgramListPanel,
  kProgramList,
  kProgramUpButton,
  kProgramDownButton,
  kProgramAddButton,
  kProgramDeleteButton,
  kProgramListSplitter,
  kProgramDetailPanel,
  kProgramNameLabel,
  kProgramNameEdit,
  kPageControl2,
  kTabSheet1,
  kTabSheet2,
  kProgramMemo,
  kStatusBar1,
  kOptionMemo,
  kOutputSendingRadio,
  kOutputDraftRadio,
  kOutputWindowRadio,
};

// The window class of the form.
constexpr char kSetupFormClass[] = "TSetupForm";

}  // namespace tam::win::setup_ids
