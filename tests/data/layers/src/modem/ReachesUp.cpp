// A modem file that reaches up into the windowed program.
#include "gui/MainWindow.h"
