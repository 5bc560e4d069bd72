#pragma once
// The transmit pane's SendMacro: a key's macro, expanded by the document,
// joins the type-ahead line as if typed. A macro holding a start-transmit
// (Ctrl-W) or stop-transmit (Ctrl-Q) character is sent only in Character
// mode, where the text before each Ctrl-W goes out and then the transmitter
// is keyed, and the text before each Ctrl-Q goes out and the pane returns to
// receive once the link has sent it all. In Line and Word mode such a macro
// is not sent at all. User-interface thread only.
class CVELTRANDoc;
class SendHost;
class SendQueue;

class MacroSender {
public:
    MacroSender(SendHost& host, CVELTRANDoc& doc, SendQueue& queue)
        : m_host(host), m_doc(doc), m_queue(queue)
    {
    }

    // `key`: 'A'..'Z', '0'..'9' or a function-key code 0x71..0x78. The macro
    // joins the line at once, in key order with typed keys, even while an
    // earlier macro or tape waits at a stop-transmit; only its own first
    // stop-transmit and what follows wait behind such a send.
    void SendMacro(int key);

private:
    SendHost& m_host;
    CVELTRANDoc& m_doc;
    SendQueue& m_queue;
};
