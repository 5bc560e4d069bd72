#pragma once
// A page of macro rows ("A-G", "H-L", "U-Z", "0-4", "5-9", "F2-F9"): per row
// a right-aligned label, a one-line edit field (object name = its key) and
// the row's note, then the page's foot note. The fields scroll horizontally
// and take any text.
#include "macros/MacroPageFields.h"
#include "macros/widgets/CMacroPage.h"

#include <map>
#include <string>

class MacroStore;
class QLineEdit;

class CMacroKeysPage : public CMacroPage {
    Q_OBJECT

public:
    CMacroKeysPage(const MacroPageInfo& page, MacroStore& store, QWidget* parent = nullptr);

    void OnSetActive() override;
    void OnOK() override;

private:
    MacroStore& m_store;
    MacroPageFields m_fields;
    std::map<std::string, QLineEdit*> m_edits;
};

// The six row pages by their class names.
class CMacroAF : public CMacroKeysPage {
public:
    explicit CMacroAF(MacroStore& s, QWidget* p = nullptr) : CMacroKeysPage(*MacroPages::Find("CMacroAF"), s, p) {}
};
class CMacroHQ : public CMacroKeysPage {
public:
    explicit CMacroHQ(MacroStore& s, QWidget* p = nullptr) : CMacroKeysPage(*MacroPages::Find("CMacroHQ"), s, p) {}
};
class CMacroUZ : public CMacroKeysPage {
public:
    explicit CMacroUZ(MacroStore& s, QWidget* p = nullptr) : CMacroKeysPage(*MacroPages::Find("CMacroUZ"), s, p) {}
};
class CMacro04 : public CMacroKeysPage {
public:
    explicit CMacro04(MacroStore& s, QWidget* p = nullptr) : CMacroKeysPage(*MacroPages::Find("CMacro04"), s, p) {}
};
class CMacro59 : public CMacroKeysPage {
public:
    explicit CMacro59(MacroStore& s, QWidget* p = nullptr) : CMacroKeysPage(*MacroPages::Find("CMacro59"), s, p) {}
};
class CMacroF1F9 : public CMacroKeysPage {
public:
    explicit CMacroF1F9(MacroStore& s, QWidget* p = nullptr)
        : CMacroKeysPage(*MacroPages::Find("CMacroF1F9"), s, p)
    {
    }
};
