#include "qorgenerator.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(qor::applicationTitle));
    qor::QorGenerator window;
    window.show();
    return QApplication::exec();
}
