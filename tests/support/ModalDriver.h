#pragma once
// Drives a modal dialog from a test: the action runs once the next modal
// dialog is up (its exec() loop is running), with the dialog as argument.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

inline void WhenModal(std::function<void(QDialog*)> action, int attempts = 200)
{
    QTimer::singleShot(5, [action = std::move(action), attempts]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && attempts > 0) {
            WhenModal(std::move(action), attempts - 1);
            return;
        }
        action(dialog);
    });
}

// Clicks a dialog's OK or Cancel with a real mouse event.
inline void ClickButton(QDialog* dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

// Answers the next message box with OK, keeping its text in `text` (which
// must outlive the box); nothing happens when no box comes.
inline void AnswerMessageBox(QString* text)
{
    WhenModal([text](QDialog* dialog) {
        if (!dialog)
            return;
        *text = dialog->property("text").toString();
        dialog->accept();
    });
}
