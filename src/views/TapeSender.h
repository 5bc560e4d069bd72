#pragma once
// The transmit pane's SendTape: sends a text file over the RTTY link as if it
// were typed, in every send mode (straight to the link, not through the
// type-ahead line). Each piece of whole lines has its caret references
// expanded; a Ctrl-W keys the transmitter after the text before it, a Ctrl-Q
// returns to receive once everything before it has been sent. With "Options"
// "EchoImport" set the sent text is also shown in the receive pane as ">"
// lines. When the file is done, a note line goes into the transmit history.
// User-interface thread only.
#include <string>

class CVELTRANDoc;
class SendHost;
class SendQueue;

class TapeSender {
public:
    // String 107, the note added when a file has been sent.
    static constexpr const char* kImportComplete = "* Import Complete *";
    static constexpr const char* kCqTape = "TAPECQ.TXT";
    static constexpr const char* kBragTape = "TAPEBRAG.TXT";
    static constexpr const char* kExchangeTape = "TAPEEXCHANGE.TXT";
    static constexpr const char* kStartupTape = "TAPESTARTUP.TXT";

    TapeSender(SendHost& host, CVELTRANDoc& doc, SendQueue& queue)
        : m_host(host), m_doc(doc), m_queue(queue)
    {
    }

    // Opens `path` now (a file that cannot be opened is reported at once) and
    // queues its sending behind earlier macro and tape sends. Without a
    // receive view nothing is sent and nothing is shown. `path` is named in
    // the note line as given.
    void SendTape(const std::string& path);

    // prefix + "* Import Complete *" + "(" + name + ")".
    static std::string NoteLine(const std::string& prefix, const std::string& name);

private:
    SendHost& m_host;
    CVELTRANDoc& m_doc;
    SendQueue& m_queue;
};
