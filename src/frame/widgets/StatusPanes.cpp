#include "frame/widgets/StatusPanes.h"

#include "app/CommandTable.h"
#include "app/Latin1Text.h"
#include "frame/LockKeys.h"
#include "frame/widgets/RigStatusPane.h"

#include <QLabel>
#include <QStatusBar>

namespace {

constexpr const char* kIdleText = "For Help, press F1";

}  // namespace

StatusPanes::StatusPanes(QStatusBar& bar) : m_bar(bar), m_diddleText(IndicatorText(ID_INDICATOR_DIDDLE))
{
    bar.setObjectName(QStringLiteral("StatusBar"));
    m_idleLabel = new QLabel(QString::fromLatin1(kIdleText), &bar);
    bar.addWidget(m_idleLabel, 1);
    const char* initial[10] = {"",
                               IndicatorText(ID_INDICATOR_SPACER1),
                               IndicatorText(ID_INDICATOR_SPACER2),
                               IndicatorText(ID_INDICATOR_DIDDLE),
                               IndicatorText(ID_INDICATOR_AUTO),
                               IndicatorText(ID_INDICATOR_MODE),
                               IndicatorText(ID_INDICATOR_BAUD),
                               "CAP",
                               "NUM",
                               "SCRL"};
    bar.addPermanentWidget(new RigStatusPane(&bar));
    for (int i = 1; i < 10; ++i) {
        auto* label = new QLabel(&bar);
        label->setObjectName(QStringLiteral("StatusPane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        const QString text = QString::fromLatin1(initial[i]);
        const int margins = 2 * (label->frameWidth() + label->margin()) + 6;
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) + margins);
        label->setText(text);
        bar.addPermanentWidget(label);
        m_panes[static_cast<size_t>(i)] = label;
    }
    m_panes[4]->setText(QString());
    RefreshLockPanes();
}

void StatusPanes::SetDiddleText(const std::string& text)
{
    m_diddleText = text;
    m_panes[3]->setText(Latin1(text));
}

void StatusPanes::SetAutoText(const std::string& text)
{
    m_autoText = text;
    m_panes[4]->setText(Latin1(text));
}

void StatusPanes::SetModeText(const std::string& text)
{
    m_panes[5]->setText(Latin1(text));
}

void StatusPanes::SetBaudNumber(int n)
{
    m_panes[6]->setText(QString::number(n));
}

void StatusPanes::MarkPorts(const QString& tip, bool down)
{
    const QString mark = down ? QStringLiteral("QLabel { color: #c00000; font-weight: bold; }") : QString();
    for (QLabel* pane : {m_panes[5], m_panes[6]}) {
        pane->setToolTip(tip);
        if (pane->styleSheet() != mark)  // this runs twice a second: restyle only on a change
            pane->setStyleSheet(mark);
    }
}

void StatusPanes::SetMessage(const QString& text)
{
    if (text.isEmpty())
        m_bar.clearMessage();
    else
        m_bar.showMessage(text);
}

void StatusPanes::Refresh()
{
    SetDiddleText(m_diddleText);
    SetAutoText(m_autoText);
    RefreshLockPanes();
}

QString StatusPanes::Text(int pane) const
{
    if (pane == 0) {
        const QString message = m_bar.currentMessage();
        return message.isEmpty() ? m_idleLabel->text() : message;
    }
    if (pane < 1 || pane > 9)
        return {};
    return m_panes[static_cast<size_t>(pane)]->text();
}

void StatusPanes::RefreshLockPanes()
{
    const LockKeyState locks = ReadLockKeyState();
    m_panes[7]->setText(locks.caps ? QStringLiteral("CAP") : QString());
    m_panes[8]->setText(locks.num ? QStringLiteral("NUM") : QString());
    m_panes[9]->setText(locks.scroll ? QStringLiteral("SCRL") : QString());
}
