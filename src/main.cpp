// orlamo: the windowed program.
#include "app/gui/OrlamoApplication.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orlamo"));
    OrlamoApplication orlamo(QApplication::arguments().mid(1));
    return orlamo.run();
}
