#pragma once
// The start-up splash: a borderless window exactly as large as its picture,
// centred on the screen. While it is up, every key press and every left,
// right or middle mouse press anywhere in the program removes it and does
// nothing else (the event is consumed). Nothing else removes it.
// User-interface thread only.
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    // Shows the splash (repaints it when it is already up). `mainWindow` is
    // repainted when the splash goes; it may be nullptr.
    static void ShowSplashScreen(QWidget* mainWindow = nullptr);
    // The splash now up, or nullptr.
    static CSplashWnd* Current();
    // Removes the splash (no-op when none).
    static void HideSplashScreen();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CSplashWnd(const QPixmap& picture);
    ~CSplashWnd() override;

    QPixmap m_picture;
    QPointer<QWidget> m_mainWindow;
};
