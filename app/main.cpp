#include <QApplication>

#include "app/program.h"
#include "app/render.h"
#include "data/resources.h"

int main(int argc, char** argv) {
    const int status = korvalen::app::RunCommandLine(argc, argv);
    if (status >= 0) return status;

    korvalen::app::PrepareWindowSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(KORVALEN_NAME));
    korvalen::data::InitResources();
    korvalen::app::Program program(QCoreApplication::applicationDirPath());
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    program.Start(arguments);
    // An end asked for while a message of the start-up waited (a signal, the
    // session's end) left that message's loop, not this one, which would
    // otherwise begin now and never end. The settings are written already.
    if (program.EndCount() > 0) return 0;
    return QApplication::exec();
}
