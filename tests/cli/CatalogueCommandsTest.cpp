// orlamo-cli's catalogue commands on a real catalogue: what they change, and their errors, each one
// clear line on standard error with a non-zero status and nothing changed.
#include "CliCatalogueTest.h"
#include "support/XdgEmailStandIn.h"

#include <QFileInfo>

TEST_F(CliCatalogueTest, CatalogAndSearchNameEveryRowByItsId) {
    CliResult result = cli({QStringLiteral("catalog"), QStringLiteral("--csv")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("id,folder,date,time,duration,memo,wav,exists"));
    EXPECT_EQ(lines[1],
              a + QStringLiteral(",General,2026-12-08,10:00:01,00:00,call from ABC Ltd,wav/1_20261208_100001.wav,yes"));
    EXPECT_TRUE(lines[4].startsWith(d + QStringLiteral(",Work,")));
    result = cli({QStringLiteral("catalog")});
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("Id ")));
    EXPECT_TRUE(result.out.split(QLatin1Char('\n')).at(1).startsWith(a + QLatin1Char(' ')));

    // The memo search: letter case of a to z ignored unless asked for; the columns of catalog.
    result = cli({QStringLiteral("search"), QStringLiteral("abc"), QStringLiteral("--csv")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1).size(), 2);
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("id,folder,date,time,duration,memo,wav,exists\r\n") + a +
                                      QLatin1Char(',')));
    EXPECT_TRUE(result.out.contains(QStringLiteral("\r\n") + b + QStringLiteral(",General,")));
    result = cli({QStringLiteral("search"), QStringLiteral("abc"), QStringLiteral("--match-case")});
    ASSERT_EQ(result.code, 0);
    const QStringList found = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(found.size(), 2) << result.out.toStdString();
    EXPECT_TRUE(found[1].startsWith(b + QLatin1Char(' ')));
    result = cli({QStringLiteral("search"), QStringLiteral("nobody")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out.count(QLatin1Char('\n')), 1) << "the header only";
    EXPECT_EQ(cli({QStringLiteral("search")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("search"), QStringLiteral("a"), QStringLiteral("b")}).code, 2);
}

TEST_F(CliCatalogueTest, MemoDeleteAndMoveTakeIds) {
    CliResult result = cli({QStringLiteral("memo"), c, QStringLiteral("  ")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(rows().contains(c + QStringLiteral(" General   ")));

    // Unknown ids, unknown lists, bad command lines: one line, a status, nothing changed.
    const QByteArray before = readAll(table());
    result = cli({QStringLiteral("memo"), QStringLiteral("Nope1234"), QStringLiteral("x")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli memo: there is no recording with the id 'Nope1234'\n"));
    result = cli({QStringLiteral("memo"), a, QString()});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(cli({QStringLiteral("memo"), a}).code, 2);
    result = cli({QStringLiteral("delete"), a, QStringLiteral("Nope1234"), d});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli delete: there is no recording with the id 'Nope1234'\n"));
    EXPECT_EQ(cli({QStringLiteral("delete")}).code, 2);
    result = cli({QStringLiteral("move"), a, QStringLiteral("--to"), QStringLiteral("Nowhere")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli move: There is no list named \"Nowhere\"\n"));
    EXPECT_EQ(cli({QStringLiteral("move"), a}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("move"), QStringLiteral("--to"), QStringLiteral("Work")}).code, 2);
    EXPECT_EQ(readAll(table()), before);
    EXPECT_TRUE(QFile::exists(wavFile(1)));

    // Rows of two lists in one command.
    result = cli({QStringLiteral("move"), a, d, QStringLiteral("--to"), QStringLiteral("Work")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(rows(),
              (QStringList{a + QStringLiteral(" Work call from ABC Ltd"), b + QStringLiteral(" General abc at home"),
                           c + QStringLiteral(" General   "), d + QStringLiteral(" Work work call")}));
    result = cli({QStringLiteral("delete"), d, b, a});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(rows(), QStringList{c + QStringLiteral(" General   ")});
    EXPECT_FALSE(QFile::exists(wavFile(1)));
    EXPECT_FALSE(QFile::exists(wavFile(4)));
    EXPECT_TRUE(QFile::exists(wavFile(3)));
}

TEST_F(CliCatalogueTest, ExportCopiesUnderTheBaseNames) {
    QDir(root.path()).mkdir(QStringLiteral("out \"1\" 'x'"));
    const QString out = root.filePath(QStringLiteral("out \"1\" 'x'"));
    // A folder relative to where the user is.
    CliResult result = cli({QStringLiteral("export"), c, a, QStringLiteral("--to"), QStringLiteral("out \"1\" 'x'")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              (QStringList{QStringLiteral("1_20261208_100001.wav"), QStringLiteral("1_20261208_100003.wav")}));
    EXPECT_EQ(readAll(QDir(out).filePath(QStringLiteral("1_20261208_100003.wav"))), readAll(wavFile(3)));
    EXPECT_EQ(result.out, QDir(out).filePath(QStringLiteral("1_20261208_100003.wav")) + QLatin1Char('\n') +
                              QDir(out).filePath(QStringLiteral("1_20261208_100001.wav")) + QLatin1Char('\n'));

    // The recording without its file: told, the others copied, a failing status.
    result = cli({QStringLiteral("export"), b, d, QStringLiteral("--to"), out});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("orlamo-cli export: Could not copy ")))
        << result.err.toStdString();
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("1_20261208_100004.wav"))));

    result = cli({QStringLiteral("export"), a, QStringLiteral("--to"), root.filePath(QStringLiteral("missing"))});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli export: The folder %1 does not exist\n")
                              .arg(root.filePath(QStringLiteral("missing"))));
    result = cli({QStringLiteral("export"), QStringLiteral("Nope1234"), QStringLiteral("--to"), out});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(cli({QStringLiteral("export"), a}).code, 2);
    EXPECT_EQ(
        cli({QStringLiteral("export"), a, QStringLiteral("--to"), out, QStringLiteral("--as"), QStringLiteral("ogg")})
            .code,
        2);
}

