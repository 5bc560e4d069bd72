#pragma once
// A one-line edit field that takes typed digits only; other typed characters
// are dropped with a beep. Text set from code (a stored serial number) is
// shown as it is, so a stored non-numeric text is neither lost nor blocks
// editing.
#include <QLineEdit>

class DigitsOnlyEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
