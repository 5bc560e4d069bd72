// VELTRAN entry point: only wires the subsystems together.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("VELTRAN");
    window.show();
    return app.exec();
}
