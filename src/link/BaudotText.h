#pragma once
// Whole texts to Baudot codes as a teleprinter sends them: a LTRS first (the
// far end may be in either shift), then each character with the shift code it
// needs. Characters without a code are left out.
#include <string>
#include <string_view>

std::string EncodeBaudotText(std::string_view text);
