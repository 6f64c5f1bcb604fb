#pragma once

// Shell scripts in a mount namespace of their own, where a test may mount
// file systems (a folder bound onto itself to make it the root of its own
// file system, a read-only view of a folder, a small tmpfs that fills up)
// without touching the machine's mounts. As root the namespace is made
// directly, otherwise inside a user namespace. Where neither is allowed,
// MountShell() is empty and the test skips.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The command that runs a script in a new mount namespace: append the
// script, "sh" and the script's arguments ($1, $2, ...).
inline QStringList MountShell()
{
    static const QStringList shell = [] {
        const QTemporaryDir probe;
        const QStringList candidates[] = {
            {"unshare", "--mount", "--propagation", "private", "sh", "-c"},
            {"unshare", "--mount", "--map-root-user", "sh", "-c"},
        };
        for (const QStringList& candidate : candidates) {
            QProcess p;
            p.start(candidate.first(), candidate.mid(1) + QStringList{"mount -t tmpfs -o size=64k none \"$1\"", "sh", probe.path()});
            if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return candidate;
        }
        return QStringList();
    }();
    return shell;
}

struct NamespaceRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs `script` with `args` as $1, $2, ... in a new mount namespace.
inline NamespaceRun RunInMountNamespace(const QString& script, const QStringList& args)
{
    const QStringList shell = MountShell();
    QProcess p;
    p.start(shell.first(), shell.mid(1) + QStringList{script, QStringLiteral("sh")} + args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
