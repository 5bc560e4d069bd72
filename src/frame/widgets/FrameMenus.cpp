#include "frame/widgets/FrameMenus.h"

#include "app/CommandTable.h"
#include "frame/widgets/FrameIcons.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

bool IsRecentFile(int id)
{
    return id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4;
}

}  // namespace

FrameMenus::FrameMenus(QMainWindow& window, const std::vector<std::string>& recent, std::function<void(int)> run,
                       std::function<void()> aboutToShow)
    : m_window(window), m_run(std::move(run)), m_aboutToShow(std::move(aboutToShow))
{
    CreateActions();
    CreateMenus();
    ShowRecentFiles(recent);
}

void FrameMenus::CreateActions()
{
    for (const CommandInfo& c : CommandTable()) {
        if (IsRecentFile(c.id))
            continue;  // made per file by ShowRecentFiles
        auto* action = new QAction(&m_window);
        const QString text = QString::fromLatin1(c.menuText);
        action->setText(text.isEmpty() ? QString::fromLatin1(c.toolTip) : text);
        action->setStatusTip(QString::fromLatin1(c.prompt));
        action->setToolTip(QString::fromLatin1(c.toolTip));
        action->setIcon(FrameIcons::ForCommand(c.id));
        action->setData(c.id);
        action->setCheckable(c.checkable);
        QList<QKeySequence> shortcuts;
        for (const std::string& keys : KeysForCommand(c.id))
            shortcuts.append(QKeySequence(QString::fromLatin1(keys.c_str())));
        action->setShortcuts(shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = c.id;
        QObject::connect(action, &QAction::triggered, &m_window, [this, id] { m_run(id); });
        m_actions[id] = action;
        if (!shortcuts.isEmpty() && text.isEmpty())
            m_window.addAction(action);
    }
}

void FrameMenus::CreateMenus()
{
    QMenuBar* bar = m_window.menuBar();
    auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(m_actions.at(id));
        }
    };
    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    add(m_fileMenu, {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_FILE_REPORT, 0,
                     ID_FILE_EXPORT_TAPE, ID_FILE_IMPORT_TAPE});
    QMenu* sendTape = m_fileMenu->addMenu(QStringLiteral("Se&nd Tape"));
    add(sendTape, {ID_SEND_CQ, ID_SEND_BRAG, ID_SEND_EXCHANGE});
    add(m_fileMenu, {0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_FILE_SEND_MAIL});
    m_recentAnchor = m_fileMenu->addSeparator();
    m_fileMenu->addSeparator();
    add(m_fileMenu, {ID_APP_EXIT});

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    add(edit, {ID_EDIT_PASTE, 0});
    QMenu* tapes = edit->addMenu(QStringLiteral("&Tapes"));
    add(tapes, {ID_EDIT_CQ_TAPE, ID_EDIT_BRAG_TAPE, ID_EDIT_EXCHANGE_TAPE, ID_EDIT_STARTUP_TAPE,
                ID_EDIT_TNC_STARTUP_TAPE, 0, ID_EDIT_NEW_TAPE});
    add(edit, {ID_EDIT_MACROS, 0, ID_EDIT_SWAP_FIGS, ID_EDIT_SWAP_LINE, 0, ID_EDIT_CLEAR_SCREEN});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    add(view, {ID_VIEW_TOOLBAR, ID_VIEW_FUNCTION_BAR, ID_VIEW_STATUS_BAR, ID_VIEW_TUNING, 0, ID_WINDOW_SPLIT});

    // No mnemonic on T: Alt+T is the Transmit accelerator, which must win.
    QMenu* tools = bar->addMenu(QStringLiteral("T&ools"));
    add(tools, {ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE, ID_TOOLS_CLEAR_TX_BUFFER, 0,
                ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE, ID_TOOLS_CHAR_MODE, 0, ID_TOOLS_KCALL, 0, ID_TOOLS_PORTS,
                ID_TOOLS_OPTIONS});

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {ID_HELP_FINDER, 0, ID_APP_ABOUT});

    for (QMenu* menu : {m_fileMenu, sendTape, edit, tapes, view, tools, help})
        QObject::connect(menu, &QMenu::aboutToShow, &m_window, [this] { m_aboutToShow(); });
}

void FrameMenus::ShowRecentFiles(const std::vector<std::string>& files)
{
    for (QAction* a : m_recentActions) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const CommandInfo* info = FindCommand(ID_FILE_MRU_FILE1);
    QAction* before = nullptr;
    const QList<QAction*> all = m_fileMenu->actions();
    const qsizetype anchor = all.indexOf(m_recentAnchor);
    if (anchor >= 0 && anchor + 1 < all.size())
        before = all[anchor + 1];
    if (files.empty()) {
        auto* placeholder = new QAction(QString::fromLatin1(info->menuText), &m_window);
        placeholder->setEnabled(false);
        m_fileMenu->insertAction(before, placeholder);
        m_recentActions.push_back(placeholder);
        return;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = QString::fromLocal8Bit(files[i].c_str());
        const int id = ID_FILE_MRU_FILE1 + static_cast<int>(i);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), &m_window);
        action->setStatusTip(QString::fromLatin1(info->prompt));
        action->setData(id);
        QObject::connect(action, &QAction::triggered, &m_window, [this, id] { m_run(id); });
        m_fileMenu->insertAction(before, action);
        m_recentActions.push_back(action);
    }
}

QAction* FrameMenus::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void FrameMenus::ApplyStates(const std::function<CommandState(int)>& state)
{
    for (const auto& [id, action] : m_actions) {
        const CommandState s = state(id);
        action->setEnabled(s.enabled);
        if (action->isCheckable())
            action->setChecked(s.checked);
    }
}
