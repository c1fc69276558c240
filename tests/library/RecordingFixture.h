// A catalogue with recordings and their WAV files, in a working folder whose path has blanks and quotes.
#pragma once

#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct RecordingFixture : ::testing::Test {
    QTemporaryDir root;
    QString work = root.filePath(QStringLiteral("calls of \"Ann\" & 'Bob'"));
    ScriptedPrompter prompter;
    std::unique_ptr<Catalogue> catalogue;

    static CatalogueDateFormat usFormat() {
        CatalogueDateFormat format(QLocale(QStringLiteral("en_US")));
        format.setReferenceYear(2026);
        return format;
    }

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/wav")));
        open();
    }
    void open() {
        catalogue = std::make_unique<Catalogue>(work, prompter, usFormat());
        catalogue->openCatalogue();
    }
    TableFile& calls() { return catalogue->recordings(); }

    /// A recording in the selected list ending at 10:00 + `second` s, with its file; returns its id.
    QString record(int second, const QString& memo = QStringLiteral("caller"), bool withFile = true) {
        RecordingEntry entry;
        entry.endTime = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0).addSecs(second));
        entry.callerIdEnabled = true;
        entry.callerId = memo;
        const QString name = catalogue->addRecordingEntry(entry);
        if (withFile)
            writeFile(catalogue->wavPath(name), "RIFF" + name.toUtf8());
        return calls().fieldText(QStringLiteral("id"));
    }
    QString fileOf(const QString& id) {
        EXPECT_TRUE(catalogue->locateRecording(id, true));
        return catalogue->wavPath(catalogue->recordingBaseName());
    }
    void addList(const QString& name) {
        FolderListCommands commands(*catalogue, prompter);
        prompter.texts.push_back(name);
        ASSERT_TRUE(commands.addList());
    }
    void selectList(const QString& name) { catalogue->selectNode(catalogue->folderTree().find(name)); }
    /// The ids of the selected list, in view order.
    QStringList viewIds() {
        QStringList out;
        for (const QVariant& id : calls().viewValues(QStringLiteral("id")))
            out.append(id.toString());
        return out;
    }
    /// The ids on disk, in every list.
    QStringList idsOnDisk() {
        ScriptedPrompter quiet;
        Catalogue again(work, quiet, usFormat());
        again.openCatalogue();
        QStringList out;
        for (const QVariant& id : again.recordings().allValues(QStringLiteral("id")))
            out.append(id.toString());
        return out;
    }
};
