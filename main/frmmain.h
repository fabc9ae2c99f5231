// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"
#include "common/appoptions.h"
#include "common/recentcolours.h"
#include "common/services.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <functional>

namespace savedstate {
enum class Value;
}
class ChannelControls;
class FrmColor;
class LetterCaseBox;
class QComboBox;
class QDialog;
class QKeyEvent;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;

/// @brief The main window: the three channel rows, the preview, the code, the
/// clipboard group, and the menus and toolbar that open every other window.
class FrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit FrmMain(Services &services, QWidget *parent = nullptr);
    ~FrmMain() override;

    /// Restores what the settings file holds and counts the start. Run once,
    /// right after construction.
    void startUp();

    ChannelControls &channels() { return *m_channels; }
    AppOptions &options() { return m_options; }
    FrmColor *palette() const;
    QComboBox *attributeBox() const { return m_attributeBox; }
    LetterCaseBox *letterCase() const { return m_letterCase; }
    QPushButton *copyButton() const { return m_copy; }
    QToolBar *toolbar() const { return m_toolbar; }

    /// How long the eyedropper command waits at most for the hidden window to
    /// leave the screen before it captures.
    static constexpr int kHideWaitMs = 300;
    /// How long the pointer rests on the eyedropper's toolbar button before
    /// the screen capture gets ready for a pick.
    static constexpr int kDropperRestMs = 100;

    /// Runs a modal window for the commands that open one. Replaceable so
    /// tests can look at the window instead of waiting in its event loop.
    std::function<void(QDialog &)> runModal;

    // The window's commands, one per menu item or button. A handler is named
    // Control_Event: the object name of the control or menu item, an
    // underscore and the event ("CommandClip_Click" runs when CommandClip is
    // clicked). Object names, handlers, options and settings keys keep some
    // romanised Japanese words:
    //   Komozi   lower-case letters (CheckKomozi, the letter-case option)
    //   Dokodemo anywhere (the eyedropper, どこでもｽﾎﾟｲﾄ: HideDokodemo)
    //   Temae    in front (CheckTemae, the always-in-front option)
    //   Tekiyou  apply (the options dialog's CmdTekiyou, 適用)
    void Reset_Click();
    void end_Click();
    void body_Click();
    void pal_Click();
    void coloredit_Click();
    void GetColor_Click();
    void config_Click();
    void version_Click();
    void CommandClip_Click();
    void CheckKomozi_Click();
    /// Reads the clipboard's text as a colour (Ctrl+V outside the text boxes).
    void paste_Click();
    /// Applies a pasted or dropped text as the colour chooser applies one; a
    /// text that names no colour gets a message and changes nothing.
    void applyColourText(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildClient(QWidget *client);
    void buildMenus();
    void buildToolbar(QWidget *client);
    void openModal(QDialog &dialog);
    void prepareCapture();
    void closeSequence();
    int readSetting(savedstate::Value value);
    void writeSetting(savedstate::Value value, int number);
    /// The recent colours as the 最近の色 menu lists them: those in the
    /// settings file with this run's copies and picks on top.
    RecentColours recentColours();
    void useRecentColour(colour::ColourValue value);
    /// Empties the recent colours (履歴を消去).
    void clearRecentColours();
    void fillRecentMenu();
    bool takesCopyKey(QObject *watched, const QKeyEvent &key) const;

    Services &m_services;
    AppOptions m_options;
    ChannelControls *m_channels = nullptr;
    LetterCaseBox *m_letterCase = nullptr;
    QComboBox *m_attributeBox = nullptr;
    QPushButton *m_copy = nullptr;
    QToolBar *m_toolbar = nullptr;
    QWidget *m_dropperButton = nullptr;
    QTimer *m_dropperRest = nullptr;
    QPointer<FrmColor> m_palette;
    QMenu *m_recentMenu = nullptr;
    /// This run's copies and picks, newest first; laid over what the file
    /// holds whenever the list is shown or stored, so copies made meanwhile
    /// by another run of the program (a pick from the command line) stay.
    RecentColours m_usedThisRun;
    /// 履歴を消去 was chosen: what the file held before is gone.
    bool m_historyCleared = false;
    bool m_closed = false;
    /// The screen the window was brought back into at the start, until its
    /// frame is known; empty otherwise.
    QRect m_bringInside;
};
