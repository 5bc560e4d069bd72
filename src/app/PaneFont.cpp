#include "app/PaneFont.h"

#include "app/SettingsKeys.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cstdlib>

QFont MakePaneFont(const std::string& face, int size)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!face.empty())
        font.setFamily(QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size())));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Medium);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // A size no font chooser gives (beyond kMaxPanePixels either way, INT_MIN
    // among them) would leave a pane unreadable: the system chooses then.
    if (size != 0 && size >= -kMaxPanePixels && size <= kMaxPanePixels)
        font.setPixelSize(std::abs(size));
    return font;
}

QColor PaneColor(int storedRgb)
{
    if (storedRgb == keys::kSystemColor) {
        if (qGuiApp)
            return QGuiApplication::palette().color(QPalette::WindowText);
        return QColor(Qt::black);
    }
    const auto v = static_cast<uint32_t>(storedRgb);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

int StoredRgb(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}