TEST_F(CliCatalogueTest, ExportAsACompressedFormatEncodesOrSaysWhyNot) {
    const QString out = root.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_EQ(QProcess::execute(QStringLiteral("sox"),
                                {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("8000"),
                                 QStringLiteral("-b"), QStringLiteral("16"), wavFile(1), QStringLiteral("synth"),
                                 QStringLiteral("2"), QStringLiteral("sine"), QStringLiteral("440")}),
              0);
    CliResult result =
        cli({QStringLiteral("export"), a, QStringLiteral("--as"), QStringLiteral("opus"), QStringLiteral("--to"), out});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QDir(out).filePath(QStringLiteral("1_20261208_100001.opus\n")));
    EXPECT_EQ(
        QProcess::execute(QStringLiteral("opusinfo"), {QDir(out).filePath(QStringLiteral("1_20261208_100001.opus"))}),
        0);

    // What is stored under c is no sound: one line, a failing status, and nothing left in the folder.
    result =
        cli({QStringLiteral("export"), c, QStringLiteral("--to"), out, QStringLiteral("--as"), QStringLiteral("mp3")});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("orlamo-cli export: Cannot read ") + wavFile(3)))
        << result.err.toStdString();
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("1_20261208_100001.opus")});
}

TEST_F(CliCatalogueTest, MailHandsTheFilesToXdgEmail) {
    XdgEmailStandIn standIn;
    ASSERT_TRUE(standIn.valid());
    const QProcessEnvironment plain = environment;
    environment.insert(QStringLiteral("PATH"), standIn.environment().value(QStringLiteral("PATH")));
    QFile ini(QDir(work).filePath(QStringLiteral("tvk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Mail]\r\nWebAddress=https://calls.example.net/\r\n");
    ini.close();

    CliResult result = cli({QStringLiteral("mail"), a, b, c});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(standIn.arguments(),
              (QStringList{QStringLiteral("--utf8"), QStringLiteral("--body"),
                           QStringLiteral("Hello,\n\n\nRecorded with Orlamo\nhttps://calls.example.net/\n"),
                           QStringLiteral("--attach"), wavFile(1), QStringLiteral("--attach"), wavFile(3)}));

    standIn.setExitCode(5);
    result = cli({QStringLiteral("mail"), d});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli mail: Mail failed to be dispatched\n"
                                         "orlamo-cli mail: xdg-email ended with status 5\n"));

    // No xdg-email at all.
    QTemporaryDir empty;
    environment = plain;
    environment.insert(QStringLiteral("PATH"), empty.path());
    standIn.clear();
    result = cli({QStringLiteral("mail"), d});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.endsWith(
        QStringLiteral("orlamo-cli mail: xdg-email was not found; it comes with the xdg-utils package\n")));
    EXPECT_FALSE(standIn.ran());
    EXPECT_EQ(cli({QStringLiteral("mail"), QStringLiteral("Nope1234")}).code, 1);
    EXPECT_FALSE(standIn.ran());
    EXPECT_EQ(cli({QStringLiteral("mail")}).code, 2);
}

TEST_F(CliCatalogueTest, ListsAreShownAddedRenamedAndDeleted) {
    CliResult result = cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("Clients"),
                            QStringLiteral("--under"), QStringLiteral("Work")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("Home")}).code, 0);
    result = cli({QStringLiteral("lists")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, QStringLiteral("General\nWork\n  Clients\nHome\n"));

    const QByteArray folders = readAll(QDir(work).filePath(QStringLiteral("Folders.d")));
    result = cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("Home")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli list add: Name folder Homealready exits. Try another\n"));
    result = cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("X"), QStringLiteral("--under"),
                  QStringLiteral("Nowhere")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli list add: There is no list named \"Nowhere\"\n"));
    result = cli({QStringLiteral("list"), QStringLiteral("rename"), QStringLiteral("Home"), QStringLiteral("Work")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli list rename: Name folder Workalready exits. Try another\n"));
    result = cli({QStringLiteral("list"), QStringLiteral("rename"), QStringLiteral("General"), QStringLiteral("Misc")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli list rename: General folder can not be renamed\n"));
    result = cli({QStringLiteral("list"), QStringLiteral("delete"), QStringLiteral("General")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli list delete: General folder can not be deleted\n"));
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("  ")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("rename"), QStringLiteral("Home")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("drop"), QStringLiteral("Home")}).code, 2);
    EXPECT_EQ(readAll(QDir(work).filePath(QStringLiteral("Folders.d"))), folders);

    EXPECT_EQ(
        cli({QStringLiteral("list"), QStringLiteral("rename"), QStringLiteral("Home"), QStringLiteral("House")}).code,
        0);
    // Deleting a list takes its sublists and their recordings with their files.
    result = cli({QStringLiteral("list"), QStringLiteral("delete"), QStringLiteral("Work")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("lists")}).out, QStringLiteral("General\nHouse\n"));
    EXPECT_FALSE(QFile::exists(wavFile(4)));
    EXPECT_EQ(rows().size(), 3);
}
