#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class ScratchDir {
public:
    ScratchDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "veltran-XXXXXX").string();
        if (::mkdtemp(tmpl.data()))
            m_path = tmpl;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Empty when the directory could not be made.
    const std::string& Path() const { return m_path; }

    // Writes `content` byte for byte to `name` inside the directory; returns its path.
    std::string Write(const std::string& name, const std::string& content) const
    {
        const std::string path = m_path + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << content;
        return path;
    }

private:
    std::string m_path;
};
