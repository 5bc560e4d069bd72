#include "frame/widgets/RigStatusPane.h"

#include "frame/RigPaneText.h"
#include "link/ProgramRig.h"

RigStatusPane::RigStatusPane(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("RigPane"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int margins = 2 * (frameWidth() + margin()) + 6;
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("1296.085000 MHz PKTUSB")) + margins);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &RigStatusPane::Refresh);
    m_timer.start();
    Refresh();
}

void RigStatusPane::Refresh()
{
    const RigPaneText pane = ComputeRigPane(ProgramRigReading());
    setText(QString::fromLatin1(pane.text.c_str()));
    setToolTip(QString::fromLocal8Bit(pane.toolTip.c_str()));
    // Marked like a port that is down; restyled only on a change.
    const QString mark = pane.down ? QStringLiteral("QLabel { color: #c00000; font-weight: bold; }") : QString();
    if (styleSheet() != mark)
        setStyleSheet(mark);
}
