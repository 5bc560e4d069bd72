#include "views/widgets/PaneScrollBar.h"

#include <QScrollBar>
#include <QSignalBlocker>

PaneScrollBar::PaneScrollBar(QScrollBar* bar, PaneViewport& viewport, std::function<int64_t()> lineCount,
                             std::function<void()> scrolled, QObject* parent)
    : QObject(parent),
      m_bar(bar),
      m_viewport(viewport),
      m_lineCount(std::move(lineCount)),
      m_scrolled(std::move(scrolled))
{
    m_bar->setSingleStep(1);
    connect(m_bar, &QAbstractSlider::actionTriggered, this, &PaneScrollBar::OnAction);
    m_viewport.SetBarWriter([this](const ScrollBarState& state) {
        const QSignalBlocker quiet(m_bar);
        m_bar->setRange(state.minimum, state.maximum);
        // The slider position too: a bar action applies it after its signal.
        m_bar->setSliderPosition(state.position);
        m_bar->setValue(state.position);
        m_bar->setEnabled(state.enabled);
    });
}

void PaneScrollBar::OnAction(int action)
{
    ScrollRequest request = ScrollRequest::kOther;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: request = ScrollRequest::kLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: request = ScrollRequest::kLineDown; break;
    case QAbstractSlider::SliderPageStepSub: request = ScrollRequest::kPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: request = ScrollRequest::kPageDown; break;
    case QAbstractSlider::SliderToMinimum: request = ScrollRequest::kTop; break;
    case QAbstractSlider::SliderToMaximum: request = ScrollRequest::kBottom; break;
    case QAbstractSlider::SliderMove: request = ScrollRequest::kThumbTrack; break;
    default: return;
    }
    const int thumb = m_bar->sliderPosition();
    if (m_lineCount)
        m_viewport.SetLineCount(m_lineCount());
    m_viewport.Scroll(request, thumb);
    if (m_scrolled)
        m_scrolled();
}
