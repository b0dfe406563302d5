#include "editor/win32/program_editor.h"

namespace tam::win {

void SetUpProgramEditor(TExtMemo& memo, std::uint32_t lineLength) {
  using namespace editor;
  constexpr TColor kWhite = 0xFFFFFF;
  memo.ImeColors.Set(Untransfered, {0, kWhite, fsUnderline});
  memo.ImeColors.Set(WatchingTransfered, {0, kWhite, fsBold | fsUnderline});
  memo.ImeColors.Set(Transfered, {0, kWhite, 0});
  memo.ImeColors.Set(WatchingUntransfered, {0, kWhite, fsBold | fsUnderline});
  memo.WordWrapOption.SetPunctuationMode(TPunctuationMode::wbfLevel2);
  memo.ApplyWordWrapOption();
  memo.EditArea.Margin.SetLeft(10);
  memo.EditArea.Margin.SetTop(2);
  memo.EditArea.Margin.SetBottom(1);
  memo.EditMarks[DSp].SetEnabled(true);
  memo.EditMarks[Tab].SetEnabled(true);
  memo.EditArea.SetLineLength(lineLength);
}

}  // namespace tam::win
