// SPDX-License-Identifier: MIT
#pragma once

#include "body/bodytag.h"
#include "colour/channeltext.h"

#include "common/dialoglayout.h"

#include <array>

class ColorBox;
class LetterCaseBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct Services;

/// @brief The BODY tag editor: five colours of a page, a preview of them and
/// a copy of the `<body>` start tag that carries them.
///
/// The window keeps its own five codes; it never touches the main window's
/// colour. Only its letter-case option outlives
/// it, in the settings file (section "Body", key "Komozi"), read when the
/// window is created and written once whenever it closes.
class FrmBody : public CentredDialog
{
    Q_OBJECT
public:
    /// @brief Creates the window without an owner; it centres itself over
    /// @p centreOver when it is shown.
    explicit FrmBody(Services &services, QWidget *centreOver = nullptr);

    /// @brief Closes the window. Every way of closing (閉じる, Esc, the title
    /// bar's close button) ends here and stores the letter-case option once.
    void done(int result) override;

private:
    /// One colour row: its code box, its "参照..." button and what it paints.
    enum class Row { Text, Link, Vlink, Alink, Background };
    struct RowControls
    {
        QLineEdit *code = nullptr;
        QPushButton *button = nullptr;
        QLabel *caption = nullptr;      ///< null for the background row
        colour::ColourValue colour = 0; ///< what the row paints; the chooser opens on it
    };

    void createControls();
    void chainTabOrder();
    RowControls &rowControls(Row row);

    void formLoad();
    void formUnload();
    void chooseRowColour(Row row);
    /// Reads the clipboard's text as the row's colour.
    void pasteRowColour(Row row);
    /// Gives the row a colour as its chooser does: the code in upper case and
    /// what the row paints.
    void setRowColour(Row row, colour::ColourValue value);
    /// The row's code, caption and preview in @p value, without the contrast.
    void showRowColour(Row row, colour::ColourValue value);
    void applyLetterCase(colour::LetterCase option);
    void showContrast();
    void copyTag();
    BodyCodes codes() const;

    Services &m_services;

    ColorBox *m_preview = nullptr;
    LetterCaseBox *m_letterCase = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_close = nullptr;
    /// In the order the letter-case conversion walks them: text, link,
    /// visited link, active link, background.
    std::array<RowControls, 5> m_rows{};
};
