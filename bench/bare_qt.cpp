// The reference for start-up time and memory: a bare Qt Widgets window with
// one button, built with the same compiler and flags as the panel.
#include <QApplication>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QPushButton bouton(QStringLiteral("TEST"));
    bouton.setWindowTitle(QStringLiteral("Form1"));
    bouton.show();
    return QApplication::exec();
}
