#include "views/widgets/SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

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
    if ((change == SliderRangeChange || change == SliderValueChange) && m_bShown && CurrentLook() == m_shown)
        return;
    QScrollBar::sliderChange(change);
}

void SteadyScrollBar::paintEvent(QPaintEvent* event)
{
    m_shown = CurrentLook();
    m_bShown = true;
    QScrollBar::paintEvent(event);
}
