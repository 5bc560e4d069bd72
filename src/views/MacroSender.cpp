#include "views/MacroSender.h"

#include "app/CVELTRANDoc.h"
#include "app/MacroExpander.h"
#include "views/SendHost.h"
#include "views/SendJob.h"
#include "views/SendQueue.h"

#include <memory>

namespace {

// The steps of one expanded macro.
class MacroJob : public SendJob {
public:
    using SendJob::SendJob;

    void Insert(std::string text)
    {
        if (!text.empty())
            Add(Kind::kInsert, std::move(text));
    }
    void Transmit()
    {
        Add(Kind::kRepaint);
        Add(Kind::kTransmit);
    }
    void StopTransmit()
    {
        Add(Kind::kRepaint);
        Add(Kind::kDrainThenReceive);
    }
    bool Empty() const { return m_bEmpty; }

private:
    void Add(Kind kind, std::string text = {})
    {
        m_bEmpty = false;
        SendJob::Add(kind, std::move(text));
    }
    bool m_bEmpty = true;
};

}  // namespace

void MacroSender::SendMacro(int key)
{
    constexpr char kW = MacroExpander::kStartTransmit;
    constexpr char kQ = MacroExpander::kStopTransmit;

    std::string t = m_doc.ExpandMacro(static_cast<char>(key), true);
    // The part up to the first stop-transmit joins the line at once, in key
    // order with typed keys, also while an earlier send waits at its own
    // stop-transmit; from that stop on the macro waits behind such a send.
    auto lead = std::make_unique<MacroJob>(m_host, m_doc);
    auto rest = std::make_unique<MacroJob>(m_host, m_doc);
    MacroJob* job = lead.get();
    const bool control = t.find(kW) != std::string::npos || t.find(kQ) != std::string::npos;
    if (!control) {
        job->Insert(std::move(t));
    } else {
        if (!m_host.CharMode())
            return;
        // A Ctrl-Q before the first Ctrl-W is text of the part before that
        // Ctrl-W (5-bit data has no code for it and drops it).
        while (!t.empty()) {
            const size_t w = t.find(kW);
            if (w != std::string::npos) {
                job->Insert(t.substr(0, w));
                t.erase(0, w + 1);
                job->Transmit();
            }
            const size_t q = t.find(kQ);
            if (q != std::string::npos) {
                job->Insert(t.substr(0, q));
                t.erase(0, q + 1);
                job = rest.get();
                job->StopTransmit();
            }
            if (t.find(kW) == std::string::npos && t.find(kQ) == std::string::npos) {
                job->Insert(std::move(t));
                t.clear();
            }
        }
    }
    lead->Run();  // never waits: it holds no stop-transmit
    if (!rest->Empty())
        m_queue.Submit(std::move(rest));
}
