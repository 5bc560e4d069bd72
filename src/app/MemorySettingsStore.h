#pragma once
// Settings store held in memory: the same reading rules as the real store
// (a value written as text reads as an integer only when it is a whole
// decimal integer; an integer reads as its decimal text), for tests and fakes.
// Not thread-safe, like the store it stands in for.
#include "app/SettingsStore.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

class MemorySettingsStore : public SettingsStore {
public:
    int GetInt(std::string_view section, std::string_view key, int def) const override;
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view def) const override;
    void PutInt(std::string_view section, std::string_view key, int value) override;
    void PutText(std::string_view section, std::string_view key, std::string_view value) override;

    // For tests: whether a value was ever written, and how many writes there were.
    bool Contains(std::string_view section, std::string_view key) const;
    size_t PutCount() const { return m_nPuts; }

private:
    using Value = std::variant<int, std::string>;
    using Name = std::pair<std::string, std::string>;
    const Value* Find(std::string_view section, std::string_view key) const;

    std::map<Name, Value> m_values;
    size_t m_nPuts = 0;
};
