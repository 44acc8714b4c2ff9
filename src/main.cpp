#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vornel::startUp();
    const int code = QApplication::exec();
    vornel::shutDown();
    return code;
}
