#pragma once
// The font chooser of the Ports dialog's font buttons: the system's font
// dialog limited to fixed-pitch fonts, with the text colour chosen beside it.
#include "app/PaneFontChoice.h"

#include <QDialog>
#include <optional>

class QFontDialog;
class QPushButton;

class PaneFontDialog : public QDialog {
    Q_OBJECT

public:
    PaneFontDialog(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    PaneFontChoice Choice() const;

    // Runs the chooser modally; nothing when it is cancelled.
    static std::optional<PaneFontChoice> Choose(QWidget* parent, const QFont& font, const QColor& color);

private:
    void ShowColour();

    QFontDialog* m_fonts = nullptr;
    QPushButton* m_colourButton = nullptr;
    QColor m_color;
};
