// The xdg-email stand-in script.
#include "support/XdgEmailStandIn.h"

#include <QFile>

namespace {

const char* const kScript = "#!/bin/sh\n"
                            "here=$(dirname \"$0\")\n"
                            "rm -f \"$here/done\"\n"
                            ": > \"$here/arguments.part\"\n"
                            "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$here/arguments.part\"; done\n"
                            "mv \"$here/arguments.part\" \"$here/arguments\"\n"
                            "while [ -e \"$here/hold\" ]; do sleep 0.05; done\n"
                            ": > \"$here/done\"\n"
                            "exit \"$(cat \"$here/code\")\"\n";

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

XdgEmailStandIn::XdgEmailStandIn() {
    const QString script = m_dir.filePath(QStringLiteral("xdg-email"));
    m_valid = m_dir.isValid() && writeText(script, kScript) &&
              QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
              writeText(m_dir.filePath(QStringLiteral("code")), "0\n");
}

XdgEmailStandIn::~XdgEmailStandIn() {
    release();
    if (m_put)
        qputenv("PATH", m_oldPath);
}

void XdgEmailStandIn::put() {
    if (!m_put)
        m_oldPath = qgetenv("PATH");
    m_put = true;
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
}

QProcessEnvironment XdgEmailStandIn::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), m_dir.path() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    return env;
}

void XdgEmailStandIn::setExitCode(int code) {
    writeText(m_dir.filePath(QStringLiteral("code")), QByteArray::number(code) + '\n');
}

void XdgEmailStandIn::hold() {
    writeText(m_dir.filePath(QStringLiteral("hold")), "");
}

void XdgEmailStandIn::release() {
    QFile::remove(m_dir.filePath(QStringLiteral("hold")));
}

QStringList XdgEmailStandIn::arguments() const {
    QFile file(m_dir.filePath(QStringLiteral("arguments")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    const QByteArray bytes = file.readAll();
    for (const QByteArray& argument : bytes.split('\0'))
        out.append(QString::fromUtf8(argument));
    out.removeLast(); // after the last terminator
    return out;
}

bool XdgEmailStandIn::ran() const {
    return QFile::exists(m_dir.filePath(QStringLiteral("arguments")));
}

bool XdgEmailStandIn::finished() const {
    return QFile::exists(m_dir.filePath(QStringLiteral("done")));
}

void XdgEmailStandIn::clear() {
    QFile::remove(m_dir.filePath(QStringLiteral("arguments")));
    QFile::remove(m_dir.filePath(QStringLiteral("done")));
}
