// Tarvik: the control panel of the seven-axis board.
#include "window/main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));

    Form1 fenetre;
    fenetre.show();
    return QApplication::exec();
}
