#pragma once
// The TNC pane's SendFileToTnc: sends a text file to the TNC with its caret
// references expanded, piece by piece of whole lines, with no echo and no
// pauses, then adds the note line ">>>* Import Complete *(name)" to the TNC
// list. User-interface thread only.
#include <string>

class CVELTRANDoc;

class TncTapeHost {
public:
    virtual ~TncTapeHost() = default;
    // The TNC link's SendText.
    virtual void SendToTnc(std::string& text) = 0;
    // The TNC list grew: scroll to the newest line (range 0..n at n, without
    // redrawing the bar) and repaint the TNC view with erasing.
    virtual void TncListChanged() = 0;
    // The message box with the system's text and the exclamation icon.
    virtual void ShowFileError(const std::string& text) = 0;
};

class TncTapeSender {
public:
    static constexpr const char* kStartupTape = "TAPESTARTUPTNC.TXT";

    TncTapeSender(TncTapeHost& host, CVELTRANDoc& doc) : m_host(host), m_doc(doc) {}

    // False when the file could not be opened or read (reported through the
    // host; what was sent before stays sent and no note line is added).
    bool SendFileToTnc(const std::string& path);

private:
    TncTapeHost& m_host;
    CVELTRANDoc& m_doc;
};
