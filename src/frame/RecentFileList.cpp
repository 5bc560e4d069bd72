#include "frame/RecentFileList.h"

#include "app/SettingsStore.h"

#include <algorithm>

RecentFileList::RecentFileList(SettingsStore& settings) : m_settings(settings) {}

void RecentFileList::Load()
{
    m_files.clear();
    for (int n = 1; n <= keys::kRecentFileCount; ++n) {
        std::string path = m_settings.GetText(keys::kRecentFiles, keys::RecentFileKey(n), "");
        if (!path.empty() && std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(std::move(path));
    }
}

void RecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    std::erase(m_files, path);
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > static_cast<size_t>(keys::kRecentFileCount))
        m_files.resize(keys::kRecentFileCount);
    Store();
}

void RecentFileList::Remove(const std::string& path)
{
    std::erase(m_files, path);
    Store();
}

void RecentFileList::Store()
{
    // The store never deletes a value: unused slots are written empty.
    for (int n = 1; n <= keys::kRecentFileCount; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        m_settings.PutText(keys::kRecentFiles, keys::RecentFileKey(n), i < m_files.size() ? m_files[i] : "");
    }
}
