// The --log file: one line per message that reaches the player's own window
// procedures, written through at once so that a test can follow it live.
#pragma once

#include <windows.h>

namespace player {

bool OpenMessageLog(const char* path);
void CloseMessageLog();
void LogMessage(const char* windowClass, UINT message, WPARAM wParam, LPARAM lParam);
// Lifecycle lines ("player: ..."), so a reader sees loads, inits and quits in order.
void LogEvent(const char* format, ...);

}  // namespace player
