#include "app/widgets/LevelBar.h"

#include "modem/LevelMeter.h"

#include <QPainter>
#include <cmath>

namespace {

// Where the bar turns from green to amber: a level the operator should stay under.
constexpr double kWarnDb = -6.0;

}  // namespace

LevelBar::LevelBar(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), m_orientation(orientation)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Clear();
}

QSize LevelBar::sizeHint() const
{
    return m_orientation == Qt::Horizontal ? QSize(200, 18) : QSize(18, 120);
}

void LevelBar::SetReading(const LevelMeter& meter)
{
    QString text = QStringLiteral("%1 dBFS").arg(std::lround(meter.LevelDb()));
    if (meter.Clipping())
        text += QStringLiteral(", clipping");
    Set(meter.Fraction(), meter.HoldFraction(), meter.Clipping(), text);
}

void LevelBar::Clear()
{
    Set(0.0, 0.0, false, QStringLiteral("No input"));
}

void LevelBar::Set(double fraction, double hold, bool clipping, const QString& text)
{
    if (fraction == m_fraction && hold == m_hold && clipping == m_bClipping && text == toolTip())
        return;
    m_fraction = fraction;
    m_hold = hold;
    m_bClipping = clipping;
    setToolTip(text);
    update();
}

void LevelBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, QColor(24, 24, 24));
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    const int warnAt = static_cast<int>(LevelMeter::ToFraction(kWarnDb) * length);
    const int level = static_cast<int>(m_fraction * length);
    // The part of the bar from `from` to `to` along its length.
    const auto part = [&](int from, int to) {
        return horizontal ? QRect(from, 0, to - from, r.height()) : QRect(0, length - to, r.width(), to - from);
    };
    p.fillRect(part(0, std::min(level, warnAt)), QColor(40, 190, 60));
    if (level > warnAt)
        p.fillRect(part(warnAt, level), QColor(230, 170, 30));
    const int hold = std::clamp(static_cast<int>(m_hold * length), 1, length);
    p.fillRect(part(hold - 1, hold), Qt::white);
    if (m_bClipping) {
        const int clip = std::max(4, length / 12);
        p.fillRect(part(length - clip, length), QColor(220, 30, 30));
        if (horizontal) {
            p.setPen(Qt::white);
            p.drawText(part(length - 4 * clip, length - clip), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("CLIP "));
        }
    }
}
