// SPDX-License-Identifier: MIT
#pragma once

#include "main/inifile.h"
#include "main/settingsstore.h"

#include <QMap>
#include <QStringList>

/// @brief An in-memory settings file that logs every call in order. A stored
/// text is read by the real reader, so "12abc" reads as 12 here too.
class FakeSettingsStore final : public settings::SettingsStore
{
public:
    /// Stored texts by "Section/Key".
    QMap<QString, QString> values;
    /// "read Section/Key" and "write Section/Key=value", in call order.
    QStringList log;
    /// What every write gives; a failure stores nothing.
    settings::WriteResult outcome;

    int readInt(const QString &section, const QString &key, int defaultValue) override
    {
        log << QStringLiteral("read %1/%2").arg(section, key);
        const auto found = values.constFind(section + u'/' + key);
        if (found == values.constEnd())
            return defaultValue;
        const QByteArray file = "[s]\nk=" + found->toUtf8() + '\n';
        return settings::ini::ReadInt(settings::ini::View(file), "s", "k").value_or(defaultValue);
    }

    QString readText(const QString &section, const QString &key) override
    {
        log << QStringLiteral("read %1/%2").arg(section, key);
        return values.value(section + u'/' + key);
    }

    settings::WriteResult writeText(const QString &section, const QString &key,
                                    const QString &value) override
    {
        log << QStringLiteral("write %1/%2=%3").arg(section, key, value);
        if (outcome.ok())
            values.insert(section + u'/' + key, value);
        return outcome;
    }
};
