// SPDX-License-Identifier: MIT
#include "main/frmmain.h"

#include "assets/assetimages.h"
#include "body/frmbody.h"
#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/contrast.h"
#include "colour/lettercasebox.h"
#include "colour/spinarrows.h"
#include "common/appinfo.h"
#include "common/fonts.h"
#include "common/platform.h"
#include "common/savedstate.h"
#include "common/twips.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmoption.h"
#include "main/clipboard.h"
#include "main/clipboardtext.h"
#include "main/colourchooser.h"
#include "main/settingsstore.h"
#include "main/windowplacement.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/hiddenwindowwatch.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include <climits>

using colour::Channel;

namespace {

// The client area below the menu bar, in twips.
constexpr int kClientWidthTwips = 5055;
constexpr int kClientHeightTwips = 3015;
// The menu bar of a classic desktop window at 96 dots per inch.
constexpr int kMenuBarHeight = 20;

QFont gothic(int points)
{
    return MappedFont(kGothicName, points);
}

// The stored colour, red, green, blue.
constexpr savedstate::Value kChannelValues[] = {savedstate::Value::Red, savedstate::Value::Green,
                                                savedstate::Value::Blue};

struct ToolbarEntry
{
    const char16_t *key; // empty for a separator
    const char16_t *tooltip;
    int image;
};

// Left to right; the separators group the buttons as the menus are grouped.
constexpr ToolbarEntry kToolbar[] = {
    {u"ﾘｾｯﾄ", u"ﾘｾｯﾄする", 2},
    {nullptr, nullptr, 0},
    {u"ﾎﾞﾃﾞｨｰ", u"BODYﾀｸﾞの編集", 5},
    {nullptr, nullptr, 0},
    {u"ﾊﾟﾚｯﾄ", u"ｶﾗｰﾊﾟﾚｯﾄを表示", 4},
    {nullptr, nullptr, 0},
    {u"編集", u"色の編集", 7},
    {u"ｽﾎﾟｲﾄ", u"どこでもｽﾎﾟｲﾄ", 3},
    {nullptr, nullptr, 0},
    {u"設定", u"設定", 6},
    {nullptr, nullptr, 0},
    {u"ﾊﾞｰｼﾞｮﾝ", u"バージョン情報", 1},
};

} // namespace

FrmMain::FrmMain(Services &services, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(appinfo::Name());
    setWindowIcon(assets::WindowIcon());
    runModal = [](QDialog &dialog) { dialog.exec(); };

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
    setCentralWidget(client);
    // The parts without text first: meanwhile the fonts get ready.
    buildToolbar(client);
    buildMenus();
    buildClient(client);
    setFixedSize(client->width(), client->height() + kMenuBarHeight);

    // Enter presses the copy button wherever the focus is in this window.
    qApp->installEventFilter(this);
}

FrmMain::~FrmMain()
{
    qApp->removeEventFilter(this);
}

