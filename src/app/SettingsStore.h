#pragma once
// The per-user settings store: named sections of named integer and text values.
// Nothing is cached: every reader asks with a default at the moment of use and
// every writer writes straight back. Texts are 8-bit byte strings (Latin-1),
// never re-encoded. Used on the user-interface thread only.
#include "app/SettingsKeys.h"

#include <string>
#include <string_view>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored integer, or `def` when the value is absent or is not an integer.
    virtual int GetInt(std::string_view section, std::string_view key, int def) const = 0;
    // The stored text, or `def` when absent.
    virtual std::string GetText(std::string_view section, std::string_view key,
                                std::string_view def) const = 0;
    // Create or replace a value. Failures are not reported.
    virtual void PutInt(std::string_view section, std::string_view key, int value) = 0;
    virtual void PutText(std::string_view section, std::string_view key, std::string_view value) = 0;

    // Reads and writes through the one key table (SettingsKeys.h).
    int Get(const IntKey& k) const { return GetInt(k.section, k.key, k.def); }
    std::string Get(const TextKey& k) const { return GetText(k.section, k.key, k.def); }
    void Put(const IntKey& k, int value) { PutInt(k.section, k.key, value); }
    void Put(const TextKey& k, std::string_view value) { PutText(k.section, k.key, value); }
};
