// SPDX-License-Identifier: MIT
#pragma once

#include "main/settingsstore.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

/// @brief An in-memory settings file that logs every call in order. A stored
/// text is read by the real reader, so "12abc" reads as 12 here too.
class FakeSettingsStore final : public settings::SettingsStore
{
public:
    /// Stored texts by "Section/Key".
    QMap<QString, QString> values;
    /// "read Section/Key" and "write Section/Key=value", in call order.
    QStringList log;

    int readInt(const QString &section, const QString &key, int defaultValue) override
    {
        log << QStringLiteral("read %1/%2").arg(section, key);
        const auto found = values.constFind(section + u'/' + key);
        if (found == values.constEnd())
            return defaultValue;
        const QString path = m_folder.filePath(QStringLiteral("Config.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(QStringLiteral("[%1]\n%2=%3\n").arg(section, key, *found).toUtf8());
        file.close();
        return settings::ReadProfileInt(section, key, defaultValue, path);
    }

    void writeText(const QString &section, const QString &key, const QString &value) override
    {
        log << QStringLiteral("write %1/%2=%3").arg(section, key, value);
        values.insert(section + u'/' + key, value);
    }

private:
    QTemporaryDir m_folder;
};
