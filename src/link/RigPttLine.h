#pragma once
// PTT through a rig: CAT (the radio's own PTT command) or a CM108 adapter's
// GPIO, both carried out by a Rig on its own thread. Set never waits for the
// radio, so the link's keying waits stay exactly what they are; the rig
// carries out a request within a few milliseconds, well inside the 100 ms
// the link waits after keying before the first character.
//
// The rig is shared: the program's rig also polls frequency and mode.
#include "link/PttLine.h"
#include "link/Rig.h"

#include <atomic>
#include <memory>

class RigPttLine : public PttLine {
public:
    // CAT PTT through the program's rig (ProgramRig), as it is now.
    static std::unique_ptr<PttLine> Cat();
    // PTT on a CM108 adapter's GPIO (`hidraw`: its /dev/hidrawN), through a
    // rig of its own that only keys.
    static std::unique_ptr<PttLine> Cm108(const std::string& hidraw);

    explicit RigPttLine(std::shared_ptr<Rig> rig) : m_rig(std::move(rig)) {}
    ~RigPttLine() override { Close(); }

    // Fails only without a rig; a rig that is down for now still takes the
    // released state, which it carries out when it answers again.
    bool Open(std::string& error) override;
    void Close() override;
    void Set(bool keyed) override;
    bool IsKeyed() const override { return m_keyed.load(); }
    bool IsDown() const override { return !m_rig || m_rig->IsDown(); }

private:
    std::shared_ptr<Rig> m_rig;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_keyed{false};
};
