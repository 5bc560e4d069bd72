#pragma once
// At start: the recovery copy an earlier session left (SessionRecovery.h).
//
// The question comes before the main window and its panes are made: the
// panes send their startup tapes as soon as an event loop runs, and a modal
// box runs one. Asked first, the operator answers before anything is sent,
// the earlier copy cannot be overwritten by this session while the box is
// up, and the restored text comes before the startup tapes' lines.
//
// No removes the copy at once. Yes restores it once the document named on
// the command line (or a new one) is in place, so that the restored lines
// are what the operator sees, unsaved and untitled. Only then are the
// document commands, the window's timer and the exit given the recovery, so
// that opening that first document does not remove the copy.
// User-interface thread only.
#include <QString>

#include <functional>

class CVELTRANApp;
class DocumentController;
class SessionRecovery;

class RecoveryStart {
public:
    // True for Yes.
    using AskFn = std::function<bool(const QString& question)>;

    explicit RecoveryStart(SessionRecovery& recovery) : m_recovery(recovery) {}

    // Asks when a copy is there; nothing when there is none.
    void Ask(const AskFn& ask);
    // Restores when the answer was Yes; then hands the recovery to `docs` and
    // `app`. False only when a restore was asked for and failed (reported).
    bool Apply(DocumentController& docs, CVELTRANApp& app);

private:
    SessionRecovery& m_recovery;
    bool m_bRestore = false;
};
