#include "views/TapeSender.h"

#include "app/CVELTRANDoc.h"
#include "app/MacroExpander.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "app/SystemErrorText.h"
#include "views/SendHost.h"
#include "views/SendJob.h"
#include "views/SendQueue.h"
#include "views/TapeReader.h"

#include <memory>

namespace {

// Reads the next piece only when the steps of the previous one (with any
// wait among them) have run, as a send without pauses would.
class TapeJob : public SendJob {
public:
    TapeJob(SendHost& host, CVELTRANDoc& doc, std::string name, bool echo)
        : SendJob(host, doc), m_strName(std::move(name)), m_bEcho(echo)
    {
    }

    TapeReader& Reader() { return m_reader; }

protected:
    bool Refill() override
    {
        if (!m_bStarted) {
            m_bStarted = true;
            m_host.ClearTxEcho();
        }
        std::string piece;
        int error = 0;
        switch (m_reader.Next(piece, &error)) {
        case TapeReader::Result::kPiece:
            AddPiece(std::move(piece));
            return true;
        case TapeReader::Result::kError:
            m_host.ShowFileError(SystemErrorText(error));
            return false;
        case TapeReader::Result::kEnd:
            break;
        }
        m_doc.AddText(TapeSender::NoteLine(">", m_strName), CVELTRANDoc::kTransmitList);
        m_host.HistoryChanged();
        return false;
    }

private:
    void AddPiece(std::string piece)
    {
        constexpr char kW = MacroExpander::kStartTransmit;
        constexpr char kQ = MacroExpander::kStopTransmit;
        m_doc.ExpandReferences(piece);
        std::string t = std::move(piece);
        // Each part before a Ctrl-W, and within it each part before a
        // Ctrl-Q, is echoed and sent; each control character then acts where
        // it stood: the wait for the drain after its part, and the keying
        // after the last part before the Ctrl-W, so that text between a
        // Ctrl-Q and a following Ctrl-W goes out after the return to receive
        // and the Ctrl-W keys again after it.
        do {
            std::string a;
            bool transmit = false;
            const size_t w = t.find(kW);
            if (w != std::string::npos) {
                a = t.substr(0, w);
                t.erase(0, w + 1);
                transmit = true;
            } else {
                a = std::move(t);
                t.clear();
            }
            do {
                std::string b;
                bool receive = false;
                const size_t q = a.find(kQ);
                if (q != std::string::npos) {
                    b = a.substr(0, q);
                    a.erase(0, q + 1);
                    receive = true;
                } else {
                    b = std::move(a);
                    a.clear();
                }
                if (m_bEcho)
                    Add(Kind::kEcho, b);
                Add(Kind::kSend, std::move(b));
                if (receive) {
                    Add(Kind::kRepaint);
                    Add(Kind::kDrainThenReceive);
                }
            } while (!a.empty());
            if (transmit)
                Add(Kind::kTransmit);
        } while (!t.empty());
        Add(Kind::kClearDeadman);
    }

    TapeReader m_reader;
    std::string m_strName;
    bool m_bEcho;
    bool m_bStarted = false;
};

}  // namespace

std::string TapeSender::NoteLine(const std::string& prefix, const std::string& name)
{
    return prefix + kImportComplete + "(" + name + ")";
}

void TapeSender::SendTape(const std::string& path)
{
    const bool echo = m_doc.Settings().Get(keys::EchoImport) != 0;
    auto job = std::make_unique<TapeJob>(m_host, m_doc, path, echo);
    int error = 0;
    if (!job->Reader().Open(path, &error)) {
        m_host.ShowFileError(SystemErrorText(error));
        return;
    }
    if (!m_host.HasReceiveView())
        return;
    m_queue.Submit(std::move(job));
}
