#include "frame/widgets/FrameToolBars.h"

#include "app/CommandTable.h"
#include "app/SettingsStore.h"
#include "frame/BarStyle.h"

#include <QMainWindow>
#include <QToolBar>
#include <vector>

namespace {

Qt::ToolBarArea AreaOf(DockSide side)
{
    switch (side) {
    case DockSide::Left:
        return Qt::LeftToolBarArea;
    case DockSide::Right:
        return Qt::RightToolBarArea;
    case DockSide::Bottom:
        return Qt::BottomToolBarArea;
    case DockSide::Top:
        break;
    }
    return Qt::TopToolBarArea;
}

DockSide SideOf(Qt::ToolBarArea area)
{
    switch (area) {
    case Qt::LeftToolBarArea:
        return DockSide::Left;
    case Qt::RightToolBarArea:
        return DockSide::Right;
    case Qt::BottomToolBarArea:
        return DockSide::Bottom;
    default:
        return DockSide::Top;
    }
}

// Buttons in order; 0 is a separator.
QToolBar* MakeBar(QMainWindow& window, const QString& name, const std::vector<int>& ids, QSize iconSize,
                  const std::function<QAction*(int)>& action)
{
    auto* bar = new QToolBar(name, &window);
    bar->setObjectName(name);
    bar->setIconSize(iconSize);
    bar->setMovable(true);
    bar->setFloatable(false);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : ids) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(action(id));
    }
    return bar;
}

}  // namespace

FrameToolBars::FrameToolBars(QMainWindow& window, SettingsStore& settings, const std::function<QAction*(int)>& action)
    : m_window(window)
{
    m_funcBarWanted = settings.Get(keys::Toolbar2) != 0;
    m_mainBarStyle = static_cast<uint32_t>(settings.Get(keys::ToolbarStyle)) | barstyle::kCreateExtras;
    m_funcBarStyle = static_cast<uint32_t>(settings.Get(keys::ToolbarStyle2)) | barstyle::kCreateExtras;

    m_mainBar = MakeBar(window, QStringLiteral("Toolbar"),
                        {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_SEND_CQ, ID_SEND_BRAG, ID_SEND_EXCHANGE, 0,
                         ID_EDIT_PASTE, ID_EDIT_SWAP_FIGS, ID_EDIT_MACROS, ID_EDIT_CLEAR_SCREEN, 0, ID_FILE_PRINT, 0,
                         ID_TOOLS_PORTS, 0, ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE,
                         ID_TOOLS_CLEAR_TX_BUFFER, ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE, ID_TOOLS_CHAR_MODE, 0,
                         ID_APP_ABOUT},
                        QSize(21, 18), action);
    m_funcBar = MakeBar(window, QStringLiteral("Function Bar"),
                        {ID_MACRO_F2, ID_MACRO_F4, ID_MACRO_F5, ID_MACRO_F6, ID_MACRO_F7, ID_MACRO_F8, ID_MACRO_F9},
                        QSize(16, 15), action);
    window.addToolBar(AreaOf(DockSideOfStyle(m_mainBarStyle)), m_mainBar);
    window.addToolBar(AreaOf(DockSideOfStyle(m_funcBarStyle)), m_funcBar);
    m_funcBar->setVisible(m_funcBarWanted);
}

void FrameToolBars::ToggleFunctionBar()
{
    m_funcBarWanted = !m_funcBarWanted;
    m_funcBar->setVisible(m_funcBarWanted);
}

void FrameToolBars::ToggleMainBar()
{
    m_mainBar->setVisible(m_mainBar->isHidden());
}

void FrameToolBars::Save(SettingsStore& settings)
{
    // Only the docking side changes; the stored word keeps every other bit,
    // the visible bit included (hiding the main bar lasts for the run only).
    m_mainBarStyle = StyleWithDockSide(m_mainBarStyle, SideOf(m_window.toolBarArea(m_mainBar)));
    m_funcBarStyle = StyleWithDockSide(m_funcBarStyle, SideOf(m_window.toolBarArea(m_funcBar)));
    settings.Put(keys::ToolbarStyle, static_cast<int>(m_mainBarStyle));
    settings.Put(keys::ToolbarStyle2, static_cast<int>(m_funcBarStyle));
    settings.Put(keys::Toolbar2, m_funcBarWanted ? 1 : 0);
}
