#pragma once
// A pane's vertical scroll bar that repaints only when it would look
// different. A long list that grows by a few lines many times a second
// changes the bar's range and value each time, but its slider rarely moves
// by a pixel; the plain bar repaints itself (groove, arrows and slider) on
// every change. User-interface thread only.
#include <QRect>
#include <QScrollBar>

class SteadyScrollBar : public QScrollBar {
public:
    explicit SteadyScrollBar(QWidget* parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the bar's pixels depend on among the values that sliderChange reports.
    struct Look {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool sliderDown = false;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;

    Look m_shown;
    bool m_bShown = false;  // m_shown holds what the last paint drew
    bool m_bCheckPending = false;
};
