#pragma once
// The TNC pane's tape commands: Import Tape (the "Tape Import" dialog, then
// the chosen file to the TNC with its caret references expanded), Export
// Tape (the TNC list to a file) and the TNC startup tape "TAPESTARTUPTNC.TXT",
// sent once when the pane is first ready. Lives as a child of the TNC pane;
// user-interface thread only.
#include "views/CommandTarget.h"
#include "views/TncTapeSender.h"

#include <QObject>
#include <string>

class CVELTRANApp;
class CVELTRANDoc;
class CVELTRANView2;

class TncTapeCommands : public QObject, public CommandTarget, private TncTapeHost {
    Q_OBJECT

public:
    TncTapeCommands(CVELTRANDoc& doc, CVELTRANView2& view);

    // The startup tape, when it exists; the pane calls it once when ready.
    void SendStartupTape();
    void SendFile(const std::string& path);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

private:
    // TncTapeHost
    void SendToTnc(std::string& text) override;
    void TncListChanged() override;
    void ShowFileError(const std::string& text) override;

    CVELTRANDoc& m_doc;
    CVELTRANView2& m_view;
    TncTapeSender m_sender;
};
