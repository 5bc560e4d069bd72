#pragma once
// The most recently used document files (newest first, at most four), kept in
// "Recent File List" "File1".."File4". Written back at every change so that a
// crash does not lose it. Used on the user-interface thread only.
#include <string>
#include <vector>

class SettingsStore;

class RecentFileList {
public:
    explicit RecentFileList(SettingsStore& settings);

    // Reads the stored entries, skipping empty ones.
    void Load();
    // Moves (or adds) `path` to the front; the oldest falls off past four.
    void Add(const std::string& path);
    // Drops `path` (a file that could not be opened).
    void Remove(const std::string& path);
    const std::vector<std::string>& Files() const { return m_files; }

private:
    void Store();

    SettingsStore& m_settings;
    std::vector<std::string> m_files;
};
