// orlamo: the windowed program.
#include "gui/WindowedProgram.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orlamo"));
    WindowedProgram orlamo(QApplication::arguments().mid(1));
    return orlamo.run();
}
