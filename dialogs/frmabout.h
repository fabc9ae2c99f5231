// SPDX-License-Identifier: MIT
#pragma once

#include "common/dialoglayout.h"

class QLabel;
class QPushButton;
namespace settings {
class SettingsStore;
}

/// @brief The about box: the program's name and version, the number of
/// times it has been started and a short notice.
///
/// The start count is read from the settings file (section "Use", key
/// "NumberOfUse") each time a box is created; the box only reads it.
class FrmAbout : public CentredDialog
{
    Q_OBJECT
public:
    /// @brief Creates the box without an owner; it centres itself over
    /// @p centreOver when it is shown.
    explicit FrmAbout(settings::SettingsStore &settings, QWidget *centreOver = nullptr);

private:
    void createControls();
    void formLoad();

    settings::SettingsStore &m_settings;

    QLabel *m_shortVersion = nullptr; ///< Label2: major.minor
    QLabel *m_version = nullptr;      ///< Label3: Version:major.minor.revision
    QLabel *m_uses = nullptr;         ///< LblUse: the number of starts
    QPushButton *m_ok = nullptr;
};
