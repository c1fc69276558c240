// The "Calls" page: newest call first, the line's text shown as plain text, Play only for a recorded call.
#include "library/gui/CallLogView.h"
#include "library/CallLogModel.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

TEST(CallLogView, ShowsNewestFirstAndPlaysOnlyARecordedCall) {
    CallLogRow missed;
    missed.when = QDateTime(QDate(2026, 12, 1), QTime(9, 0));
    missed.number = QStringLiteral("5551234");
    missed.name = QStringLiteral("<b>JOHN</b>");
    missed.outcome = CallOutcome::NotAnswered;
    CallLogRow recorded = missed;
    recorded.when = QDateTime(QDate(2026, 12, 2), QTime(9, 0));
    recorded.outcome = CallOutcome::Recorded;
    recorded.recordingId = QStringLiteral("R1");

    CallLogView view;
    view.setRows({missed, recorded});
    QSignalSpy play(&view, &CallLogView::playRequested);
    const CallLogModel& model = *view.model();
    EXPECT_EQ(model.data(model.index(0, CallLogModel::OutcomeColumn)).toString(), QStringLiteral("Recorded"));
    EXPECT_EQ(model.data(model.index(1, CallLogModel::OutcomeColumn)).toString(), QStringLiteral("Not answered"));
    EXPECT_EQ(model.data(model.index(1, CallLogModel::NameColumn)).toString(), QStringLiteral("<b>JOHN</b>"));

    view.table()->setCurrentIndex(model.index(1, 0));
    EXPECT_FALSE(view.playButton()->isEnabled());
    view.table()->setCurrentIndex(model.index(0, 0));
    ASSERT_TRUE(view.playButton()->isEnabled());
    view.playButton()->click();
    ASSERT_EQ(play.size(), 1);
    EXPECT_EQ(play.first().at(0).toString(), QStringLiteral("R1"));
}
