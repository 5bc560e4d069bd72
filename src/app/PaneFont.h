#pragma once
// Pane fonts and text colours as the settings keep them ("Layout"
// "RTTYFaceName"/"RTTYSize"/"RTTYColor" and the "DNC" keys).
// Size: the font's height in pixels as the font chooser reports it; a negative
// value (character height) and a positive one (cell height) both give that
// many pixels, 0 (or a size beyond kMaxPanePixels) lets the system choose. Colour: 0x00BBGGRR, or
// keys::kSystemColor for the palette's window-text colour.
// QtGui only; call with a QGuiApplication alive for the system font/palette.
#include <QColor>
#include <QFont>

#include <string>

inline constexpr int kMaxPanePixels = 256;

// Fixed pitch, medium weight (500); an empty face is the system's fixed font.
QFont MakePaneFont(const std::string& face, int size);

QColor PaneColor(int storedRgb);
// The stored form of a colour (0x00BBGGRR), for writing a chosen colour back.
int StoredRgb(const QColor& color);
