// The catalogue commands reach the process that holds the catalogue: it runs them on its own tables
// and orlamo-cli prints its answer as its own. What comes over the socket is checked before anything runs.
#include "program/ForwardedCommands.h"
#include "CliCatalogueTest.h"
#include "library/CatalogueLock.h"
#include "program/CommandProtocol.h"
#include "program/CommandServer.h"
#include "program/CommandSocket.h"
#include "support/WaitUntil.h"

#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

namespace {

// The catalogue of the working folder held by this process, as the window holds it, answering on its socket.
struct HeldCatalogue {
    explicit HeldCatalogue(const QString& work)
        : lock(work), catalogue(work, prompter, CliCatalogueTest::usFormat()),
          commands(catalogue, work, [] { return QStringLiteral("https://example.org"); }),
          server(work, [this](const CommandProtocol::Request& request) { return commands.run(request); }) {
        catalogue.openCatalogue(lock, 0);
    }
    ScriptedPrompter prompter;
    CatalogueLock lock;
    Catalogue catalogue;
    ForwardedCommands commands;
    CommandServer server;
};

// orlamo-cli run while this process handles the events of its server.
CliResult serve(const CliCatalogueTest& test, const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(test.environment);
    process.start(qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli"),
                  QStringList{QStringLiteral("--workdir"), test.work} + args);
    CliResult result;
    if (!waitUntil([&process] { return process.state() == QProcess::NotRunning; }, 60000))
        return result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Sends raw bytes to the server and returns the answer's body (empty when the connection closed without one).
QByteArray exchange(const QString& path, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!waitUntil([&socket] { return socket.state() == QLocalSocket::ConnectedState; }, 10000))
        return {};
    socket.write(bytes);
    FrameReader reader(CommandProtocol::kMaxAnswerBytes);
    waitUntil([&] {
        reader.add(socket.readAll());
        return reader.state() != FrameReader::State::Incomplete || socket.state() == QLocalSocket::UnconnectedState;
    });
    return reader.body();
}

QByteArray frame(const QByteArray& body) {
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), bytes.data());
    return bytes + body;
}

} // namespace

TEST_F(CliCatalogueTest, TheHoldersCatalogueRunsTheCommandsAndKeepsItsSelection) {
    HeldCatalogue held(work);
    ASSERT_TRUE(held.server.listen());
    FolderTree& tree = held.catalogue.folderTree();
    tree.setSelected(tree.find(QStringLiteral("General")));
    held.catalogue.selectNode(tree.selected());

    EXPECT_EQ(serve(*this, {QStringLiteral("memo"), a, QStringLiteral("forwarded")}).err, QString());
    CliResult moved = serve(*this, {QStringLiteral("move"), c, QStringLiteral("--to"), QStringLiteral("Work")});
    EXPECT_EQ(moved.code, 0) << moved.err.toStdString();
    EXPECT_EQ(serve(*this, {QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("Forwarded")}).code, 0);
    EXPECT_EQ(serve(*this, {QStringLiteral("delete"), d}).code, 0);
    const CliResult unknown = serve(*this, {QStringLiteral("memo"), QStringLiteral("nope"), QStringLiteral("x")});

    // The list the holder showed is still the one selected, and the change is in its own tables at once.
    EXPECT_EQ(tree.selected(), tree.find(QStringLiteral("General")));
    EXPECT_EQ(held.catalogue.folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("General"));
    EXPECT_NE(tree.find(QStringLiteral("Forwarded")), nullptr);
    ASSERT_TRUE(held.catalogue.locateRecording(a, true));
    EXPECT_EQ(held.catalogue.recordings().fieldText(QStringLiteral("Comment")), QStringLiteral("forwarded"));
    EXPECT_FALSE(held.catalogue.locateRecording(d, true));
    EXPECT_FALSE(QFile::exists(wavFile(4)));

    // An answer reads as the command run by itself.
    held.server.close();
    held.catalogue.close();
    held.lock.unlock();
    EXPECT_TRUE(rows().contains(c + QStringLiteral(" Work other")));
    const CliResult direct = cli({QStringLiteral("memo"), QStringLiteral("nope"), QStringLiteral("x")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.code, direct.code);
    EXPECT_EQ(unknown.err, direct.err);
    EXPECT_EQ(unknown.out, direct.out);
}

TEST_F(CliCatalogueTest, RequestsNotWellFormedChangeNothingAndNoneRunsInsideAWait) {
    HeldCatalogue held(work);
    ASSERT_TRUE(held.server.listen());
    EXPECT_TRUE(CommandSocket::isUsersOwn(held.server.path()));
    const QByteArray before = readAll(table());
    const QByteArray memo = "\"command\":\"memo\",\"args\":[\"" + a.toUtf8() + "\",\"x\"]";
    const QByteArray folder = ",\"workDir\":\"" + work.toUtf8().replace("\"", "\\\"") + "\"";
    for (const QByteArray& bytes : {
             frame("not json"),
             frame("[1,2]"),
             frame("{\"version\":2," + memo + folder + "}"),
             frame("{\"version\":1," + memo + "}"),
             frame("{\"version\":1,\"command\":\"memo\",\"args\":[\"" + a.toUtf8() + "\",7]" + folder + "}"),
             frame("{\"version\":1,\"command\":\"memo\",\"args\":[\"" + a.toUtf8() + "\",\"x\\u0000\"]" + folder + "}"),
             frame("{\"version\":1,\"command\":\"catalog\",\"args\":[]" + folder + "}"),
             frame("{\"version\":1," + memo + ",\"workDir\":\"/\"}"),
             frame("{\"version\":1," + memo + folder + "}") + "more",
             QByteArray("\x7f\xff\xff\xff", 4) + QByteArray(1000, 'x'),
         }) {
        QString error;
        const std::optional<CommandProtocol::Answer> answer =
            CommandProtocol::parseAnswer(exchange(held.server.path(), bytes), error);
        ASSERT_TRUE(answer.has_value()) << bytes.mid(4, 80).constData();
        EXPECT_EQ(answer->status, 2) << bytes.mid(4, 80).constData();
        EXPECT_EQ(answer->err.count(u'\n'), 1) << answer->err.toStdString();
    }
    EXPECT_EQ(readAll(table()), before);
    // Nothing runs inside a wait of the program (for the modem, a dialog): only from its own event loop.
    bool inLoop = false;
    bool inWait = true;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        inLoop = held.server.mayRunNow();
        QEventLoop wait;
        QTimer::singleShot(0, &wait, [&] {
            inWait = held.server.mayRunNow();
            wait.quit();
        });
        wait.exec();
        loop.quit();
    });
    loop.exec();
    EXPECT_TRUE(inLoop);
    EXPECT_FALSE(inWait);
    // The server goes on answering.
    const QByteArray good = exchange(held.server.path(), frame("{\"version\":1," + memo + folder + "}"));
    EXPECT_TRUE(good.contains("\"status\":0")) << good.constData();
}
