#pragma once
// The menu bar and one action per command of the command table, with its
// text, prompt, tool tip, image, check mark and accelerator keys from the
// command's row. The actions are shared by the menus and the bars; an action
// whose command has keys but no menu item is added to the window so that its
// keys still work. The File menu lists the recent documents between its last
// two separators. User-interface thread only.
#include "views/CommandTarget.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

class FrameMenus {
public:
    // `run` carries out a triggered command; `aboutToShow` is called before
    // any menu opens; `recent` are the recent documents, newest first.
    // `window` must outlive this.
    FrameMenus(QMainWindow& window, const std::vector<std::string>& recent, std::function<void(int)> run,
               std::function<void()> aboutToShow);

    QAction* Action(int id) const;
    // Enables and checks every action as `state` says.
    void ApplyStates(const std::function<CommandState(int)>& state);
    // Replaces the recent-file items; a disabled placeholder when `files` is empty.
    void ShowRecentFiles(const std::vector<std::string>& files);

private:
    void CreateActions();
    void CreateMenus();

    QMainWindow& m_window;
    std::function<void(int)> m_run;
    std::function<void()> m_aboutToShow;
    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_recentActions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentAnchor = nullptr;
};
