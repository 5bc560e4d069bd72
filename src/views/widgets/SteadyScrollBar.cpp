#include "views/widgets/SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

SteadyScrollBar::SteadyScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

SteadyScrollBar::Look SteadyScrollBar::CurrentLook() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look look;
    look.slider = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    look.atMinimum = value() == minimum();
    look.atMaximum = value() == maximum();
    look.sliderDown = isSliderDown();
    return look;
}

void SteadyScrollBar::sliderChange(SliderChange change)
{
    // Orientation and step changes, and anything before the first paint,
    // go the usual way.
    if ((change != SliderRangeChange && change != SliderValueChange) || !m_bShown) {
        QScrollBar::sliderChange(change);
        return;
    }
    // A new range and the value that follows it come one after the other,
    // and the bar in between may look different from both: the look is
    // compared once they are all set, when the event loop comes back.
    if (m_bCheckPending)
        return;
    m_bCheckPending = true;
    QTimer::singleShot(0, this, [this] {
        m_bCheckPending = false;
        if (!(CurrentLook() == m_shown))
            update();
    });
}

void SteadyScrollBar::paintEvent(QPaintEvent* event)
{
    m_shown = CurrentLook();
    m_bShown = true;
    QScrollBar::paintEvent(event);
}
