#pragma once
// The per-user settings store on QSettings: organisation "Quorvane",
// application "VELTRAN", native format (on Linux an INI file under
// $XDG_CONFIG_HOME/Quorvane/VELTRAN.conf). Sections are groups, keys are
// spelled as in the key table. Texts are stored as Latin-1 strings, so every
// byte comes back as written: QSettings writes the file in UTF-8 and puts a
// text in double quotes when it holds a comma, a semicolon or an equals sign
// or begins or ends with a blank, escapes quotes and backslashes with a
// backslash and control characters as \xNN, and doubles a leading "@". A
// hand-written value must follow the same rules (README, "Settings"): left
// unquoted, a comma splits it into a list (read back as its items joined by
// ",", blanks around them lost) and a semicolon starts a comment.
// The file does not tell integers from texts, so
// a value reads as an integer exactly when its text is a whole decimal integer
// (ParseStoredInt); anything else gives the caller's default.
// Used on the user-interface thread only.
#include "app/SettingsStore.h"

#include <QSettings>
#include <QString>

class QSettingsStore : public SettingsStore {
public:
    // The user's store.
    QSettingsStore();
    // A store in the given file (tests, portable set-ups).
    explicit QSettingsStore(const QString& filePath);

    int GetInt(std::string_view section, std::string_view key, int def) const override;
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view def) const override;
    void PutInt(std::string_view section, std::string_view key, int value) override;
    void PutText(std::string_view section, std::string_view key, std::string_view value) override;

    // Writes pending changes to disk now (QSettings also does so on its own
    // and when the store is destroyed).
    void Sync();
    QString FileName() const { return m_settings.fileName(); }

private:
    QSettings m_settings;
};
