// SPDX-License-Identifier: MIT
#pragma once

#include "common/dialoglayout.h"

struct AppOptions;
class QCheckBox;
class QPushButton;

/// @brief The options dialog: keep the main window in front of all others,
/// and hide it while the screen eyedropper runs.
///
/// The check boxes are a staged copy of the two options; "OK" and "適用"
/// report them with applied(), and the main window takes them over at once.
/// "キャンセル" and the title bar's close button report nothing. The
/// settings file is not touched here: the main window writes the options
/// when it closes.
class FrmOption : public CentredDialog
{
    Q_OBJECT
public:
    /// @brief Creates the dialog without an owner, its boxes set from
    /// @p options; it centres itself over @p mainWindow when it is shown.
    FrmOption(const AppOptions &options, QWidget *mainWindow);

Q_SIGNALS:
    /// "OK" or "適用": the boxes as the two option values, 1 ticked, 0 not.
    void applied(int temae, int hideDokodemo);

private:
    void createControls();
    void formLoad(const AppOptions &options);
    void apply();

    QCheckBox *m_inFront = nullptr;
    QCheckBox *m_hideForEyedropper = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
};
