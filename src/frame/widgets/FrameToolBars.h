#pragma once
// The main tool bar and the function bar, built from the frame's actions and
// docked on the sides their stored style words name ("Layout" "Toolbar
// Style", "Toolbar Style 2"). Only the function bar's visibility is stored
// ("Toolbar2"); hiding the main bar lasts for the run. The styles and the
// flag are read when the bars are made and written by Save alone.
// User-interface thread only.
#include <cstdint>
#include <functional>

class QAction;
class QMainWindow;
class QToolBar;
class SettingsStore;

class FrameToolBars {
public:
    // `action` gives the shared action of a command. `window` must outlive this.
    FrameToolBars(QMainWindow& window, SettingsStore& settings, const std::function<QAction*(int)>& action);

    QToolBar* MainBar() const { return m_mainBar; }
    QToolBar* FunctionBar() const { return m_funcBar; }
    bool FunctionBarWanted() const { return m_funcBarWanted; }
    void ToggleFunctionBar();
    void ToggleMainBar();

    // Stores both bars' style words with their current docking sides, and the
    // function bar's flag.
    void Save(SettingsStore& settings);

private:
    QMainWindow& m_window;
    QToolBar* m_mainBar = nullptr;
    QToolBar* m_funcBar = nullptr;
    uint32_t m_mainBarStyle = 0;
    uint32_t m_funcBarStyle = 0;
    bool m_funcBarWanted = false;
};
