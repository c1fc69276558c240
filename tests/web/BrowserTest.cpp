// The page in a real browser: headless Chromium over WebDriver on orlamo-cli record with the simulated
// modem. Without the browser the test says so and skips; with CI set it fails.
#include "AudioTestData.h"
#include "WebDriver.h"
#include "audio/drivers/GsmDriver.h"
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"
#include "web/PasswordHash.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString cli() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

bool waitForLine(QProcess& process, QByteArray& seen, const QByteArray& wanted) {
    while (!seen.contains(wanted)) {
        if (!process.waitForReadyRead(30000))
            return false;
        seen += process.readAllStandardOutput();
    }
    return true;
}

// Two recordings (one of them a minute of GSM) and a second list, made before the recorder starts.
void makeCatalogue(const QString& work) {
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/wav")));
    ScriptedPrompter prompter;
    Catalogue catalogue(work, prompter);
    catalogue.openCatalogue();
    const QByteArray second = audiotest::encode(audiotest::toBytes(audiotest::tone(8000)), GsmDriver::gsmFormat(8000));
    const QStringList memos{QStringLiteral("dentist"), QStringLiteral("Smith about the roof")};
    for (int i = 0; i < memos.size(); ++i) {
        RecordingEntry entry;
        entry.endTime = QDateTime(QDate(2026, 12, 10), QTime(9, 30 + i, 0));
        entry.audioBytes = second.size() * 60;
        entry.avgBytesPerSec = GsmDriver::gsmFormat(8000).avgBytesPerSec();
        entry.callerIdEnabled = true;
        entry.callerId = memos.at(i);
        const QString name = catalogue.addRecordingEntry(entry);
        audiotest::writeWav(catalogue.wavPath(name), GsmDriver::gsmFormat(8000), second.repeated(60));
    }
    FolderListCommands lists(catalogue, prompter);
    prompter.texts.push_back(QStringLiteral("Family"));
    ASSERT_TRUE(lists.addList());
    ASSERT_TRUE(catalogue.saveTree());
    catalogue.close();
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

const QString kRows = QStringLiteral("return document.querySelectorAll('#recordings tbody tr').length");

} // namespace

TEST(Browser, FindsHearsAnnotatesFilesAndDeletesACallAndSeesTheNextOneArrive) {
    if (!WebDriver::available()) {
        if (qEnvironmentVariableIsEmpty("CI"))
            GTEST_SKIP() << "no browser: " << WebDriver::chromium().toStdString() << " or "
                         << WebDriver::chromedriver().toStdString() << " is missing";
        FAIL() << "no browser: chromium and chromium-driver are installed by scripts/setup";
    }
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    makeCatalogue(dir.path());
    const quint16 port = freePort();
    const QByteArray web = "[Params]\r\nDiscTime=2\r\n[Web]\r\nEnabled=1\r\nPort=" + QByteArray::number(port) +
                           "\r\nPasswordHash=" + PasswordHash::make(QStringLiteral("correct horse"), 1000).toLatin1() +
                           "\r\n";
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini")), web));
    QProcess recorder;
    recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(waitForLine(recorder, out, "Web page at http://127.0.0.1:")) << out.constData();
    ASSERT_TRUE(waitForLine(recorder, out, "Enabling autoRecord mode")) << out.constData();

    WebDriver browser;
    QString error;
    ASSERT_TRUE(browser.start(&error)) << error.toStdString();
    const QString pictures = qEnvironmentVariable("ORLAMO_WEB_PICTURES");
    const auto picture = [&](const QString& name) {
        if (pictures.isEmpty())
            return;
        QFile file(QDir(pictures).filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(browser.screenshot());
    };

    // The lists are drawn again after every change: the item is looked up when it is clicked.
    const auto clickList = [&](const QString& name) {
        browser.run(
            QStringLiteral("document.querySelector(`#lists li[data-name='${arguments[0]}']`).click(); return true;"),
            {name});
    };

    browser.open(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    ASSERT_TRUE(browser.waitFor(QStringLiteral("return !document.getElementById('login').hidden")));
    picture(QStringLiteral("web-login.png"));
    browser.type(QStringLiteral("#password"), QStringLiteral("correct horse"));
    browser.click(QStringLiteral("#login button"));
    ASSERT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 2")))
        << browser.text(QStringLiteral("#loginError")).toStdString()
        << browser
               .run(QStringLiteral("return document.getElementById('password').value + '|' + "
                                   "document.getElementById('loginError').textContent"))
               .toString()
               .toStdString();
    EXPECT_EQ(browser.text(QStringLiteral("#recordings tbody tr:first-child .memo")),
              QStringLiteral("Smith about the roof"));

    browser.type(QStringLiteral("#search"), QStringLiteral("dent"));
    ASSERT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 1")));
    browser.click(QStringLiteral("#recordings tbody tr"));
    ASSERT_TRUE(browser.waitFor(QStringLiteral("return !document.getElementById('detail').hidden")));
    browser.run(QStringLiteral("document.getElementById('player').play(); return true;"));
    EXPECT_TRUE(browser.waitFor(QStringLiteral("return document.getElementById('player').currentTime > 0.5")))
        << "the position does not advance";
    browser.run(QStringLiteral("document.getElementById('player').currentTime = 40; return true;"));
    EXPECT_TRUE(browser.waitFor(QStringLiteral("return document.getElementById('player').currentTime >= 40")));
    picture(QStringLiteral("web-playing.png"));

    browser.type(QStringLiteral("#memo"), QStringLiteral("Dentist: moved to Friday"));
    browser.click(QStringLiteral("#saveMemo"));
    EXPECT_TRUE(browser.waitFor(QStringLiteral(
        "return document.querySelector('#recordings tbody tr .memo').textContent === 'Dentist: moved to Friday'")));
    browser.run(QStringLiteral("document.getElementById('moveTo').value = 'Family'; return true;"));
    browser.click(QStringLiteral("#move"));
    EXPECT_TRUE(browser.waitFor(QStringLiteral(
        "return [...document.querySelectorAll('#lists li')].some(li => li.textContent === 'Family (1)')")))
        << browser.text(QStringLiteral("#detailError")).toStdString()
        << browser.text(QStringLiteral("#lists")).toStdString();
    clickList(QStringLiteral("Family"));
    EXPECT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 1")));
    browser.click(QStringLiteral("#recordings tbody tr"));
    browser.click(QStringLiteral("#delete"));
    browser.acceptAlert();
    EXPECT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 0")));

    // A call comes in: the line shows it, and its recording joins the list without a reload.
    browser.type(QStringLiteral("#search"), QString());
    clickList(QString());
    ASSERT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 1")));
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=3 interval=1500 cid=5551234 audio=speech talk=4 end=silence endfor=20")));
    EXPECT_TRUE(
        browser.waitFor(QStringLiteral("return document.getElementById('line').classList.contains('ringing')"), 30000));
    EXPECT_TRUE(browser.waitFor(
        QStringLiteral("return document.getElementById('line').classList.contains('recording')"), 30000));
    picture(QStringLiteral("web-recording.png"));
    EXPECT_TRUE(browser.waitFor(kRows + QStringLiteral(" === 2"), 60000)) << "the new recording does not appear";
    EXPECT_TRUE(
        browser.waitFor(QStringLiteral("return document.getElementById('line').classList.contains('idle')"), 30000));

    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    EXPECT_EQ(recorder.exitCode(), 0);
}
