#include "macros/MacroPages.h"

#include <cstring>

namespace {

using Kind = MacroPageInfo::Kind;

std::vector<MacroPageInfo> MakePages()
{
    std::vector<MacroPageInfo> pages;
    pages.push_back({Kind::Main, "CMacroMain", "Main", 145, 212, 116, {}, {}, "", 0});
    // The serial number and the band are laid out by the page itself; the
    // keys are listed so the page saves them in its own order.
    pages.push_back({Kind::Embedded, "CMacroEmbedded", "Embedded", 138, 217, 117, {}, {"I", "B"}, "", 0});
    pages.push_back({Kind::Keys, "CMacroAF", "A-G", 139, 222, 116,
                     {{"A", "Ctrl - A  ", 1024, ""},
                      {"C", "Ctrl - C  ", 1025, "* <= Your Call Sign"},
                      {"E", "Ctrl - E  ", 1026, ""},
                      {"F", "Ctrl - F  ", 1027, ""},
                      {"G", "Ctrl - G  ", 1028, ""}},
                     {"A", "C", "E", "F", "G"},
                     "Note: Ctrl+C cannot be used in the TNC window.", 100});
    pages.push_back({Kind::Keys, "CMacroHQ", "H-L", 140, 222, 116,
                     {{"H", "Ctrl - H  ", 1029, "<= Report"},
                      {"K", "Ctrl - K  ", 1031, "<= Other Call Sign"},
                      {"L", "Ctrl - L  ", 1032, "<= Repeat Report"}},
                     {"H", "K", "L"}, "", 100});
    pages.push_back({Kind::Keys, "CMacroUZ", "U-Z", 141, 222, 111,
                     {{"U", "Ctrl - U  ", 1034, ""}, {"Y", "Ctrl - Y  ", 1037, ""}, {"Z", "Ctrl - Z  ", 1038, ""}},
                     {"U", "Y", "Z"}, "", 100});
    pages.push_back({Kind::Keys, "CMacro04", "0-4", 142, 222, 95,
                     {{"0", "Ctrl - 0  ", 1049, ""},
                      {"1", "Ctrl - 1  ", 1050, ""},
                      {"2", "Ctrl - 2  ", 1051, ""},
                      {"3", "Ctrl - 3  ", 1052, ""},
                      {"4", "Ctrl - 4  ", 1039, ""}},
                     {"0", "1", "2", "3", "4"}, "", 100});
    pages.push_back({Kind::Keys, "CMacro59", "5-9", 143, 222, 95,
                     {{"5", "Ctrl - 5  ", 1053, ""},
                      {"6", "Ctrl - 6  ", 1054, ""},
                      {"7", "Ctrl - 7  ", 1055, ""},
                      {"8", "Ctrl - 8  ", 1056, ""},
                      {"9", "Ctrl - 9  ", 1057, ""}},
                     {"5", "6", "7", "8", "9"}, "", 100});
    // No F3 row (F3 is no macro) and no F6 row (F6 is edited in the store only).
    pages.push_back({Kind::Keys, "CMacroF1F9", "F2-F9", 144, 232, 116,
                     {{"F2", "F2  ", 1059, ""},
                      {"F4", "F4  ", 1060, ""},
                      {"F5", "F5  ", 1061, ""},
                      {"F7", "F7  ", 1063, ""},
                      {"F8", "F8  ", 1064, ""},
                      {"F9", "F9  ", 1065, ""}},
                     {"F5", "F4", "F7", "F8", "F9", "F2"}, "", 70});
    return pages;
}

}  // namespace

const std::vector<MacroPageInfo>& MacroPages::All()
{
    static const std::vector<MacroPageInfo> pages = MakePages();
    return pages;
}

const MacroPageInfo* MacroPages::Find(const char* className)
{
    for (const MacroPageInfo& p : All()) {
        if (std::strcmp(p.className, className) == 0)
            return &p;
    }
    return nullptr;
}

const std::vector<MacroPages::FixedCode>& MacroPages::EmbeddedCodes()
{
    static const std::vector<FixedCode> codes = {
        {"Ctrl - T  ", "Current Time"},
        {"Ctrl - D  ", "Current Date"},
        {"Ctrl - M  ", "Operational Mode - RTTY or ASCII"},
    };
    return codes;
}
