// SPDX-License-Identifier: MIT
#include "main/frmmain.h"

#include "body/frmbody.h"
#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/csscolour.h"
#include "colour/lettercasebox.h"
#include "common/clipboardsink.h"
#include "common/colourchooser.h"
#include "common/platform.h"
#include "common/recentcolours.h"
#include "common/savedstate.h"
#include "common/settingsstore.h"
#include "common/twips.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmoption.h"
#include "main/clipboardtext.h"
#include "main/windowplacement.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/hiddenwindowwatch.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

#include <climits>
#include <utility>

using colour::Channel;

namespace {

// The stored colour, red, green, blue.
constexpr savedstate::Value kChannelValues[] = {savedstate::Value::Red, savedstate::Value::Green,
                                                savedstate::Value::Blue};

} // namespace

int FrmMain::readSetting(savedstate::Value value)
{
    return savedstate::Read(*m_services.settings, value);
}

void FrmMain::writeSetting(savedstate::Value value, int number)
{
    m_services.settings->unsaved().note(savedstate::Write(*m_services.settings, value, number));
}

void FrmMain::startUp()
{
    // 1. The attribute list and the CSS forms; the text stays "なし" with no
    // entry selected.
    m_attributeBox->addItems(AttributeNames() + CssFormNames());
    m_attributeBox->setCurrentIndex(-1);
    m_attributeBox->setEditText(AttributeNames().front());

    // 2. The colour. The sliders hold 0..255 and clamp anything else.
    for (const Channel channel : colour::kChannels)
        m_channels->slider(channel)->setValue(
            readSetting(kChannelValues[static_cast<int>(channel)]));
    // The code box shows the colour's code from the first moment, never the
    // placeholder, so a copy straight after start gives a code browsers read.
    m_channels->storeText(m_channels->codeBox(),
                          colour::BuildColorCode(m_channels->hexBox(Channel::Red)->text(),
                                                 m_channels->hexBox(Channel::Green)->text(),
                                                 m_channels->hexBox(Channel::Blue)->text()));

    // 3. The letter-case option; a change runs its click behaviour.
    m_letterCase->setValue(
        colour::LetterCaseFromStored(readSetting(savedstate::Value::LetterCase)));

    // 4. The position (twips, outer frame), brought back into view only when
    // it would leave the window out of reach on every current screen.
    // NOTE: where the compositor places every window (Qt's Wayland platform)
    // a position would go nowhere; the stored one is kept for the next session
    // that can use it.
    if (platform::placesWindows()) {
        const int top = readSetting(savedstate::Value::Top);
        const int left = readSetting(savedstate::Value::Left);
        QList<QRect> screens;
        if (QScreen *primary = QGuiApplication::primaryScreen())
            screens.append(primary->availableGeometry());
        for (QScreen *screen : QGuiApplication::screens())
            screens.append(screen->availableGeometry());
        const QRect stored(TwipsToPixels(left), TwipsToPixels(top), frameGeometry().width(),
                           frameGeometry().height());
        const QPoint at = ReachablePosition(stored, screens);
        move(at);
        // NOTE: The window manager adds its frame (the title bar, the borders)
        // only as it shows the window. A window brought back into view is
        // brought wholly inside, frame and all, once that frame is known.
        if (at != stored.topLeft() && !screens.isEmpty())
            m_bringInside = screens.front();
    }

    // 5. The palette window, placed against the window just positioned.
    m_options.colorP = readSetting(savedstate::Value::PaletteOpen);
    if (m_options.colorP == 1)
        pal_Click();

    // 6-7. The options.
    m_options.temae = readSetting(savedstate::Value::InFront);
    if (m_options.temae == 1)
        platform::setAlwaysInFront(this, true);
    m_options.hideDokodemo = readSetting(savedstate::Value::HideDokodemo);

    // 8. Count the start at once, so a run that ends abnormally still counts.
    // The count never wraps: at the largest value it stays there.
    const int uses = readSetting(savedstate::Value::Uses);
    writeSetting(savedstate::Value::Uses, uses < INT_MAX ? uses + 1 : uses);
    // A count that cannot be saved means no setting can: the user learns it now.
    m_services.settings->unsaved().tell(this, m_services.feedback);
}

void FrmMain::closeSequence()
{
    for (const Channel channel : colour::kChannels)
        writeSetting(kChannelValues[static_cast<int>(channel)], m_channels->value(channel));
    writeSetting(savedstate::Value::LetterCase, static_cast<int>(m_letterCase->value()));
    // Where the program cannot know its place, it keeps the stored one.
    if (platform::placesWindows()) {
        const QRect frame = frameGeometry();
        writeSetting(savedstate::Value::Top, PixelsToTwips(frame.top()));
        writeSetting(savedstate::Value::Left, PixelsToTwips(frame.left()));
    }
    m_options.colorP = (m_palette && m_palette->isVisible()) ? 1 : 0;
    writeSetting(savedstate::Value::PaletteOpen, m_options.colorP);
    writeSetting(savedstate::Value::InFront, m_options.temae);
    writeSetting(savedstate::Value::HideDokodemo, m_options.hideDokodemo);
    if (m_historyCleared || !m_usedThisRun.colours().isEmpty())
        recentColours().write(*m_services.settings);
    if (m_palette)
        m_palette->close();
    // Settings that did not reach the file are told of, then the program
    // closes all the same.
    m_services.settings->unsaved().tell(this, m_services.feedback);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // The close is never refused; its settings are written once however many
    // close requests arrive.
    if (!m_closed) {
        m_closed = true;
        closeSequence();
    }
    event->accept();
}

