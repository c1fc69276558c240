// A stand-in for xdg-email that records its arguments and exits with a chosen status.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

/// An `xdg-email` script in a folder of its own. put() puts that folder first on PATH for this
/// process (until the stand-in goes); environment() gives child processes the same PATH.
///
///     XdgEmailStandIn mail;
///     mail.put();
///     mail.setExitCode(4);
///     ... Send ...
///     EXPECT_EQ(mail.arguments(), (QStringList{"--utf8", "--body", ...}));
class XdgEmailStandIn {
public:
    XdgEmailStandIn();
    ~XdgEmailStandIn();
    XdgEmailStandIn(const XdgEmailStandIn&) = delete;
    XdgEmailStandIn& operator=(const XdgEmailStandIn&) = delete;

    bool valid() const { return m_valid; }
    QString folder() const { return m_dir.path(); }
    void put();
    QProcessEnvironment environment() const;

    void setExitCode(int code);
    /// While held, the script waits (as xdg-email does while some mail programs show their
    /// compose window) until release().
    void hold();
    void release();

    /// The arguments of the last run, in order; empty when it did not run.
    QStringList arguments() const;
    bool ran() const;
    /// True once the last run has ended.
    bool finished() const;
    /// Forgets the last run.
    void clear();

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
    bool m_put = false;
    bool m_valid = false;
};
