#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvo"));
    QApplication::setApplicationVersion(QStringLiteral("2.8b"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvo"));
    window.resize(800, 560);
    window.show();
    return QApplication::exec();
}
