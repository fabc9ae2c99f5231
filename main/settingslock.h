// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

namespace settings {

/// @brief The lock a write of the settings file holds, so that several copies
/// of the program can share the file: the kernel's lock on a lock file beside
/// it, or Qt's lock file where the file system keeps no kernel locks. Held
/// from acquire() until the object goes.
class SettingsFileLock
{
public:
    explicit SettingsFileLock(const QString &lockPath);
    ~SettingsFileLock();
    SettingsFileLock(const SettingsFileLock &) = delete;
    SettingsFileLock &operator=(const SettingsFileLock &) = delete;

    /// Waits, bounded, for the lock. Returns 0 once it is held, ETIMEDOUT when
    /// other holders kept it past the wait, or the system's error that
    /// stopped the attempt.
    int acquire();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace settings
