#pragma once
// The "Embedded" page: the built-in codes (time, date, mode) described in
// sunken read-only texts, the starting serial number "I" in a digits-only
// field (object name "I"), and the band "B" on a slider of the nine band
// positions (object name "B") with the band texts under it.
#include "macros/MacroPageFields.h"
#include "macros/widgets/CMacroPage.h"

class DigitsOnlyEdit;
class MacroStore;
class QSlider;

class CMacroEmbedded : public CMacroPage {
    Q_OBJECT

public:
    explicit CMacroEmbedded(MacroStore& store, QWidget* parent = nullptr);

    void OnSetActive() override;
    void OnOK() override;

private:
    MacroStore& m_store;
    MacroPageFields m_fields;
    QSlider* m_slider = nullptr;
    DigitsOnlyEdit* m_serial = nullptr;
};
