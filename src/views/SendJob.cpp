#include "views/SendJob.h"

#include "app/CVELTRANDoc.h"
#include "views/SendHost.h"

SendJob::Progress SendJob::Run()
{
    for (;;) {
        if (m_steps.empty() && !Refill())
            return Progress::kDone;
        while (!m_steps.empty()) {
            if (!RunStep(m_steps.front()))
                return Progress::kWaiting;
            m_steps.pop_front();
        }
    }
}

bool SendJob::RunStep(Step& step)
{
    switch (step.kind) {
    case Kind::kInsert:
        m_host.InsertText(step.text);
        break;
    case Kind::kEcho:
        Echo(step.text);
        break;
    case Kind::kSend:
        // An empty part sends nothing; handing it on would only let the link
        // release queued bytes before the last write has drained.
        if (!step.text.empty())
            m_host.SendToLink(step.text);
        break;
    case Kind::kTransmit:
        m_host.DoTransmit();
        break;
    case Kind::kRepaint:
        m_host.RepaintTransmitView();
        break;
    case Kind::kDrainThenReceive:
        if (!step.begun) {
            m_host.BeginStopTransmit();
            step.begun = true;
        }
        if (m_host.StopTransmitPending()) {
            m_host.TimerStep();
            return false;
        }
        m_host.EndStopTransmit();
        break;
    case Kind::kClearDeadman:
        m_host.ClearDeadmanCount();
        break;
    }
    return true;
}

void SendJob::Echo(const std::string& text)
{
    // Each line before an LF without its CRs, then the rest after the last
    // LF as it stands (a bare ">" when it is empty), all as the far end
    // prints them.
    size_t start = 0;
    for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        std::string line;
        for (size_t i = start; i < lf; ++i) {
            if (text[i] != '\r')
                line += text[i];
        }
        m_host.EchoThroughCodec(line, 2);
        m_doc.AddText(">" + line, CVELTRANDoc::kReceiveList);
        start = lf + 1;
    }
    std::string rest = text.substr(start);
    if (!rest.empty())
        m_host.EchoThroughCodec(rest, 2);
    m_doc.AddText(">" + rest, CVELTRANDoc::kReceiveList);
    m_host.ReceiveListChanged();
}
