#pragma once
// The eight pages of the macro sheet as data: tab title, template number and
// size (dialog units), the macro rows in the order they are laid out, the
// notes, and the keys in the order the page declares its fields (the order in
// which it loads and saves them). The widgets build themselves from this
// table; nothing here knows about widgets.
#include <string>
#include <vector>

struct MacroRow {
    const char* key;    // "Settings" key, e.g. "A" or "F2"
    const char* label;  // right-aligned label, e.g. "Ctrl - A  "
    int fieldId;        // control id of the edit field on its page
    const char* note;   // text right of the field, or "" for none
};

struct MacroPageInfo {
    enum class Kind { Main, Embedded, Keys };

    Kind kind;
    const char* className;  // e.g. "CMacroAF"
    const char* title;      // tab title (the template's caption)
    int templateId;
    int widthDlu;
    int heightDlu;
    std::vector<MacroRow> rows;          // layout order
    std::vector<std::string> fieldKeys;  // declaration (load/save) order
    const char* footNote;                // note below the rows, or ""
    int fieldWidthDlu;                   // width of the macro edit fields
};

namespace MacroPages {

// Tab order: "Main", "Embedded", "A-G", "H-L", "U-Z", "0-4", "5-9", "F2-F9".
const std::vector<MacroPageInfo>& All();
// The page of that class name; nullptr when there is none.
const MacroPageInfo* Find(const char* className);

// The "Embedded" page's fixed rows: built-in codes and what they insert.
struct FixedCode {
    const char* label;
    const char* description;
};
const std::vector<FixedCode>& EmbeddedCodes();

inline constexpr const char* kSerialLabel = "Ctrl - I   ";
inline constexpr const char* kSerialNote = "<= Auto Serial Number  (Ctrl-J Repeat)";
inline constexpr int kSerialFieldId = 1039;
inline constexpr int kSerialFieldWidthDlu = 30;
inline constexpr const char* kBandCaption = "&Band Selection  (Ctrl - B)";
inline constexpr int kBandSliderId = 1040;
inline constexpr const char* kPrintButton = "&Print";
inline constexpr int kPrintButtonId = 1063;

}  // namespace MacroPages
