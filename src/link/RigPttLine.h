#pragma once
// CAT PTT: the radio's own PTT command, carried out by a Rig on its own
// thread. Set never waits for the
// radio, so the link's keying waits stay exactly what they are; the rig
// carries out a request within a few milliseconds, well inside the 100 ms
// the link waits after keying before the first character.
//
// The rig is shared: the program's rig also polls frequency and mode. A rig
// that doesn't answer for now doesn't make the line down (the rig's status
// pane says so, and it comes back by itself): the rig carries out the latest
// request when it answers again, so it ends in the state the link wants.
#include "link/PttLine.h"
#include "link/Rig.h"

#include <atomic>
#include <memory>

class RigPttLine : public PttLine {
public:
    // CAT PTT through the program's rig (ProgramRig), as it is now.
    static std::unique_ptr<PttLine> Cat();

    explicit RigPttLine(std::shared_ptr<Rig> rig) : m_rig(std::move(rig)) {}
    ~RigPttLine() override { Close(); }

    // Fails only without a rig; a rig that is down for now still takes the
    // released state, which it carries out when it answers again.
    bool Open(std::string& error) override;
    void Close() override;
    void Set(bool keyed) override;
    bool IsKeyed() const override { return m_keyed.load(); }
    bool IsDown() const override { return !m_rig; }

private:
    std::shared_ptr<Rig> m_rig;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_keyed{false};
};
