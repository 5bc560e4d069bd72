#pragma once
// What the macro sheet does with the starting serial number "I" around its
// modal run. Made before the run, it remembers the stored text. After the
// run, AfterClose either re-seeds the document's running serial number (OK,
// a document exists, and "I" now differs from the remembered text, compared
// exactly) or writes the remembered text back to "I" (every other case, so a
// serial number edited without a document is discarded even after OK).
// User-interface thread only.
#include <string>

class CVELTRANDoc;
class MacroStore;

class SerialReseed {
public:
    // `doc` may be nullptr (no document).
    SerialReseed(MacroStore& store, CVELTRANDoc* doc);

    void AfterClose(bool ok);

    const std::string& OldText() const { return m_strOld; }

private:
    MacroStore& m_store;
    CVELTRANDoc* m_pDoc;
    std::string m_strOld;
};
