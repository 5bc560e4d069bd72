#include "app/SessionRecovery.h"

#include "app/CVELTRANDoc.h"
#include "app/FileIo.h"
#include "app/FileSystem.h"
#include "app/RtyFormat.h"
#include "app/SafeSave.h"
#include "app/SystemErrorText.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

struct SessionRecovery::Snapshot {
    LineList lists[3];
    uint32_t counts[3] = {0, 0, 0};
    TimePoint taken;
};

struct SessionRecovery::Job {
    std::unique_ptr<Snapshot> snapshot;  // nullptr: remove the copy
};

namespace {

std::string StateHome()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is not to be trusted: fall back to the default.
    if (state && state[0] == '/')
        return state;
    return QDir::homePath().toStdString() + "/.local/state";
}

// Seconds since the epoch, as text; the copy's time needs no finer grain.
std::string TimeText(SessionRecovery::TimePoint when)
{
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count()) + "\n";
}

std::optional<SessionRecovery::TimePoint> ReadTime(const std::string& path)
{
    std::unique_ptr<File> file;
    if (ProgramFileSystem().Open(path, OpenMode::Read, file) != 0)
        return std::nullopt;
    char text[32] = {};
    size_t got = 0;
    if (ReadFull(*file, text, sizeof text - 1, got) != 0 || got == 0)
        return std::nullopt;
    char* end = nullptr;
    const long long seconds = std::strtoll(text, &end, 10);
    if (end == text || seconds <= 0)
        return std::nullopt;
    return SessionRecovery::TimePoint(std::chrono::seconds(seconds));
}

int RemoveIfThere(const std::string& path)
{
    const int err = ProgramFileSystem().Remove(path);
    return err == ENOENT ? 0 : err;
}

}  // namespace

SessionRecovery::SessionRecovery(CVELTRANDoc& doc, std::string folder, const TickSource& clock)
    : m_doc(doc), m_folder(std::move(folder)), m_clock(clock), m_worker([this] { Run(); })
{
}

SessionRecovery::~SessionRecovery()
{
    Stop();
}

std::string SessionRecovery::FolderFor(bool demo)
{
    std::string folder = StateHome() + "/VELTRAN/recovery";
    if (demo)
        folder += "/demo";
    return folder;
}

std::string SessionRecovery::DocumentPath() const
{
    return m_folder + "/" + kDocumentName;
}

std::string SessionRecovery::TimePath() const
{
    return m_folder + "/" + kTimeName;
}

std::unique_ptr<SessionRecovery::Snapshot> SessionRecovery::TakeSnapshot() const
{
    auto snapshot = std::make_unique<Snapshot>();
    for (int i = 0; i < 3; ++i) {
        snapshot->lists[i] = m_doc.GetList(i + 1);
        snapshot->counts[i] = m_doc.StoredCount(i + 1);
    }
    snapshot->taken = std::chrono::system_clock::now();
    return snapshot;
}

void SessionRecovery::Tick()
{
    if (!m_doc.IsModified()) {
        if (m_bCopyOnDisk)
            Remove();
        return;
    }
    if (m_bCopyOnDisk && m_doc.Revision() == m_copiedRevision)
        return;
    const uint32_t now = m_clock.Now();
    if (m_bEverCopied && now - m_lastCopyTick < kPeriodMs)
        return;
    m_bEverCopied = true;
    m_lastCopyTick = now;
    m_copiedRevision = m_doc.Revision();
    m_bCopyOnDisk = true;
    auto job = std::make_unique<Job>();
    job->snapshot = TakeSnapshot();
    Submit(std::move(job));
}

bool SessionRecovery::WriteNow()
{
    if (m_doc.IsModified() && !(m_bCopyOnDisk && m_doc.Revision() == m_copiedRevision)) {
        m_bEverCopied = true;
        m_lastCopyTick = m_clock.Now();
        m_copiedRevision = m_doc.Revision();
        m_bCopyOnDisk = true;
        auto job = std::make_unique<Job>();
        job->snapshot = TakeSnapshot();
        Submit(std::move(job));
    }
    return Flush();
}

void SessionRecovery::Remove()
{
    m_bCopyOnDisk = false;
    Submit(std::make_unique<Job>());
}

std::optional<SessionRecovery::TimePoint> SessionRecovery::Pending() const
{
    FileInfo info;
    if (ProgramFileSystem().Stat(DocumentPath(), info) != 0 || info.kind != FileInfo::Kind::Regular)
        return std::nullopt;
    return ReadTime(TimePath()).value_or(TimePoint{});
}

bool SessionRecovery::Restore(std::string* error)
{
    Flush();  // nothing of this run may still be writing over it
    if (!m_doc.OpenFile(DocumentPath(), error))
        return false;
    m_doc.SetModified(true);
    // The copy on disk is this content: the next one is due at its next change.
    m_bEverCopied = true;
    m_lastCopyTick = m_clock.Now();
    m_copiedRevision = m_doc.Revision();
    m_bCopyOnDisk = true;
    return true;
}

void SessionRecovery::Submit(std::unique_ptr<Job> job)
{
    if (m_bStopped) {
        std::string error;
        const bool ok = Perform(*job, &error);
        MutexLock lock(m_mutex);
        m_bLastOk = ok;
        m_lastError = std::move(error);
        return;
    }
    {
        MutexLock lock(m_mutex);
        m_job = std::move(job);  // a snapshot still waiting is out of date
    }
    m_wake.NotifyOne();
}

bool SessionRecovery::Flush()
{
    MutexLock lock(m_mutex);
    while (!m_bStopped && (m_job || m_bBusy))
        m_idle.Wait(lock);
    return m_bLastOk;
}

void SessionRecovery::Stop()
{
    if (m_bStopped)
        return;
    {
        MutexLock lock(m_mutex);
        m_bStop = true;
    }
    m_wake.NotifyOne();
    m_worker.join();
    m_bStopped = true;
}

std::string SessionRecovery::LastError() const
{
    MutexLock lock(m_mutex);
    return m_lastError;
}

void SessionRecovery::Run()
{
    for (;;) {
        std::unique_ptr<Job> job;
        {
            MutexLock lock(m_mutex);
            while (!m_bStop && !m_job)
                m_wake.Wait(lock);
            if (!m_job)
                return;  // stopped with nothing left to do
            job = std::move(m_job);
            m_bBusy = true;
        }
        std::string error;
        const bool ok = Perform(*job, &error);
        job.reset();  // the snapshot's memory goes here, not on the window's thread
        {
            MutexLock lock(m_mutex);
            m_bBusy = false;
            m_bLastOk = ok;
            m_lastError = std::move(error);
        }
        m_idle.NotifyAll();
    }
}

bool SessionRecovery::Perform(Job& job, std::string* error) const
{
    if (!job.snapshot) {
        const int errDoc = RemoveIfThere(DocumentPath());
        const int errTime = RemoveIfThere(TimePath());
        if (errDoc != 0 || errTime != 0) {
            *error = "cannot remove the recovery copy: " + SystemErrorText(errDoc != 0 ? errDoc : errTime);
            return false;
        }
        return true;
    }
    std::error_code ignored;  // a folder that cannot be made fails the save below, with its reason
    std::filesystem::create_directories(m_folder, ignored);
    const Snapshot& s = *job.snapshot;
    if (!WriteRtyFile(DocumentPath(), s.lists, s.counts, error))
        return false;
    const std::string when = TimeText(s.taken);
    return SaveFileSafely(
        TimePath(), when.size(), [&when](File& file) { return WriteAll(file, when.data(), when.size()); }, error);
}
