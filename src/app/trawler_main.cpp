// The desktop program's entry point (the main window replaces this shell).
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Trawler");
    window.show();
    return app.exec();
}
