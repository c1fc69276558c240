// Shared by the benchmarks: a prompter that answers nothing and a catalogue of many recordings.
#pragma once

#include "base/Prompter.h"
#include "library/Catalogue.h"

#include <QDateTime>

class SilentPrompter : public Prompter {
public:
    void message(const QString&, Icon) override {}
    Answer confirm(const QString&, Buttons, Answer defaultAnswer) override { return defaultAnswer; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString& value) override { return value; }
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }
};

/// Appends `rows` recordings to the selected folder of an open catalogue, 431 s apart from 2020-01-01,
/// with memos from `memo`, and saves the table once.
template <class Memo> void fillCatalogue(Catalogue& catalogue, int rows, Memo memo) {
    TableFile& calls = catalogue.recordings();
    const QString folderId = catalogue.folders().fieldText(QStringLiteral("FolderId"));
    QDateTime end(QDate(2020, 1, 1), QTime(8, 0));
    for (int i = 0; i < rows; ++i) {
        end = end.addSecs(431);
        calls.append();
        calls.setFieldValue(QStringLiteral("id"), QStringLiteral("%1").arg(i, 8, 36, QLatin1Char('0')));
        calls.setFieldValue(QStringLiteral("Channel"), 1);
        calls.setFieldValue(QStringLiteral("FolderId"), folderId);
        calls.setFieldValue(QStringLiteral("DateS"), catalogue.formats().dateText(end.date()));
        calls.setFieldValue(QStringLiteral("TimeS"), catalogue.formats().timeText(end.time()));
        calls.setFieldValue(QStringLiteral("Duration"), Catalogue::durationText(i % 900));
        calls.setFieldValue(QStringLiteral("Comment"), memo(i));
        calls.post();
    }
    calls.saveTable();
}
