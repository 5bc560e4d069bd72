#include "frame/widgets/WaterfallView.h"

#include "app/TuningMark.h"
#include "modem/AudioTap.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTickHz = 500;

// Black through blue and green to white: weak signals stay visible, strong
// ones stand out.
QRgb PaletteColour(int i)
{
    const double t = i / 255.0;
    const auto ramp = [t](double from, double to) { return std::clamp((t - from) / (to - from), 0.0, 1.0); };
    const int r = static_cast<int>(255 * ramp(0.55, 0.9));
    const int g = static_cast<int>(255 * ramp(0.3, 0.75));
    const int b = static_cast<int>(255 * std::min(ramp(0.0, 0.35), 1.0 - 0.6 * ramp(0.4, 0.7)) + 255 * ramp(0.85, 1.0));
    return qRgb(r, g, std::clamp(b, 0, 255));
}

}  // namespace

WaterfallView::WaterfallView(AudioTap& tap, SettingsStore& settings, QWidget* parent)
    : QWidget(parent), m_tap(tap), m_settings(settings)
{
    setObjectName(QStringLiteral("waterfall"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, kScaleHeight + 20);
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("Click a signal's mark tone to tune to it"));
    for (int i = 0; i < 256; ++i)
        m_palette[static_cast<size_t>(i)] = PaletteColour(i);
    Reshape();
}

void WaterfallView::Reshape()
{
    const int w = std::max(1, width());
    const int h = std::max(1, height() - kScaleHeight);
    if (m_rows.width() == w && m_rows.height() == h)
        return;
    m_waterfall.SetColumns(w);
    m_rows = QImage(w, h, QImage::Format_RGB32);
    m_rows.fill(m_palette[0]);
    m_head = 0;
}

void WaterfallView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Reshape();
}

double WaterfallView::HzAt(int x) const
{
    return std::round(m_waterfall.HzForColumn(std::clamp(x, 0, m_waterfall.Columns() - 1)));
}

void WaterfallView::Advance()
{
    const bool newRow = m_waterfall.Update(m_tap);
    const bool tonesMoved = m_waterfall.MarkColumn() != m_mark || m_waterfall.SpaceColumn() != m_space;
    if (newRow) {
        m_head = (m_head + m_rows.height() - 1) % m_rows.height();
        auto* line = reinterpret_cast<QRgb*>(m_rows.scanLine(m_head));
        const std::vector<uint8_t>& row = m_waterfall.Row();
        const size_t n = std::min(row.size(), static_cast<size_t>(m_rows.width()));
        for (size_t c = 0; c < n; ++c)
            line[c] = m_palette[row[c]];
    }
    m_mark = m_waterfall.MarkColumn();
    m_space = m_waterfall.SpaceColumn();
    if (newRow || tonesMoved)
        update();
}

void WaterfallView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = m_rows.width();
    const int h = m_rows.height();
    // Newest row first: from the ring's head to its end, then its start.
    p.drawImage(QRect(0, kScaleHeight, w, h - m_head), m_rows, QRect(0, m_head, w, h - m_head));
    if (m_head > 0)
        p.drawImage(QRect(0, kScaleHeight + h - m_head, w, m_head), m_rows, QRect(0, 0, w, m_head));

    p.fillRect(0, 0, width(), kScaleHeight, QColor(40, 40, 40));
    QFont small = font();
    small.setPixelSize(kScaleHeight - 4);
    p.setFont(small);
    p.setPen(QColor(200, 200, 200));
    for (int hz = 0; hz <= static_cast<int>(Waterfall::kTopHz); hz += kTickHz) {
        const int x = std::max(0, m_waterfall.ColumnForHz(hz));
        p.drawLine(x, kScaleHeight - 4, x, kScaleHeight - 1);
        if (hz > 0 && hz < Waterfall::kTopHz)
            p.drawText(x + 2, kScaleHeight - 4, QString::number(hz));
    }
    const auto marker = [&](int column, const QColor& colour, const QString& label) {
        if (column < 0)
            return;
        p.setPen(colour);
        p.drawLine(column, kScaleHeight, column, height() - 1);
        p.drawText(column + 2, height() - 3, label);
    };
    marker(m_mark, QColor(255, 220, 0), QStringLiteral("M"));
    marker(m_space, QColor(0, 220, 255), QStringLiteral("S"));
}

void WaterfallView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_tap.IsActive()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const double hz = HzAt(static_cast<int>(event->position().x()));
    m_tap.RequestMark(hz);
    StoreRttyMark(m_settings, hz);
    emit MarkChosen(hz);
}
