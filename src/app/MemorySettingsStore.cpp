#include "app/MemorySettingsStore.h"

#include "app/StoredInt.h"

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view section,
                                                            std::string_view key) const
{
    const auto it = m_values.find(Name{std::string(section), std::string(key)});
    return it == m_values.end() ? nullptr : &it->second;
}

int MemorySettingsStore::GetInt(std::string_view section, std::string_view key, int def) const
{
    const Value* v = Find(section, key);
    if (!v)
        return def;
    if (const int* i = std::get_if<int>(v))
        return *i;
    int parsed = def;
    return ParseStoredInt(std::get<std::string>(*v), parsed) ? parsed : def;
}

std::string MemorySettingsStore::GetText(std::string_view section, std::string_view key,
                                         std::string_view def) const
{
    const Value* v = Find(section, key);
    if (!v)
        return std::string(def);
    if (const int* i = std::get_if<int>(v))
        return std::to_string(*i);
    return std::get<std::string>(*v);
}

void MemorySettingsStore::PutInt(std::string_view section, std::string_view key, int value)
{
    m_values[Name{std::string(section), std::string(key)}] = value;
    ++m_nPuts;
}

void MemorySettingsStore::PutText(std::string_view section, std::string_view key,
                                  std::string_view value)
{
    m_values[Name{std::string(section), std::string(key)}] = std::string(value);
    ++m_nPuts;
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view key) const
{
    return Find(section, key) != nullptr;
}
