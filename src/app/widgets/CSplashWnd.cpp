#include "app/widgets/CSplashWnd.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

CSplashWnd* g_splash = nullptr;

// Sees every event of the program while the splash is up.
class SplashEventFilter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!g_splash)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claim the key so that no accelerator fires; the key press that
            // follows removes the splash.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (event->type() == QEvent::KeyPress)
                CSplashWnd::HideSplashScreen();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const Qt::MouseButton b = mouse->button();
            if (b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton)
                return false;
            CSplashWnd::HideSplashScreen();
            return true;
        }
        default:
            return false;
        }
    }
};

SplashEventFilter* Filter()
{
    static SplashEventFilter* filter = new SplashEventFilter;
    return filter;
}

}  // namespace

CSplashWnd::CSplashWnd(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The main window keeps the keyboard: the splash never becomes active.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

CSplashWnd::~CSplashWnd()
{
    if (g_splash == this)
        g_splash = nullptr;
}

void CSplashWnd::ShowSplashScreen(QWidget* mainWindow)
{
    if (g_splash) {
        g_splash->update();
        return;
    }
    const QPixmap picture(QStringLiteral(":/splash.png"));
    const QPixmap art = picture.isNull() ? QIcon(QStringLiteral(":/splash.svg")).pixmap(QSize(440, 260)) : picture;
    if (art.isNull())
        return;  // nothing to show
    g_splash = new CSplashWnd(art);
    g_splash->m_mainWindow = mainWindow;
    qApp->installEventFilter(Filter());
    g_splash->show();
    g_splash->raise();
}

CSplashWnd* CSplashWnd::Current()
{
    return g_splash;
}

void CSplashWnd::HideSplashScreen()
{
    CSplashWnd* splash = g_splash;
    if (!splash)
        return;
    g_splash = nullptr;
    qApp->removeEventFilter(Filter());
    QPointer<QWidget> main = splash->m_mainWindow;
    splash->hide();
    splash->deleteLater();
    if (main) {
        // Some window systems give the splash the keyboard when it shows.
        main->activateWindow();
        main->update();
    }
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}
