// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

struct Feedback;
class QWidget;

namespace settings {

/// @brief Why a write did not reach the settings file.
enum class WriteFailure {
    None,        ///< written
    Refused,     ///< a section, key or value the file cannot hold
    NoPlace,     ///< the program's folder cannot be written and there is no home folder
    Folder,      ///< the folder for the file could not be made
    Lock,        ///< the lock beside the file could not be taken
    LockTimeout, ///< other copies of the program held the lock too long
    Unusable,    ///< not a file the program rewrites: not a regular file, too large, unreadable
    Write,       ///< the new contents did not fully reach the disk (a full disk, a quota)
    Replace,     ///< the new file could not take the old one's place
};

/// @brief What a write did: whether it reached the file, and if not, which
/// file it was meant for and why it did not.
struct WriteResult
{
    WriteFailure failure = WriteFailure::None;
    int error = 0; ///< the system's error number (errno), where the failure has one
    QString path;  ///< the settings file the write was meant for
    bool ok() const { return failure == WriteFailure::None; }
};

/// @brief Tells the user, once in a run, that settings could not be saved.
///
/// The windows note the outcome of every settings write here, and at the end
/// of a sequence of writes (the start, the close, the BODY editor's close)
/// tell() shows the first failure noted. Once a message has been shown, later
/// failures of the run are kept quiet: the user already knows that settings
/// do not reach the file.
class UnsavedNotice
{
public:
    /// Notes the outcome of one write.
    void note(const WriteResult &result)
    {
        if (!result.ok() && m_first.ok())
            m_first = result;
    }
    /// The first failure noted since the last tell(); success when none.
    const WriteResult &pending() const { return m_first; }
    /// Shows the first failure noted since the last call through
    /// @p feedback's message box, unless one was shown earlier in the run.
    void tell(QWidget *parent, const Feedback &feedback);
    /// The message's text for @p failure: the file and why it was not saved.
    static QString message(const WriteResult &failure);

private:
    WriteResult m_first;
    bool m_told = false;
};

/// @brief The two operations the windows use on the settings file: read an
/// integer, write a text. Each call goes to the file at once; nothing is
/// cached. Tests record or replace them.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual int readInt(const QString &section, const QString &key, int defaultValue) = 0;
    /// The value of @p key as it stands, empty when the file, section or key is missing.
    virtual QString readText(const QString &section, const QString &key) = 0;
    /// Writes @p value; a failed write leaves the file as it was and says why.
    [[nodiscard]] virtual WriteResult writeText(const QString &section, const QString &key,
                                                const QString &value) = 0;
    /// The failed writes of this store's run, for the user to be told once.
    UnsavedNotice &unsaved() { return m_unsaved; }

private:
    UnsavedNotice m_unsaved;
};

} // namespace settings
