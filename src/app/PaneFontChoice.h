#pragma once
// A font chosen for a pane (by the Ports dialog's font buttons) and what
// choosing it does: the face, style, size and colour are written to "Layout"
// in that order, and the application's font and colour of that kind are
// replaced at once (the panes use them at their next repaint).
#include <QColor>
#include <QFont>

class CVELTRANApp;

enum class PaneFontKind { Rtty, Tnc };

struct PaneFontChoice {
    QFont font;
    QColor color;
};

void ApplyPaneFontChoice(CVELTRANApp& app, PaneFontKind kind, const PaneFontChoice& choice);
