#pragma once
// Dialog units of the page templates in pixels of a widget's font: a
// horizontal unit is a quarter of the average character width, a vertical
// unit an eighth of the line height.
#include <QFontMetrics>
#include <QSize>
#include <QWidget>

namespace DialogUnits {

inline int X(const QWidget& w, int dlu)
{
    return dlu * w.fontMetrics().averageCharWidth() / 4;
}

inline int Y(const QWidget& w, int dlu)
{
    return dlu * w.fontMetrics().height() / 8;
}

inline QSize Size(const QWidget& w, int xDlu, int yDlu)
{
    return QSize(X(w, xDlu), Y(w, yDlu));
}

}  // namespace DialogUnits
