#pragma once
// One page of the macro sheet. The sheet calls Activate each time the page
// becomes the current tab (the page reloads its keys from the store, so
// unsaved typing is replaced) and, when closed with OK, OnOK on every page
// that was activated at least once (the page writes all its keys). A page
// never activated writes nothing. User-interface thread only.
#include <QWidget>

class CMacroPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    void Activate()
    {
        m_bShown = true;
        OnSetActive();
    }
    bool WasShown() const { return m_bShown; }

    virtual void OnSetActive() = 0;
    virtual void OnOK() = 0;

private:
    bool m_bShown = false;
};
