#pragma once
// A frame that shows nothing: for panes driven without a main window.
#include "views/FrameStatus.h"

#include <QString>
#include <string>

class NullFrameStatus : public FrameStatus {
public:
    void SetDiddlePaneText(const std::string&) override {}
    void SetAutoPaneText(const std::string&) override {}
    void SetModePaneText(const std::string&) override {}
    void SetBaudPaneNumber(int) override {}
    void UpdatePortStatus() override {}
    void SetMessageText(const QString&) override {}
};
