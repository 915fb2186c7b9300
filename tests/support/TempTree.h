#pragma once

// A temporary folder tree built per test, with the application folder pointed
// into it so that logs and reports never land beside the test binary.

#include "platform/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

struct TempTree {
    QTemporaryDir dir;

    TempTree()
    {
        QDir(dir.path()).mkpath(QStringLiteral("app"));
        Paths::setApplicationFolderForTesting(
            QDir::toNativeSeparators(path(QStringLiteral("app"))));
    }

    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? dir.path() : dir.path() + QLatin1Char('/') + relative;
    }

    QString write(const QString &relative, const QByteArray &bytes) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return p;
    }

    QByteArray read(const QString &relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString mkdir(const QString &relative) const
    {
        QDir().mkpath(path(relative));
        return path(relative);
    }
};