void FrmMain::buildClient(QWidget *client)
{
    // The clipboard group first, so the preview, code and copy button that
    // lie over it are drawn in front of it.
    m_frameClip = new QGroupBox(QStringLiteral(u"クリップボード"), client);
    m_frameClip->setObjectName(QStringLiteral("FrameClip"));
    m_frameClip->setGeometry(TwipsRect(120, 1560, 4815, 1335));

    auto *frame1 = new QGroupBox(QStringLiteral(u"オプション"), m_frameClip);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(TwipsRect(840, 240, 2415, 975));

    m_letterCase = new LetterCaseBox(QStringLiteral(u"小文字でコピー(&K)"), frame1);
    m_letterCase->setObjectName(QStringLiteral("CheckKomozi"));
    m_letterCase->setGeometry(TwipsRect(120, 600, 2175, 255));
    connect(m_letterCase, &LetterCaseBox::valueChanged, this, [this] { CheckKomozi_Click(); });

    m_combo = new QComboBox(m_frameClip);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    // Font and size before the edit field exists: it is then laid out once,
    // and the box is not sized to its contents first.
    m_combo->setFont(gothic(9));
    m_combo->setGeometry(TwipsRect(960, 480, 2175, 300));
    m_combo->setEditable(true);
    // A typed name is copied exactly as typed: no completion to a list item.
    m_combo->setCompleter(nullptr);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setEditText(QStringLiteral(u"なし"));
    m_combo->raise();

    struct LabelSpec
    {
        const char *name;
        const char16_t *text;
        QColor colour;
        int top;
        int height;
    };
    const LabelSpec labels[] = {{"LabelRed", u"赤", QColor(255, 0, 0), 480, 195},
                                {"LabelGreen", u"緑", QColor(0, 128, 0), 840, 195},
                                {"LabelBlue", u"青", QColor(0, 0, 255), 1200, 180}};
    QFont labelFont = MappedFont(kPGothicName, 9);
    labelFont.setBold(true);
    for (const LabelSpec &item : labels) {
        auto *label = new QLabel(QString::fromUtf16(item.text), client);
        label->setObjectName(QString::fromLatin1(item.name));
        label->setFont(labelFont);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, item.colour);
        label->setPalette(palette);
        label->setGeometry(TwipsRect(120, item.top, 255, item.height));
    }

    m_channels = new ChannelControls(client, m_letterCase, m_services.feedback);
    const int rowTops[] = {480, 840, 1200};
    for (const Channel channel : colour::kChannels) {
        const int top = rowTops[static_cast<int>(channel)];
        m_channels->slider(channel)->setGeometry(TwipsRect(480, top, 3255, 300));
        m_channels->decimalBox(channel)->setGeometry(TwipsRect(3840, top, 495, 270));
        m_channels->decimalBox(channel)->setFont(gothic(9));
        m_channels->spin(channel)->setGeometry(TwipsRect(4320, top, 240, 255));
        m_channels->hexBox(channel)->setGeometry(TwipsRect(4560, top, 375, 270));
        m_channels->hexBox(channel)->setFont(gothic(9));
    }

    ColorBox *preview = m_channels->colorBox();
    preview->setGeometry(TwipsRect(240, 1920, 615, 855));
    preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    preview->raise();
    connect(preview, &ColorBox::doubleClicked, this, [this] { coloredit_Click(); });
    // The preview's tooltip tells how the colour reads against white and black.
    preview->setToolTip(colour::WhiteBlackContrastTip(preview->backColor()));
    connect(preview, &ColorBox::backColorChanged, preview, [preview](colour::ColourValue value) {
        preview->setToolTip(colour::WhiteBlackContrastTip(value));
    });

    QLineEdit *code = m_channels->codeBox();
    code->setGeometry(TwipsRect(3480, 1920, 1335, 360));
    code->setFont(gothic(12));
    code->raise();

    m_copy = new QPushButton(QStringLiteral(u"コピー(&C)"), client);
    m_copy->setObjectName(QStringLiteral("CommandClip"));
    m_copy->setGeometry(TwipsRect(3480, 2400, 1320, 375));
    m_copy->setDefault(true);
    m_copy->raise();
    connect(m_copy, &QPushButton::clicked, this, [this] { CommandClip_Click(); });

    // The etched rule under the toolbar: a shadow line over a highlight line.
    const std::pair<const char *, QPalette::ColorRole> lines[] = {{"Line1", QPalette::Dark},
                                                                  {"Line2", QPalette::Light}};
    int lineTop = TwipsToPixels(360);
    for (const auto &[name, role] : lines) {
        auto *line = new QWidget(client);
        line->setObjectName(QString::fromLatin1(name));
        line->setGeometry(0, lineTop++, TwipsToPixels(5040), 1);
        line->setAutoFillBackground(true);
        line->setBackgroundRole(role);
    }

    // Keyboard focus order; the sliders come first, so the red one has the
    // focus at start.
    const QList<QWidget *> order = {m_channels->slider(Channel::Red),
                                    m_channels->slider(Channel::Green),
                                    m_channels->slider(Channel::Blue),
                                    m_channels->decimalBox(Channel::Red),
                                    m_channels->decimalBox(Channel::Green),
                                    m_channels->decimalBox(Channel::Blue),
                                    m_channels->spin(Channel::Red),
                                    m_channels->spin(Channel::Green),
                                    m_channels->spin(Channel::Blue),
                                    m_channels->hexBox(Channel::Red),
                                    m_channels->hexBox(Channel::Green),
                                    m_channels->hexBox(Channel::Blue),
                                    m_combo,
                                    m_letterCase,
                                    code,
                                    m_copy};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_channels->slider(Channel::Red)->setFocus();
}

void FrmMain::buildToolbar(QWidget *client)
{
    m_toolbar = new QToolBar(client);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setGeometry(TwipsRect(0, 0, 5055, 360));
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const ToolbarEntry &entry : kToolbar) {
        if (!entry.key) {
            m_toolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf16(entry.key);
        QAction *action = m_toolbar->addAction(QIcon(assets::ToolbarImage(entry.image)), QString());
        action->setData(key);
        action->setToolTip(QString::fromUtf16(entry.tooltip));
        action->setObjectName(QStringLiteral("Toolbar1_%1").arg(entry.image));
        connect(action, &QAction::triggered, this, [this, key] { dispatchToolbarKey(key); });
        if (QWidget *button = m_toolbar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::NoFocus);
            button->setObjectName(action->objectName() + QStringLiteral("_Button"));
        }
    }
}

void FrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setFixedHeight(kMenuBarHeight);

    struct Item
    {
        const char *name;
        const char16_t *caption; // nullptr for a separator line
        void (FrmMain::*command)();
    };
    struct Menu
    {
        const char *name;
        const char16_t *caption;
        std::initializer_list<Item> items;
    };
    const Menu menus[] = {
        {"file",
         u"ﾌｧｲﾙ(&F)",
         {{"Reset", u"ﾘｾｯﾄ(&R)", &FrmMain::Reset_Click},
          {"sen", nullptr, nullptr},
          {"end", u"終了(&X)", &FrmMain::end_Click}}},
        {"edit", u"編集(&E)", {{"body", u"BODYﾀｸﾞの編集(&B)...", &FrmMain::body_Click}}},
        {"view", u"表示(&V)", {{"pal", u"ｶﾗｰﾊﾟﾚｯﾄ(&C)...", &FrmMain::pal_Click}}},
        {"color",
         u"色(&I)",
         {{"coloredit", u"色の編集(&E)...", &FrmMain::coloredit_Click},
          {"GetColor", u"どこでもｽﾎﾟｲﾄ(&G)", &FrmMain::GetColor_Click}}},
        {"option", u"ｵﾌﾟｼｮﾝ(&O)", {{"config", u"設定(&C)...", &FrmMain::config_Click}}},
        {"help", u"ﾍﾙﾌﾟ(&H)", {{"version", u"ﾊﾞｰｼﾞｮﾝ情報(&A)...", &FrmMain::version_Click}}},
    };
    for (const Menu &menu : menus) {
        QMenu *m = bar->addMenu(QString::fromUtf16(menu.caption));
        m->setObjectName(QString::fromLatin1(menu.name));
        m->menuAction()->setObjectName(QString::fromLatin1(menu.name));
        for (const Item &item : menu.items) {
            QAction *action =
                item.caption ? m->addAction(QString::fromUtf16(item.caption)) : m->addSeparator();
            action->setObjectName(QString::fromLatin1(item.name));
            if (item.command) {
                const auto command = item.command;
                connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
            }
        }
    }
}

int FrmMain::readSetting(savedstate::Value value)
{
    return savedstate::Read(*m_services.settings, value);
}

void FrmMain::writeSetting(savedstate::Value value, int number)
{
    savedstate::Write(*m_services.settings, value, number);
}

void FrmMain::startUp()
{
    // 1. The attribute list; the text stays "なし" with no entry selected.
    m_combo->addItems(AttributeNames());
    m_combo->setCurrentIndex(-1);
    m_combo->setEditText(AttributeNames().front());

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
        move(ReachablePosition(stored, screens));
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
    if (m_palette)
        m_palette->close();
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

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
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
    // A cancelled chooser changes nothing; it opens on the last colour
    // confirmed in it during this run.
    const std::optional<colour::ColourValue> chosen =
        m_services.chooser->choose(this, m_chooserColour);
    if (!chosen)
        return;
    m_chooserColour = *chosen;
    m_channels->storeHexTexts(colour::SplitColorValue(*chosen));
}

void FrmMain::GetColor_Click()
{
    platform::setAlwaysInFront(this, false);
    if (m_options.hideDokodemo == 1) {
        // NOTE: a capture taken right after hide() can still show this
        // window: the server unmaps it a moment later and the windows below
        // repaint later still. Wait, briefly and bounded, until its place on
        // the screen has really changed.
        HiddenWindowWatch watch(this);
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
    }
    ScreenCapture::Result shot = m_services.capture->grab();
    // Nothing of the screen could be seen: no eyedropper, the colour stays,
    // the window comes back and says why.
    if (shot.refused) {
        show();
        m_services.feedback.message(this, kScreenUnreadable);
        return;
    }
    auto *eyedropper = new FrmGetColor(std::move(shot.picture));
    connect(
        eyedropper, &FrmGetColor::picked, this,
        [this](colour::ColourValue value) {
            m_channels->colorBox()->setBackColor(value);
            m_channels->storeHexTexts(colour::SplitColorValue(value));
        },
        Qt::DirectConnection);
    connect(eyedropper, &FrmGetColor::closed, this, &QWidget::show, Qt::DirectConnection);
    eyedropper->showOverDesktop();
}

void FrmMain::CommandClip_Click()
{
    const QString text =
        ClipboardText(m_combo->currentText(), m_channels->codeBox()->text(), m_letterCase->value());
    m_services.clipboard->clear();
    m_services.clipboard->setText(text);
}

void FrmMain::CheckKomozi_Click()
{
    m_channels->convertLetterCase();
}

void FrmMain::dispatchToolbarKey(const QString &key)
{
    const std::pair<const char16_t *, void (FrmMain::*)()> routes[] = {
        {u"ﾘｾｯﾄ", &FrmMain::Reset_Click},     {u"ﾎﾞﾃﾞｨｰ", &FrmMain::body_Click},
        {u"ﾊﾟﾚｯﾄ", &FrmMain::pal_Click},      {u"編集", &FrmMain::coloredit_Click},
        {u"設定", &FrmMain::config_Click},    {u"ｽﾎﾟｲﾄ", &FrmMain::GetColor_Click},
        {u"ﾊﾞｰｼﾞｮﾝ", &FrmMain::version_Click}};
    for (const auto &[name, command] : routes) {
        if (key == QStringView(name)) {
            (this->*command)();
            return;
        }
    }
}
