#include "macros/widgets/BandScale.h"

#include "macros/MacroStore.h"

#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

BandScale::BandScale(QSlider& slider, QWidget* parent) : QWidget(parent), m_slider(slider)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize BandScale::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("00 ")) * MacroStore::kBandCount,
                 fontMetrics().height());
}

void BandScale::paintEvent(QPaintEvent*)
{
    QStyleOptionSlider opt;
    opt.initFrom(&m_slider);
    opt.orientation = Qt::Horizontal;
    opt.minimum = m_slider.minimum();
    opt.maximum = m_slider.maximum();
    opt.sliderPosition = m_slider.minimum();
    const QStyle* style = m_slider.style();
    const QRect groove = style->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, &m_slider);
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, &m_slider);
    const int span = groove.width() - handle.width();
    // The slider and the scale share the page's left edge and width.
    const int offset = m_slider.x() - x() + groove.x() + handle.width() / 2;
    QPainter painter(this);
    for (int i = 0; i < MacroStore::kBandCount; ++i) {
        const int centre = offset + QStyle::sliderPositionFromValue(opt.minimum, opt.maximum, i, span);
        const QString text = QString::fromStdString(MacroStore::BandIndexToText(i));
        const int w = fontMetrics().horizontalAdvance(text);
        painter.drawText(QRect(centre - w, 0, 2 * w, height()), Qt::AlignHCenter | Qt::AlignTop, text);
    }
}
