#include "player/message_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace player {
namespace {

HANDLE gLogFile = INVALID_HANDLE_VALUE;

struct MessageName {
  UINT message;
  const char* name;
};

constexpr MessageName kMessageNames[] = {
    {WM_NULL, "WM_NULL"},
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},
    {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_QUIT, "WM_QUIT"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_CANCELMODE, "WM_CANCELMODE"},
    {WM_SETCURSOR, "WM_SETCURSOR"},
    {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_GETICON, "WM_GETICON"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCHITTEST, "WM_NCHITTEST"},
    {WM_NCPAINT, "WM_NCPAINT"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
    {WM_SYSKEYUP, "WM_SYSKEYUP"},
    {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
    {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
    {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"},
    {WM_IME_NOTIFY, "WM_IME_NOTIFY"},
    {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
    {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
    {WM_STYLECHANGING, "WM_STYLECHANGING"},
    {WM_STYLECHANGED, "WM_STYLECHANGED"},
    {WM_HOTKEY, "WM_HOTKEY"},
    {WM_USER, "WM_USER"},
};

const char* MessageNameOf(UINT message) {
  for (const MessageName& entry : kMessageNames) {
    if (entry.message == message) return entry.name;
  }
  return nullptr;
}

void WriteLine(const char* text, int length) {
  if (gLogFile == INVALID_HANDLE_VALUE || length <= 0) return;
  DWORD written = 0;
  // No buffering of our own: every line is in the file when WriteFile returns.
  WriteFile(gLogFile, text, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace

bool OpenMessageLog(const char* path) {
  CloseMessageLog();
  gLogFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return gLogFile != INVALID_HANDLE_VALUE;
}

void CloseMessageLog() {
  if (gLogFile != INVALID_HANDLE_VALUE) CloseHandle(gLogFile);
  gLogFile = INVALID_HANDLE_VALUE;
}

void LogMessage(const char* windowClass, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gLogFile == INVALID_HANDLE_VALUE) return;
  char line[160];
  const char* name = MessageNameOf(message);
  int length = std::snprintf(line, sizeof line, "%s 0x%04X %lu %ld%s%s\n", windowClass, message,
                             static_cast<unsigned long>(wParam), static_cast<long>(lParam),
                             name != nullptr ? " " : "", name != nullptr ? name : "");
  WriteLine(line, length < static_cast<int>(sizeof line) ? length : static_cast<int>(sizeof line) - 1);
}

void LogEvent(const char* format, ...) {
  if (gLogFile == INVALID_HANDLE_VALUE) return;
  char line[600] = "player: ";
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(line + 8, sizeof line - 9, format, args);
  va_end(args);
  if (length < 0) return;
  size_t end = 8 + std::min<size_t>(static_cast<size_t>(length), sizeof line - 10);
  line[end++] = '\n';
  WriteLine(line, static_cast<int>(end));
}

}  // namespace player
