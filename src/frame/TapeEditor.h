#pragma once
// Starting the tape editor: which program, with which arguments, and what to
// tell the operator when it cannot start. The program is started detached,
// with the file as one argument (never through a shell), and never waited for.
//
// The stored "Editor" (default "notepad.exe") is looked up on the executable
// search path when it has no "/"; a name with one is used as it stands. The
// default does not exist on this system: when it is still the stored editor
// and cannot be found, the desktop's editor for text files is used instead
// (xdg-open with a desktop session, else $VISUAL or $EDITOR in the terminal
// the program was started from). Nothing is written to the settings for it.
#include <functional>
#include <string>
#include <vector>

class SettingsStore;

// What the resolution may look at; the real one reads the process's environment.
struct EditorEnvironment {
    // The full path of an executable found by the system's search, or empty.
    std::function<std::string(const std::string& name)> find;
    bool desktop = false;  // a desktop session is running (DISPLAY or WAYLAND_DISPLAY)
    std::string visual;    // $VISUAL
    std::string editor;    // $EDITOR

    static EditorEnvironment FromProcess();
};

struct EditorCommand {
    std::string program;            // empty: nothing to start (see `problem`)
    std::vector<std::string> args;  // the file last, as one argument
    std::string description;        // for the Options dialog, when the default was replaced
    std::string problem;            // why nothing can be started
};

// The program's own search: its own directory, then PATH. A name with a "/"
// is found when it is an executable file.
std::string FindExecutable(const std::string& name);

EditorCommand ResolveTapeEditor(const std::string& storedEditor, const std::string& file,
                                const EditorEnvironment& env);

// Starts processes; tests record the command lines instead.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // False with an errno value when the program cannot be started.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args, int& error) = 0;
};

class DetachedProcessLauncher : public ProcessLauncher {
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& args, int& error) override;
};

// Starts the editor on `file` (empty: no file). Returns the message to show
// (the system's text for the failure, or "Unknown Error"), empty on success.
std::string LaunchTapeEditor(const SettingsStore& settings, const std::string& file, ProcessLauncher& launcher,
                             const EditorEnvironment& env);
