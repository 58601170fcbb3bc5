#include <QApplication>

#include "app/program.h"
#include "app/render.h"
#include "data/resources.h"

int main(int argc, char** argv) {
    const int status = korvalen::app::RunCommandLine(argc, argv);
    if (status >= 0) return status;

    korvalen::app::PrepareWindowSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvalen");
    korvalen::data::InitResources();
    korvalen::app::Program program(QCoreApplication::applicationDirPath());
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    program.Start(arguments);
    return QApplication::exec();
}
