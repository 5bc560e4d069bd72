#pragma once
// The prompt at the head of each transmit line, by the "Options" "Prompt" kind:
// 0 date "M-DD-YY> ", 1 time "HHMM> " (local) or "HHMMZ> " (UTC), 2 "% ",
// 3 "> ", anything else none. Date and time are local when `useLocal` is set.
#include <string>

class WallClock;

std::string FormatPromptText(int kind, bool useLocal, const WallClock& clock);
