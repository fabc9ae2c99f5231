// SPDX-License-Identifier: MIT
#pragma once

#include "common/dialoglayout.h"

#include <QPointer>

struct AppOptions;
class QCheckBox;
class QPushButton;

/// @brief The options dialog: keep the main window in front of all others,
/// and hide it while the screen eyedropper runs.
///
/// The check boxes are a staged copy of the two options; "OK" and "適用"
/// commit them to the program-wide values and put the main window into or
/// out of the always-in-front layer at once. "キャンセル" and the title
/// bar's close button change nothing. The settings file is not touched here:
/// the main window writes the options when it closes.
class FrmOption : public CentredDialog
{
    Q_OBJECT
public:
    /// @brief Creates the dialog without an owner, its boxes set from
    /// @p options; it centres itself over @p mainWindow when it is shown.
    explicit FrmOption(AppOptions &options, QWidget *mainWindow);

private:
    void createControls();
    void formLoad();
    void apply();

    AppOptions &m_options;
    QPointer<QWidget> m_mainWindow;

    QCheckBox *m_checkTemae = nullptr;
    QCheckBox *m_checkDokodemo = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdTekiyou = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
