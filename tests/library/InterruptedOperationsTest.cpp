// A process that ends between any two disk steps of a delete, a move or a list deletion never leaves
// a catalogue row whose file is gone. Each step is tried in a child process that ends right there.
#include "RecordingFixture.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"

#include <QDirIterator>
#include <QSet>
#include <filesystem>
#include <sys/wait.h>

namespace {

constexpr int kInterrupted = 86;

struct InterruptedTest : RecordingFixture {
    QStringList ids;
    QSet<QString> withFiles; // ids whose recording has a file

    void SetUp() override {
        RecordingFixture::SetUp();
        addList(QStringLiteral("Work"));
        addList(QStringLiteral("Home"));
        selectList(QStringLiteral("Work"));
        for (int i = 1; i <= 4; ++i)
            ids.append(record(i, QStringLiteral("work"), i != 3));
        selectList(QStringLiteral("Home"));
        ids.append(record(10, QStringLiteral("home")));
        for (const QString& id : ids)
            if (QFile::exists(fileOf(id)))
                withFiles.insert(id);
        ASSERT_TRUE(catalogue->saveTree());
        catalogue.reset();
    }

    // A fresh copy of the working folder as it was after SetUp.
    QString copy(int n) {
        const QString to = root.filePath(QStringLiteral("run %1").arg(n));
        std::filesystem::copy(std::filesystem::path(work.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                              std::filesystem::copy_options::recursive);
        return to;
    }

    // Runs `operation` on the catalogue of `folder`; the steps it passes are returned, and with
    // `stopAt` > 0 the process ends at that step without any clean-up.
    static QStringList run(const QString& folder, int stopAt,
                           const std::function<void(Catalogue&, RecordingOperations&, ScriptedPrompter&)>& operation) {
        ScriptedPrompter prompter;
        Catalogue catalogue(folder, prompter, usFormat());
        catalogue.openCatalogue();
        MailHandOver mail(folder);
        RecordingOperations operations(catalogue, prompter, mail);
        operations.setAnyList(true);
        QStringList steps;
        catalogue.setStepHook([&steps, stopAt](const QString& step) {
            steps.append(step);
            if (steps.size() == stopAt)
                std::_Exit(kInterrupted);
        });
        operation(catalogue, operations, prompter);
        return steps;
    }

    // What was left on disk: every row's file is there when it was there before.
    void expectNoRowWithoutItsFile(const QString& folder, const QString& context) {
        ScriptedPrompter quiet;
        Catalogue catalogue(folder, quiet, usFormat());
        catalogue.openCatalogue();
        EXPECT_TRUE(quiet.shown.isEmpty()) << context.toStdString() << ": " << quiet.shown.join('|').toStdString();
        for (const QVariant& id : catalogue.recordings().allValues(QStringLiteral("id"))) {
            if (!withFiles.contains(id.toString()))
                continue;
            ASSERT_TRUE(catalogue.locateRecording(id.toString(), true));
            EXPECT_TRUE(QFile::exists(catalogue.wavPath(catalogue.recordingBaseName())))
                << context.toStdString() << ": the row " << id.toString().toStdString() << " lost its file";
        }
        // A file whose row went first is no loss: the next start lists it.
        QStringList rowFiles;
        for (const QVariant& id : catalogue.recordings().allValues(QStringLiteral("id")))
            if (catalogue.locateRecording(id.toString(), true))
                rowFiles.append(QStringLiteral("wav/") + catalogue.recordingBaseName() + QStringLiteral(".wav"));
        const QStringList orphans = catalogue.filesWithoutRow();
        for (const QString& name : QDir(folder + QStringLiteral("/wav")).entryList(QDir::Files))
            EXPECT_TRUE(rowFiles.contains(QStringLiteral("wav/") + name) ||
                        orphans.contains(QStringLiteral("wav/") + name))
                << context.toStdString() << ": " << name.toStdString();
    }

    // Interrupts `operation` at each of its steps in turn; returns the steps of a whole run.
    QStringList
    interruptEachStep(const std::function<void(Catalogue&, RecordingOperations&, ScriptedPrompter&)>& operation) {
        const QStringList steps = run(copy(0), 0, operation);
        for (int stop = 1; stop <= steps.size(); ++stop) {
            const QString folder = copy(stop);
            EXPECT_EXIT(run(folder, stop, operation), ::testing::ExitedWithCode(kInterrupted), "");
            expectNoRowWithoutItsFile(folder, QStringLiteral("after %1 (step %2)").arg(steps.at(stop - 1)).arg(stop));
        }
        return steps;
    }
};

} // namespace

TEST_F(InterruptedTest, DeleteOfMarkedRows) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const QStringList marked{ids[0], ids[2], ids[3]};
    const QStringList steps =
        interruptEachStep([&](Catalogue&, RecordingOperations& operations, ScriptedPrompter& prompter) {
            prompter.answers.push_back(Prompter::Answer::Ok);
            operations.confirmAndDelete(marked);
        });
    // Per row: removed from memory, saved, then its file removed.
    EXPECT_EQ(steps.count(QStringLiteral("delete: saved")), 3) << steps.join(',').toStdString();
    EXPECT_EQ(steps.count(QStringLiteral("delete: file removed")), 3);
    EXPECT_LT(steps.indexOf(QStringLiteral("delete: saved")), steps.indexOf(QStringLiteral("delete: file removed")));
}

TEST_F(InterruptedTest, MoveOfMarkedRows) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const QStringList marked{ids[1], ids[4]};
    const QStringList steps = interruptEachStep([&](Catalogue&, RecordingOperations& operations, ScriptedPrompter&) {
        operations.moveRecordings(marked, QStringLiteral("General"));
    });
    EXPECT_EQ(steps, (QStringList{QStringLiteral("move: rows changed"), QStringLiteral("move: saved")}));
}

TEST_F(InterruptedTest, DeleteOfAListWithItsRecordings) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const QStringList steps =
        interruptEachStep([&](Catalogue& catalogue, RecordingOperations&, ScriptedPrompter& prompter) {
            catalogue.selectNode(catalogue.folderTree().find(QStringLiteral("Work")));
            FolderListCommands commands(catalogue, prompter);
            prompter.answers.push_back(Prompter::Answer::Ok);
            commands.deleteList();
        });
    EXPECT_EQ(steps.count(QStringLiteral("delete: saved")), 1) << "one save for the whole list";
    EXPECT_EQ(steps.count(QStringLiteral("delete: file removed")), 4);
}
