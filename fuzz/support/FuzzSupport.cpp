// The shared pieces of the fuzz targets.
#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

void fuzzFail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

void fuzzApplication() {
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives for the whole run
}

QString fuzzPath(const QString& name) {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/orlamo-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + "/orlamo-fuzz-XXXXXX");
    if (!dir.isValid())
        fuzzFail("a scratch folder", __FILE__, __LINE__);
    return dir.filePath(name);
}

void fuzzWrite(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        fuzzFail("writing a scratch file", __FILE__, __LINE__);
}

QString fuzzLatin1(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text.append(QChar(static_cast<uchar>(c)));
    return text;
}
