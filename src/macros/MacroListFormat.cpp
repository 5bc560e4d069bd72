#include "macros/MacroListFormat.h"

#include "app/Latin1Text.h"
#include "app/SettingsKeys.h"
#include "macros/MacroStore.h"

#include <string>

namespace {

QString Body(const QString& prefix, const QString& entry)
{
    return (prefix + entry).left(MacroListFormat::kMaxBodyChars);
}

}  // namespace

QString MacroListFormat::ControlEntry(const MacroStore& store, char letter)
{
    switch (letter) {
    case 'D': return QStringLiteral("Date");
    case 'I': return QStringLiteral("Serial Number with Increment");
    case 'J': return QStringLiteral("Serial Number");
    case 'M': return QStringLiteral("Mode");
    case 'Q': return QStringLiteral("Quit: Stop Transmit");
    case 'T': return QStringLiteral("Time");
    case 'W': return QStringLiteral("Write: Start Transmit");
    default: break;
    }
    if (letter == keys::MacroBandForPrint.key[0])
        return Latin1(store.Get(keys::MacroBandForPrint.key, keys::MacroBandForPrint.def));
    return Latin1(store.Get(std::string(1, letter), ""));
}

std::vector<QString> MacroListFormat::Lines(const MacroStore& store, const QString& heading)
{
    std::vector<QString> lines(kFirstControlLine);
    lines[2] = heading;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        lines.push_back(Body(QStringLiteral("Control-%1:  ").arg(QLatin1Char(letter)), ControlEntry(store, letter)));
    for (int k : {2, 4, 5, 6, 7, 8, 9}) {
        const std::string key = "F" + std::to_string(k);
        lines.push_back(Body(QStringLiteral("       F%1:  ").arg(k), Latin1(store.Get(key, ""))));
    }
    return lines;
}
