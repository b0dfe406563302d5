#include "platform/win32/win32_dialog_template.h"

#include <climits>

namespace tam::win32 {

std::wstring Wide(const std::string& sjis) {
  if (sjis.empty() || sjis.size() > INT_MAX / 2) return std::wstring();
  const int n = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), &out[0], n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty() || wide.size() > INT_MAX / 4) return std::string();
  const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, "?", nullptr);
  return out;
}

std::string ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  if (n <= 0) return std::string();
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(control, &text[0], n + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return Narrow(text);
}

DialogTemplate::DialogTemplate(const std::string& caption, DWORD style, short cx, short cy) {
  style |= DS_SETFONT;
  words_ = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, static_cast<WORD>(cx), static_cast<WORD>(cy)};
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the dialog class
  Text(Wide(caption));
  words_.push_back(9);  // points
  Text(L"MS UI Gothic");
}

void DialogTemplate::AlignToDword() {
  if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::Text(const std::wstring& s) {
  words_.insert(words_.end(), s.begin(), s.end());
  words_.push_back(0);
}

void DialogTemplate::Item(DWORD style, short x, short y, short cx, short cy, WORD id) {
  AlignToDword();
  style |= WS_CHILD | WS_VISIBLE;
  const WORD item[] = {LOWORD(style),         HIWORD(style),         0, 0, static_cast<WORD>(x), static_cast<WORD>(y),
                       static_cast<WORD>(cx), static_cast<WORD>(cy), id};
  words_.insert(words_.end(), std::begin(item), std::end(item));
  ++words_[4];  // the count of items in the header
}

void DialogTemplate::Add(WORD id, WORD atom, const std::string& text, DWORD style, short x, short y, short cx,
                         short cy) {
  Item(style, x, y, cx, cy, id);
  words_.push_back(0xFFFF);
  words_.push_back(atom);
  Text(Wide(text));
  words_.push_back(0);  // no creation data
}

void DialogTemplate::Add(WORD id, const wchar_t* className, const std::string& text, DWORD style, short x, short y,
                         short cx, short cy) {
  Item(style, x, y, cx, cy, id);
  Text(className);
  Text(Wide(text));
  words_.push_back(0);
}

}  // namespace tam::win32
