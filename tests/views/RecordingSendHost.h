#pragma once
// A SendHost that records what a macro or tape send does, in order, and plays
// a transmitter that needs a set number of looks to drain.
#include "views/SendHost.h"

#include <string>
#include <vector>

class RecordingSendHost : public SendHost {
public:
    bool receiveView = true;
    bool charMode = false;
    // StopTransmitPending answers true this many times, then false.
    int pendingLooks = 0;
    std::vector<std::string> events;
    std::string sent;  // everything given to the link, in order
    std::vector<std::string> pieces;

    bool HasReceiveView() override { return receiveView; }
    bool CharMode() override { return charMode; }
    void InsertText(const std::string& text) override { events.push_back("insert:" + text); }
    void SendToLink(std::string& text) override
    {
        events.push_back("send:" + text);
        sent += text;
        pieces.push_back(text);
    }
    void EchoThroughCodec(std::string&, int stream) override
    {
        if (stream != 2)
            events.push_back("wrong echo stream");
    }
    void BeginStopTransmit() override {}
    bool StopTransmitPending() override
    {
        if (pendingLooks > 0) {
            --pendingLooks;
            return true;
        }
        return false;
    }
    void DoTransmit() override { events.push_back("transmit"); }
    void EndStopTransmit() override { events.push_back("receive"); }
    void TimerStep() override { events.push_back("timer"); }
    void ClearTxEcho() override { events.push_back("clear echo"); }
    void ClearDeadmanCount() override { events.push_back("deadman"); }
    void ReceiveListChanged() override { events.push_back("receive list"); }
    void HistoryChanged() override { events.push_back("history"); }
    void RepaintTransmitView() override { events.push_back("repaint"); }
    void ShowFileError(const std::string& text) override { events.push_back("error:" + text); }
};
