#include "macros/widgets/DigitsOnlyEdit.h"

#include <QApplication>
#include <QKeyEvent>

void DigitsOnlyEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && !text.isEmpty() && text[0].isPrint()) {
        for (QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}
