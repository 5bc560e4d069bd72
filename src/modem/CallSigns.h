#pragma once
// Amateur call signs in received text, by their usual shape: a prefix of one
// or two letters (or a letter and a digit, or a digit and a letter), one
// digit, then one to four letters ("K3BSD", "DL1ABC", "2E0XYZ"). A portable
// or country part after a slash ("DL1ABC/P", "F/G4XYZ") is dropped. Numbers
// ("599", "001") and words without a digit never match.
#include <string>
#include <string_view>
#include <vector>

bool IsCallSign(std::string_view token);
// The call signs in `text`, in order, each once.
std::vector<std::string> FindCallSigns(std::string_view text);
