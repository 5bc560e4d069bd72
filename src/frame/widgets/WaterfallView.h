#pragma once
// The tuning display's waterfall: the capture audio from 0 to 3 kHz, newest
// row on top, with a frequency scale and the mark (yellow) and space (cyan)
// tones marked. A left click there makes the clicked frequency the mark
// tone: the running modem is asked to retune (AudioTap::RequestMark) and
// the RTTY port's stored value gets the matching mark= (StoreRttyMark).
//
// The view never polls: its owner calls Advance once a frame (TuningDock,
// at most 20 times a second while shown); it repaints only when a new row
// came or a tone moved. Window thread only.
#include "modem/Waterfall.h"

#include <QImage>
#include <QWidget>
#include <array>

class AudioTap;
class SettingsStore;

class WaterfallView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kScaleHeight = 14;

    WaterfallView(AudioTap& tap, SettingsStore& settings, QWidget* parent = nullptr);

    // One frame: takes a new row from the tap when audio came.
    void Advance();
    const Waterfall& Model() const { return m_waterfall; }
    // The frequency a click at x (in the view) chooses, whole Hz.
    double HzAt(int x) const;

    QSize sizeHint() const override { return {600, 120}; }

signals:
    void MarkChosen(double markHz);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Reshape();

    AudioTap& m_tap;
    SettingsStore& m_settings;
    Waterfall m_waterfall;
    QImage m_rows;       // a ring of rows; m_head is the newest
    int m_head = 0;
    int m_mark = -1;     // columns of the tones as last painted
    int m_space = -1;
    std::array<QRgb, 256> m_palette{};
};
