#include "modem/PulseAudioBackend.h"

#include "modem/PulseCaptureStream.h"
#include "modem/PulseConnection.h"
#include "modem/PulsePlaybackStream.h"

#include <pulse/introspect.h>
#include <pulse/operation.h>
#include <pulse/sample.h>

#include <atomic>
#include <cmath>

namespace {

// Filled on the mainloop thread; read by the owner after `done` or after
// the connection's thread has been joined.
struct Listing {
    PulseConnection* conn = nullptr;
    std::vector<AudioDeviceInfo> devices;
    std::atomic<bool> done{false};

    template <typename Info>
    static void Add(pa_context*, const Info* info, int eol, void* self)
    {
        auto* me = static_cast<Listing*>(self);
        if (eol) {
            me->done = true;
            me->conn->Notify();
            return;
        }
        if (info)
            me->devices.push_back({info->name ? info->name : "", info->description ? info->description : ""});
    }
};

// A whole number of samples a second the server takes, or 0.
unsigned StreamRate(double rate, std::string& error)
{
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(std::lround(rate)), 1};
    if (!(rate >= 1.0 && rate <= PA_RATE_MAX) || !pa_sample_spec_valid(&format)) {
        error = "The sound server can't run at " + std::to_string(rate) + " samples a second";
        return 0;
    }
    return format.rate;
}

}  // namespace

PulseAudioBackend::PulseAudioBackend(std::string server)
    : m_server(std::move(server))
{
}

std::vector<AudioDeviceInfo> PulseAudioBackend::Sources()
{
    return List(true);
}

std::vector<AudioDeviceInfo> PulseAudioBackend::Sinks()
{
    return List(false);
}

std::vector<AudioDeviceInfo> PulseAudioBackend::List(bool sources)
{
    PulseConnection conn(m_server);
    std::string error;
    if (!conn.Connect(kListTimeout, error))
        return {};
    Listing listing;
    listing.conn = &conn;
    pa_operation* op = nullptr;
    {
        PulseConnection::Lock lock(conn);
        op = sources ? pa_context_get_source_info_list(conn.Context(), &Listing::Add<pa_source_info>, &listing)
                     : pa_context_get_sink_info_list(conn.Context(), &Listing::Add<pa_sink_info>, &listing);
    }
    if (!op)
        return {};
    const bool complete = conn.Wait([&] { return listing.done.load(); }, kListTimeout);
    {
        PulseConnection::Lock lock(conn);
        if (!complete)
            pa_operation_cancel(op);
        pa_operation_unref(op);
    }
    conn.Close();
    return complete ? std::move(listing.devices) : std::vector<AudioDeviceInfo>{};
}

std::unique_ptr<CaptureStream> PulseAudioBackend::OpenCapture(const std::string& device, double rate,
                                                              std::string& error)
{
    const unsigned r = StreamRate(rate, error);
    if (!r)
        return nullptr;
    return std::make_unique<PulseCaptureStream>(m_server, device, r);
}

std::unique_ptr<PlaybackStream> PulseAudioBackend::OpenPlayback(const std::string& device, double rate,
                                                                std::string& error)
{
    const unsigned r = StreamRate(rate, error);
    if (!r)
        return nullptr;
    return std::make_unique<PulsePlaybackStream>(m_server, device, r);
}
