#include "frame/widgets/FramePanes.h"

#include "app/CVELTRANApp.h"
#include "app/SettingsStore.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/SendWiring.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QSplitter>
#include <algorithm>

namespace {

constexpr int kMinPaneHeight = 50;

}  // namespace

FramePanes::FramePanes(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget& window,
                       std::function<void()> activeChanged)
    : m_activeChanged(std::move(activeChanged))
{
    SettingsStore& s = app.Settings();
    const int split1 = s.Get(keys::Split);
    const int split2 = s.Get(keys::Split2);
    m_splitter = new QSplitter(Qt::Vertical, &window);
    m_splitter->setObjectName(QStringLiteral("PaneSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_receive = new CVELTRANView(app, doc, status, m_splitter);
    m_transmit = new CVELTRANView3(app, doc, status, m_splitter);
    m_tnc = new CVELTRANView2(app, doc, status, m_splitter);
    WireSendsAndTapes(app, doc, *m_transmit, *m_tnc);
    m_receive->setWhatsThis(QStringLiteral("The receive page: text received from the RTTY modem."));
    m_transmit->setWhatsThis(QStringLiteral("The transmit pane: type here what is to be sent."));
    m_tnc->setWhatsThis(QStringLiteral("The TNC terminal: talk to the modem's controller."));
    m_splitter->addWidget(m_receive);
    m_splitter->addWidget(m_transmit);
    m_splitter->addWidget(m_tnc);
    m_receive->setMinimumHeight(kMinPaneHeight);
    m_transmit->setMinimumHeight(kMinPaneHeight);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setStretchFactor(2, 1);
    m_splitter->setSizes({std::max(split1, kMinPaneHeight), std::max(split2, kMinPaneHeight), 60});

    QWidget* active = s.Get(keys::RTTYPort) > 0 ? static_cast<QWidget*>(m_transmit) : static_cast<QWidget*>(m_tnc);
    m_active = active;
    active->setFocus(Qt::OtherFocusReason);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

void FramePanes::RouteTo(CommandRouter& router) const
{
    router.SetPane(CommandRouter::Pane::kReceive, m_receive);
    router.SetPane(CommandRouter::Pane::kTransmit, m_transmit);
    router.SetPane(CommandRouter::Pane::kTnc, m_tnc);
}

CommandRouter::Pane FramePanes::ActivePane() const
{
    const QWidget* active = m_active.data();
    if (active && active == m_receive)
        return CommandRouter::Pane::kReceive;
    if (active && active == m_transmit)
        return CommandRouter::Pane::kTransmit;
    if (active && active == m_tnc)
        return CommandRouter::Pane::kTnc;
    return CommandRouter::Pane::kNone;
}

void FramePanes::OnFocusChanged(QWidget* now)
{
    for (QWidget* w = now; w; w = w->parentWidget()) {
        if (w == m_receive || w == m_transmit || w == m_tnc) {
            SetActive(w);
            return;
        }
    }
}

void FramePanes::SetActive(QWidget* pane)
{
    if (m_active == pane)
        return;
    m_active = pane;
    m_activeChanged();  // the editing commands follow the active pane
}

void FramePanes::MoveFocus(int step)
{
    QWidget* panes[3] = {m_receive, m_transmit, m_tnc};
    int current = 0;
    for (int i = 0; i < 3; ++i) {
        if (panes[i] == m_active)
            current = i;
    }
    QWidget* next = panes[(current + step + 3) % 3];
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    SetActive(next);
}

void FramePanes::RepaintAll()
{
    for (QWidget* v : {static_cast<QWidget*>(m_receive), static_cast<QWidget*>(m_transmit),
                       static_cast<QWidget*>(m_tnc)}) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(v))
            area->viewport()->update();
    }
}

void FramePanes::SaveHeights(SettingsStore& s) const
{
    const QList<int> sizes = m_splitter->sizes();
    if (sizes.size() >= 2) {
        s.Put(keys::Split, sizes[0]);
        s.Put(keys::Split2, sizes[1]);
    }
}
