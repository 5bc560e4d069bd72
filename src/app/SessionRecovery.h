#pragma once
// A recovery copy of the open document, so that a session that is killed or
// crashes keeps its received and sent text. While the document has unsaved
// changes, Tick() (the window's timer) copies it at most once every
// kPeriodMs, and only when it changed since the last copy; WriteNow() copies
// it at once (a termination signal). The copy is the ".rty" layout itself,
// written through SaveFileSafely, so File > Open reads it too; beside it a
// small file holds when it was written. Remove() after a save and a clean
// exit; at the next start Pending() tells whether one is there and when it
// was written, and Restore() gives the document its lines.
//
// The window is never held by the disk: the window's thread only takes a
// snapshot of the three lists (a LineList copy shares the sealed blocks, so
// this costs the plain blocks and the index), and a worker thread owned by
// this object writes it. At most one write is in flight; a newer snapshot,
// or a removal, replaces the one still waiting.
//
// Threads: every public function is called on the window's thread (the one
// that changes the document). The worker touches only the job slot, guarded
// by m_mutex, and the snapshot it took out of it.
#include "link/ThreadSafety.h"
#include "link/TickSource.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class CVELTRANDoc;

class SessionRecovery {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    static constexpr uint32_t kPeriodMs = 30000;
    static constexpr const char* kDocumentName = "session.rty";
    static constexpr const char* kTimeName = "session.written";

    // `folder`: where the copy lives (FolderFor()); made when first written.
    // `clock` spaces the copies and must outlive this object.
    SessionRecovery(CVELTRANDoc& doc, std::string folder, const TickSource& clock = SteadyTickSource::Instance());
    // Stop().
    ~SessionRecovery();
    SessionRecovery(const SessionRecovery&) = delete;
    SessionRecovery& operator=(const SessionRecovery&) = delete;

    // $XDG_STATE_HOME/VELTRAN/recovery (XDG_STATE_HOME unset or not absolute:
    // ~/.local/state); the demo's copy is kept in "demo" below it, so neither
    // ever offers the other's text.
    static std::string FolderFor(bool demo);
    std::string DocumentPath() const;
    std::string TimePath() const;

    // The window's timer: copies the document when it has unsaved changes
    // made since the last copy and kPeriodMs have passed since that copy (the
    // first copy of a run at once). A document without unsaved changes (saved
    // by some path that did not call Remove) has its copy of this run removed.
    void Tick();
    // Copies the document now if it has unsaved changes not yet copied, and
    // returns once every write and removal asked for so far is done (or the
    // copy failed: false). Safe at any time, also after Stop().
    bool WriteNow();
    // Returns once every write and removal asked for so far is done; false
    // when the last of them failed (LastError()).
    bool Flush();
    // The document was saved, or the session ends cleanly (or the operator
    // declined the copy at start): the copy goes. Does not wait.
    void Remove();

    // At start: the copy left by an earlier session, with the time it was
    // written (TimePoint{} when that is not known); nothing when there is none.
    std::optional<TimePoint> Pending() const;
    // The document takes the copy's lines and counts, and stays modified (not
    // saved, no name) so that the operator saves it. The copy stays until
    // then. On failure `error` says why and the document is as it was.
    bool Restore(std::string* error);

    // Carries out what is still waiting and ends the worker. Later calls do
    // their work on the calling thread.
    void Stop();

    // The reason the last write or removal failed; empty when it succeeded.
    std::string LastError() const;

private:
    struct Snapshot;
    struct Job;

    std::unique_ptr<Snapshot> TakeSnapshot() const;
    void Submit(std::unique_ptr<Job> job);
    void Run();
    bool Perform(Job& job, std::string* error) const;

    CVELTRANDoc& m_doc;
    const std::string m_folder;
    const TickSource& m_clock;

    // Window's thread only.
    bool m_bEverCopied = false;   // a copy was started in this run
    bool m_bCopyOnDisk = false;   // this run's copy (or a restored one) is there
    uint32_t m_lastCopyTick = 0;
    uint64_t m_copiedRevision = 0;
    bool m_bStopped = false;

    mutable Mutex m_mutex;
    CondVar m_wake;   // a job came, or Stop()
    CondVar m_idle;   // the worker finished a job
    std::unique_ptr<Job> m_job GUARDED_BY(m_mutex);
    bool m_bBusy GUARDED_BY(m_mutex) = false;
    bool m_bStop GUARDED_BY(m_mutex) = false;
    bool m_bLastOk GUARDED_BY(m_mutex) = true;
    std::string m_lastError GUARDED_BY(m_mutex);
    std::thread m_worker;  // started last
};
