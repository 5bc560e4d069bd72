#pragma once
// An in-memory store that also keeps the order of its writes, as
// "Section/Key" names, for tests of a dialog's write order.
#include "app/MemorySettingsStore.h"

#include <string>
#include <vector>

class RecordingSettingsStore : public MemorySettingsStore {
public:
    void PutInt(std::string_view section, std::string_view key, int value) override
    {
        Record(section, key);
        MemorySettingsStore::PutInt(section, key, value);
    }
    void PutText(std::string_view section, std::string_view key, std::string_view value) override
    {
        Record(section, key);
        MemorySettingsStore::PutText(section, key, value);
    }

    std::vector<std::string> writes;

private:
    void Record(std::string_view section, std::string_view key)
    {
        writes.push_back(std::string(section) + "/" + std::string(key));
    }
};
