#pragma once
// While alive, the calling thread acts without root's file-permission
// overrides (CAP_CHOWN, CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER),
// so a test of a read-only folder or of another account's file means the
// same under root (as CI runs) as under a normal user. Capabilities belong
// to the thread, so the rest of the test process is not affected.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class NoFileOverride {
public:
    NoFileOverride()
    {
        m_ok = ::syscall(SYS_capget, &m_header, m_saved) == 0;
        if (!m_ok)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_CHOWN) | (1u << CAP_DAC_OVERRIDE) |
                                  (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_ok = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~NoFileOverride()
    {
        if (m_ok)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    NoFileOverride(const NoFileOverride&) = delete;
    NoFileOverride& operator=(const NoFileOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
};
