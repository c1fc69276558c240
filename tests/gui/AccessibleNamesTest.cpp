// What a screen reader hears: every control of every window has a name, and the controls whose
// meaning is not in their name have a description.
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "support/ScriptedPrompter.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool isControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

QString accessibleText(QWidget* w, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(which).trimmed() : QString();
}

/// "window/objectName (class)" of each control without a name, in every window.
QStringList unnamedControls() {
    QStringList unnamed;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName().isEmpty() || window->inherits("QMenu"))
            continue;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            // The parts of a compound control (a combo box's line edit, a spin box's editor, a
            // view's scroll bars and header) are named by the control they belong to.
            if (!isControl(w) || w->window() != window || w->objectName().startsWith(QLatin1String("qt_")) ||
                w->inherits("QTableCornerButton") || qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
                qobject_cast<QComboBox*>(w->parentWidget()) || w->inherits("QScrollBar") || w->inherits("QHeaderView"))
                continue;
            if (accessibleText(w, QAccessible::Name).isEmpty())
                unnamed << window->objectName() + QLatin1Char('/') + w->objectName() + QStringLiteral(" (") +
                               QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(')');
        }
    }
    return unnamed;
}

} // namespace

TEST(AccessibleNames, EveryControlOfEveryWindowHasANameAndTheViewsADescription) {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    WindowedProgram app({QStringLiteral("--unattended"), QStringLiteral("--workdir"), dir.path()}, &prompter);
    app.create();
    const QStringList unnamed = unnamedControls();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QLatin1Char('\n')).toStdString();
    MainWindow& main = *app.mainWindow();
    // The buttons that show only a picture are called by their hints.
    const std::pair<const char*, const char*> hinted[] = {{"nbFirst", "First file"}, {"nbPrior", "Prior file"},
                                                          {"nbNext", "Next file"},   {"nbLast", "Last file"},
                                                          {"DeleteSb", "Delete"},    {"HelpSb", "Help"}};
    for (const auto& [name, hint] : hinted)
        EXPECT_EQ(accessibleText(main.findChild<QWidget*>(QLatin1String(name)), QAccessible::Name),
                  QLatin1String(hint));
    for (const char* name : {"TrackBar1", "TrackBar2", "DBGrid1", "Tree", "Panel3"}) {
        QWidget* w = main.findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_FALSE(accessibleText(w, QAccessible::Description).isEmpty()) << name;
    }
    QDir::setCurrent(QDir::tempPath());
}
