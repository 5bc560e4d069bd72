#pragma once
// The PTT line of a radio keyed by its VOX: there is nothing to drive; the
// keyed state is kept so the port can tell it, and the line never goes down.
//
// Thread-safe: the state is one atomic.
#include "link/PttLine.h"

#include <atomic>

class NoPttLine : public PttLine {
public:
    bool Open(std::string&) override
    {
        m_bKeyed = false;
        return true;
    }
    void Close() override { m_bKeyed = false; }
    void Set(bool keyed) override { m_bKeyed = keyed; }
    bool IsKeyed() const override { return m_bKeyed; }
    bool IsDown() const override { return false; }

private:
    std::atomic<bool> m_bKeyed{false};
};