bool FrmMain::takesCopyKey(QObject *watched, const QKeyEvent &key) const
{
    if (key.keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_C))
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget())
        return false;
    // A box with selected text copies that text, as boxes do.
    const QLineEdit *box = qobject_cast<QLineEdit *>(widget);
    if (const auto *combo = qobject_cast<QComboBox *>(widget))
        box = combo->lineEdit();
    return !box || !box->hasSelectedText();
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // NOTE: This filter is the application's, so it sees the window framed
    // before the palette's filter on it does: the palette, reopened at the
    // start, then docks against the window where it ends up.
    if (watched == this && !m_bringInside.isNull() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::Show) &&
        isVisible() && frameGeometry() != geometry())
        move(InsideScreen(frameGeometry(), std::exchange(m_bringInside, QRect())));
    if (watched == m_dropperButton && event->type() == QEvent::Enter)
        m_dropperRest->start();
    else if (watched == m_dropperButton && event->type() == QEvent::Leave)
        m_dropperRest->stop();
    // NOTE: a text box claims Ctrl+C even with nothing selected, where it
    // would copy nothing; there the key goes on to the window's copy.
    if (event->type() == QEvent::ShortcutOverride &&
        takesCopyKey(watched, *static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget &&
            widget->window() == this && !QApplication::activePopupWidget() &&
            !QApplication::activeModalWidget()) {
            m_copy->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::openModal(QDialog &dialog)
{
    // NOTE: deliberately one way. The window leaves the always-in-front
    // layer so the dialog is not hidden behind it, and stays out of it after
    // the dialog closes, even with the option on: only the options dialog's
    // OK or 適用, or the next start, put it back in front.
    platform::setAlwaysInFront(this, false);
    runModal(dialog);
}

FrmColor *FrmMain::palette() const
{
    return m_palette;
}

void FrmMain::Reset_Click()
{
    m_channels->storeSliders(0, 0, 0);
}

void FrmMain::end_Click()
{
    close();
}

void FrmMain::body_Click()
{
    FrmBody dialog(m_services, this);
    openModal(dialog);
}

void FrmMain::config_Click()
{
    FrmOption dialog(m_options, this);
    connect(
        &dialog, &FrmOption::applied, this,
        [this](int temae, int hideDokodemo) {
            m_options.temae = temae;
            platform::setAlwaysInFront(this, temae == 1);
            m_options.hideDokodemo = hideDokodemo;
        },
        Qt::DirectConnection);
    openModal(dialog);
}

void FrmMain::version_Click()
{
    FrmAbout dialog(*m_services.settings, this);
    openModal(dialog);
}

void FrmMain::pal_Click()
{
    if (!m_palette) {
        m_palette = new FrmColor(this);
        connect(
            m_palette, &FrmColor::colourForSliders, this,
            [this](colour::ColourValue value) {
                const colour::Rgb rgb = colour::SplitRgb(value);
                m_channels->storeSliders(rgb.red, rgb.green, rgb.blue);
            },
            Qt::DirectConnection);
        connect(
            m_palette, &FrmColor::colourForHexTexts, this,
            [this](colour::ColourValue value) {
                m_channels->storeHexTexts(colour::SplitColorValue(value));
            },
            Qt::DirectConnection);
    }
    m_palette->show();
    m_palette->raise();
}

void FrmMain::coloredit_Click()
{
    // The chooser opens on the colour shown; a cancelled one changes nothing.
    const std::optional<colour::ColourValue> chosen =
        m_services.chooser->choose(this, m_channels->colourValue());
    if (!chosen)
        return;
    m_channels->storeHexTexts(colour::SplitColorValue(*chosen));
}

void FrmMain::prepareCapture()
{
    if (m_services.capture)
        m_services.capture->prepare();
}

void FrmMain::GetColor_Click()
{
    // NOTE: as before a modal window (openModal), the window leaves the
    // always-in-front layer and is not put back when the eyedropper closes.
    platform::setAlwaysInFront(this, false);
    if (m_options.hideDokodemo == 1) {
        // NOTE: the display server gets the capture ready (when nothing was)
        // while this window leaves the screen. Shown, the window repaints at
        // once, and the capture itself takes the room it keeps: getting it
        // ready first would cost the server one more pass over it.
        prepareCapture();
        // NOTE: a capture taken right after hide() can still show this
        // window: the server unmaps it a moment later and the windows below
        // repaint later still. Wait, briefly and bounded, until its place on
        // the screen has really changed.
        // The backend knows whether the screen can be looked at for it.
        const bool look =
            m_services.capture->hiddenWindowWait() == ScreenCapture::HiddenWindowWait::ScreenChange;
        HiddenWindowWatch watch(
            this, look ? HiddenWindowWatch::AreaGrabber(HiddenWindowWatch::grabScreenArea)
                       : HiddenWindowWatch::AreaGrabber());
        hide();
        watch.wait(std::chrono::milliseconds(kHideWaitMs));
    } else {
        show();
        // A menu that has just closed over the window leaves its pixels on
        // the screen until the window repaints there. Repaint it all now: the
        // display server takes this picture and the capture in the order they
        // were sent, so the capture shows the window without the menu.
        // NOTE: a repaint of the window alone skips the opaque controls (the
        // etched rule) unless they are marked for repainting too.
        for (QWidget *child : findChildren<QWidget *>())
            child->update();
        repaint();
        // The 色 menu reaches past the window's right edge, over the palette
        // docked there.
        if (m_palette && m_palette->isVisible())
            m_palette->repaint();
    }
    ScreenCapture::Result shot = m_services.capture->grab();
    // Nothing of the screen could be seen: no eyedropper, the colour stays,
    // the window comes back and says why (not when the user gave up).
    if (shot.refused || shot.givenUp) {
        show();
        if (shot.refused)
            m_services.feedback.message(this, kScreenUnreadable);
        return;
    }
    auto *eyedropper = new FrmGetColor(std::move(shot.picture));
    connect(
        eyedropper, &FrmGetColor::picked, this,
        [this](colour::ColourValue value) {
            m_channels->colorBox()->setBackColor(value);
            m_channels->storeHexTexts(colour::SplitColorValue(value));
            useRecentColour(value);
        },
        Qt::DirectConnection);
    connect(eyedropper, &FrmGetColor::closed, this, &QWidget::show, Qt::DirectConnection);
    eyedropper->setLetterCase(m_letterCase->value());
    eyedropper->showOverDesktop();
}

void FrmMain::CommandClip_Click()
{
    const QString code = m_channels->codeBox()->text();
    const QString text = ClipboardText(m_attributeBox->currentText(), code, m_letterCase->value());
    m_services.clipboard->clear();
    m_services.clipboard->setText(text);
    // A code half typed over is no colour to remember.
    if (const std::optional<colour::ColourValue> copied = ParseStoredColourCode(code))
        useRecentColour(*copied);
}

RecentColours FrmMain::recentColours()
{
    RecentColours recent =
        m_historyCleared ? RecentColours() : RecentColours::Read(*m_services.settings);
    for (auto used = m_usedThisRun.colours().crbegin(); used != m_usedThisRun.colours().crend();
         ++used)
        recent.use(*used);
    return recent;
}

void FrmMain::useRecentColour(colour::ColourValue value)
{
    m_usedThisRun.use(value);
}

void FrmMain::clearRecentColours()
{
    m_usedThisRun.clear();
    m_historyCleared = true;
}

void FrmMain::fillRecentMenu()
{
    m_recentMenu->clear();
    const RecentColours recent = recentColours();
    for (const colour::ColourValue value : recent.colours()) {
        const colour::Rgb rgb = colour::SplitRgb(value);
        QPixmap swatch(16, 16);
        swatch.fill(m_recentMenu->palette().color(QPalette::WindowText));
        QPainter(&swatch).fillRect(1, 1, 14, 14, QColor(rgb.red, rgb.green, rgb.blue));
        QAction *item = m_recentMenu->addAction(
            QIcon(swatch), colour::ApplyLetterCase(StoredColourCode(value), m_letterCase->value()));
        connect(item, &QAction::triggered, this,
                [this, value] { m_channels->storeHexTexts(colour::SplitColorValue(value)); });
    }
    if (!recent.colours().isEmpty())
        m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(QStringLiteral(u"履歴を消去"));
    clear->setObjectName(QStringLiteral("ClearHistory"));
    clear->setEnabled(!recent.colours().isEmpty());
    connect(clear, &QAction::triggered, this, &FrmMain::clearRecentColours);
}

void FrmMain::CheckKomozi_Click()
{
    m_channels->convertLetterCase();
}

void FrmMain::paste_Click()
{
    applyColourText(m_services.clipboard->text());
}

void FrmMain::applyColourText(const QString &text)
{
    const std::optional<colour::Rgb> rgb = colour::ParseColourText(text);
    if (!rgb) {
        m_services.feedback.message(this, colour::ColourTextRefusedMessage(text));
        return;
    }
    m_channels->storeHexTexts(
        colour::SplitColorValue(colour::MakeColourValue(rgb->red, rgb->green, rgb->blue)));
}

void FrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    // NOTE: applied once the drop has ended, so that a message box does not
    // keep the program the text came from waiting.
    QMetaObject::invokeMethod(
        this, [this, text = event->mimeData()->text()] { applyColourText(text); },
        Qt::QueuedConnection);
}
