// Tarvik: the control panel of the seven-axis board.
#include "window/main_window.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarvik/tarvik.png")));
    QApplication::setDesktopFileName(QStringLiteral("tarvik"));

    // The panel speaks French, Qt's own dialogs (files, buttons) too.
    QTranslator traductionQt;
    if (traductionQt.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traductionQt);

    Form1 fenetre;
    fenetre.show();
    return QApplication::exec();
}
