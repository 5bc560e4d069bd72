#include "frame/TapeEditor.h"

#include "app/FileSystem.h"
#include "app/SettingsStore.h"
#include "app/SystemErrorText.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

QString Q(const std::string& s)
{
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s)
{
    const QByteArray b = s.toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// 0 for a regular file this process may run; else EISDIR for a folder,
// EACCES for anything else there, or why the path names nothing.
int ExecutableError(const std::string& path)
{
    FileSystem& fs = ProgramFileSystem();
    FileInfo info;
    if (const int err = fs.Stat(path, info))
        return err;
    if (info.kind != FileInfo::Kind::Regular || fs.Access(path, FileAccess::kExecute) != 0)
        return info.kind == FileInfo::Kind::Directory ? EISDIR : EACCES;
    return 0;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string Getenv(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

}  // namespace

EditorEnvironment EditorEnvironment::FromProcess()
{
    EditorEnvironment env;
    env.find = FindExecutable;
    env.desktop = !Getenv("DISPLAY").empty() || !Getenv("WAYLAND_DISPLAY").empty();
    env.visual = Getenv("VISUAL");
    env.editor = Getenv("EDITOR");
    return env;
}

std::string FindExecutable(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return ExecutableError(name) == 0 ? name : std::string();
    QStringList dirs;
    if (QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath();
    QString found = dirs.isEmpty() ? QString() : QStandardPaths::findExecutable(Q(name), dirs);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(Q(name));
    return S(found);
}

EditorCommand ResolveTapeEditor(const std::string& stored, const std::string& file, const EditorEnvironment& env)
{
    EditorCommand cmd;
    if (!file.empty())
        cmd.args.push_back(file);
    if (stored.find('/') != std::string::npos) {
        cmd.program = stored;  // a path is used as it stands, found or not
        return cmd;
    }
    if (const std::string found = env.find ? env.find(stored) : std::string(); !found.empty()) {
        cmd.program = found;
        return cmd;
    }
    cmd.program = stored;  // not found: starting it reports why
    if (stored != keys::Editor.def)
        return cmd;

    // The default editor is not on this system: the desktop's one instead.
    if (env.desktop && !file.empty() && env.find) {
        if (const std::string open = env.find("xdg-open"); !open.empty()) {
            cmd.program = open;
            cmd.description = "the desktop's editor for text files (xdg-open)";
            return cmd;
        }
    }
    const bool visual = !env.visual.empty();
    const std::vector<std::string> words = Words(visual ? env.visual : env.editor);
    if (words.empty())
        return cmd;
    const std::string program =
        words[0].find('/') != std::string::npos ? words[0] : (env.find ? env.find(words[0]) : std::string());
    if (program.empty())
        return cmd;
    cmd.program = program;
    cmd.args.assign(words.begin() + 1, words.end());
    if (!file.empty())
        cmd.args.push_back(file);
    cmd.description = std::string(visual ? "$VISUAL" : "$EDITOR") + " (" + words[0] + ") in the terminal";
    return cmd;
}

bool DetachedProcessLauncher::StartDetached(const std::string& program, const std::vector<std::string>& args,
                                            int& error)
{
    if (program.find('/') == std::string::npos) {
        error = ENOENT;  // the search did not find it
        return false;
    }
    if (const int err = ExecutableError(program)) {
        error = err;
        return false;
    }
    QStringList list;
    for (const std::string& a : args)
        list << Q(a);
    // Each argument reaches the program as it is: no shell, no quoting.
    if (!QProcess::startDetached(Q(program), list)) {
        error = ENOEXEC;
        return false;
    }
    return true;
}

std::string LaunchTapeEditor(const SettingsStore& settings, const std::string& file, ProcessLauncher& launcher,
                             const EditorEnvironment& env)
{
    const EditorCommand cmd = ResolveTapeEditor(settings.Get(keys::Editor), file, env);
    int error = 0;
    if (launcher.StartDetached(cmd.program, cmd.args, error))
        return {};
    return SystemErrorText(error);
}
