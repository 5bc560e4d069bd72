#pragma once
// The band texts under the "Embedded" page's slider, each centred under the
// slider position it stands for.
#include <QWidget>

class QSlider;

class BandScale : public QWidget {
    Q_OBJECT

public:
    explicit BandScale(QSlider& slider, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSlider& m_slider;
};
