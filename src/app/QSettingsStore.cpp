#include "app/QSettingsStore.h"

#include "app/Latin1Text.h"
#include "app/StoredInt.h"

#include <QStringList>
#include <QVariant>

namespace {

QString ValueName(std::string_view section, std::string_view key)
{
    return Latin1(section) + QLatin1Char('/') + Latin1(key);
}

// A value that was never written, or one that only a hand edit could have
// made into something other than a single string, has no text.
bool TextOf(const QVariant& v, QString& text)
{
    if (!v.isValid())
        return false;
    if (v.typeId() == QMetaType::QStringList) {
        text = v.toStringList().join(QLatin1Char(','));
        return true;
    }
    text = v.toString();
    return true;
}

}  // namespace

QSettingsStore::QSettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvane"),
                 QStringLiteral("VELTRAN"))
{
}

QSettingsStore::QSettingsStore(const QString& filePath)
    : m_settings(filePath, QSettings::NativeFormat)
{
}

int QSettingsStore::GetInt(std::string_view section, std::string_view key, int def) const
{
    const QVariant v = m_settings.value(ValueName(section, key));
    if (v.typeId() == QMetaType::Int)
        return v.toInt();
    QString text;
    if (!TextOf(v, text))
        return def;
    int parsed = def;
    return ParseStoredInt(text.toLatin1().toStdString(), parsed) ? parsed : def;
}

std::string QSettingsStore::GetText(std::string_view section, std::string_view key,
                                    std::string_view def) const
{
    QString text;
    if (!TextOf(m_settings.value(ValueName(section, key)), text))
        return std::string(def);
    return text.toLatin1().toStdString();
}

void QSettingsStore::PutInt(std::string_view section, std::string_view key, int value)
{
    m_settings.setValue(ValueName(section, key), value);
}

void QSettingsStore::PutText(std::string_view section, std::string_view key, std::string_view value)
{
    m_settings.setValue(ValueName(section, key), Latin1(value));
}

void QSettingsStore::Sync()
{
    m_settings.sync();
}
