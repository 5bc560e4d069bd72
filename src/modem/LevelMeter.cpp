#include "modem/LevelMeter.h"

#include <algorithm>
#include <cmath>

double LevelMeter::ToDbfs(float peak)
{
    if (!(peak > 0.0f))
        return kFloorDb;
    return std::clamp(20.0 * std::log10(static_cast<double>(peak)), kFloorDb, 0.0);
}

double LevelMeter::ToFraction(double db)
{
    return std::clamp((db - kFloorDb) / -kFloorDb, 0.0, 1.0);
}

void LevelMeter::Feed(float peak, bool clipped, int64_t nowMs)
{
    const double elapsedS = m_bStarted ? std::max<int64_t>(0, nowMs - m_lastMs) / 1000.0 : 0.0;
    m_bStarted = true;
    m_lastMs = nowMs;
    const double db = ToDbfs(peak);
    const double fallen = std::max(kFloorDb, m_levelDb - kFallDbPerSecond * elapsedS);
    m_levelDb = std::max(db, fallen);
    if (m_levelDb >= m_holdDb) {
        m_holdDb = m_levelDb;
        m_holdSinceMs = nowMs;
    } else if (nowMs - m_holdSinceMs > kHoldMs) {
        m_holdDb = std::max(m_levelDb, m_holdDb - kFallDbPerSecond * elapsedS);
    }
    if (clipped)
        m_clipSinceMs = nowMs;
    m_bClipping = clipped || (m_bClipping && nowMs - m_clipSinceMs <= kClipHoldMs);
}
