#pragma once
// An input level bar: the level from the floor to full scale, the held peak
// as a line, and "CLIP" in red while the input clips. It only paints what
// SetReading gives it (LevelMeter does the arithmetic).
#include <QWidget>

class LevelMeter;

class LevelBar : public QWidget {
    Q_OBJECT

public:
    explicit LevelBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Repaints only when the reading changed.
    void SetReading(const LevelMeter& meter);
    // No reading (nothing to measure): an empty bar.
    void Clear();

    bool Clipping() const { return m_bClipping; }
    // What the bar shows, as its tool tip says it: "-12 dBFS", "-3 dBFS, clipping".
    QString Text() const { return toolTip(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Set(double fraction, double hold, bool clipping, const QString& text);

    Qt::Orientation m_orientation;
    double m_fraction = 0.0;
    double m_hold = 0.0;
    bool m_bClipping = false;
};
