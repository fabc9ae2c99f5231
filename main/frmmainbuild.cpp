// SPDX-License-Identifier: MIT
// The main window's construction: its client area, toolbar and menus.
#include "main/frmmain.h"

#include "assets/assetimages.h"
#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/contrast.h"
#include "colour/lettercasebox.h"
#include "colour/spinarrows.h"
#include "common/appinfo.h"
#include "common/fonts.h"
#include "common/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolBar>

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
    // Text dropped anywhere but on a text box is read as a colour.
    setAcceptDrops(true);
}

FrmMain::~FrmMain()
{
    qApp->removeEventFilter(this);
}

void FrmMain::buildClient(QWidget *client)
{
    // The clipboard group first, so the preview, code and copy button that
    // lie over it are drawn in front of it.
    auto *clipboardGroup = new QGroupBox(QStringLiteral(u"クリップボード"), client);
    clipboardGroup->setObjectName(QStringLiteral("FrameClip"));
    clipboardGroup->setGeometry(TwipsRect(120, 1560, 4815, 1335));

    auto *optionsGroup = new QGroupBox(QStringLiteral(u"オプション"), clipboardGroup);
    optionsGroup->setObjectName(QStringLiteral("Frame1"));
    optionsGroup->setGeometry(TwipsRect(840, 240, 2415, 975));

    m_letterCase = new LetterCaseBox(QStringLiteral(u"小文字でコピー(&K)"), optionsGroup);
    m_letterCase->setObjectName(QStringLiteral("CheckKomozi"));
    m_letterCase->setGeometry(TwipsRect(120, 600, 2175, 255));
    connect(m_letterCase, &LetterCaseBox::valueChanged, this, [this] { CheckKomozi_Click(); });

    m_attributeBox = new QComboBox(clipboardGroup);
    m_attributeBox->setObjectName(QStringLiteral("Combo1"));
    // Font and size before the edit field exists: it is then laid out once,
    // and the box is not sized to its contents first.
    m_attributeBox->setFont(gothic(9));
    m_attributeBox->setGeometry(TwipsRect(960, 480, 2175, 300));
    m_attributeBox->setEditable(true);
    // A typed name is copied exactly as typed: no completion to a list item.
    m_attributeBox->setCompleter(nullptr);
    m_attributeBox->setInsertPolicy(QComboBox::NoInsert);
    m_attributeBox->setEditText(QStringLiteral(u"なし"));
    m_attributeBox->raise();

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
                                    m_attributeBox,
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

    using assets::ToolbarPicture;
    struct Button
    {
        const char16_t *key; // nullptr for a separator
        const char16_t *tooltip;
        ToolbarPicture picture;
        void (FrmMain::*command)();
    };
    // Left to right; the separators group the buttons as the menus are
    // grouped, and each button runs its menu item's command.
    const Button buttons[] = {
        {u"ﾘｾｯﾄ", u"ﾘｾｯﾄする", ToolbarPicture::BlankSheet, &FrmMain::Reset_Click},
        {},
        {u"ﾎﾞﾃﾞｨｰ", u"BODYﾀｸﾞの編集", ToolbarPicture::PageWithMarks, &FrmMain::body_Click},
        {},
        {u"ﾊﾟﾚｯﾄ", u"ｶﾗｰﾊﾟﾚｯﾄを表示", ToolbarPicture::Palette, &FrmMain::pal_Click},
        {},
        {u"編集", u"色の編集", ToolbarPicture::Swatches, &FrmMain::coloredit_Click},
        {u"ｽﾎﾟｲﾄ", u"どこでもｽﾎﾟｲﾄ", ToolbarPicture::Dropper, &FrmMain::GetColor_Click},
        {},
        {u"設定", u"設定", ToolbarPicture::Hammer, &FrmMain::config_Click},
        {},
        {u"ﾊﾞｰｼﾞｮﾝ", u"バージョン情報", ToolbarPicture::QuestionMark, &FrmMain::version_Click},
    };
    for (const Button &entry : buttons) {
        if (!entry.key) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction *action =
            m_toolbar->addAction(QIcon(assets::ToolbarImage(entry.picture)), QString());
        action->setData(QString::fromUtf16(entry.key));
        action->setToolTip(QString::fromUtf16(entry.tooltip));
        action->setObjectName(QStringLiteral("Toolbar1_%1").arg(static_cast<int>(entry.picture)));
        const auto command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
        if (QWidget *button = m_toolbar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::NoFocus);
            button->setObjectName(action->objectName() + QStringLiteral("_Button"));
            if (command == &FrmMain::GetColor_Click)
                m_dropperButton = button;
        }
    }
    // The pointer resting on the eyedropper's button (see eventFilter) makes
    // a pick likely.
    m_dropperRest = new QTimer(this);
    m_dropperRest->setSingleShot(true);
    m_dropperRest->setInterval(kDropperRestMs);
    connect(m_dropperRest, &QTimer::timeout, this, [this] { prepareCapture(); });
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
        {"edit",
         u"編集(&E)",
         {{"copy", u"色をコピー(&C)", &FrmMain::CommandClip_Click},
          {"paste", u"色を貼り付け(&P)", &FrmMain::paste_Click},
          {"body", u"BODYﾀｸﾞの編集(&B)...", &FrmMain::body_Click}}},
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
        // The colour menu holds the eyedropper: open, it makes a pick likely.
        if (qstrcmp(menu.name, "color") == 0)
            connect(m, &QMenu::aboutToShow, this, [this] { prepareCapture(); });
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

    // The usual keys, shown beside their items. A text box with selected
    // text keeps Ctrl+C for itself (see eventFilter); a text box that can
    // paste keeps Ctrl+V, elsewhere it pastes a colour.
    const std::pair<const char *, QKeyCombination> keys[] = {
        {"copy", QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
        {"paste", QKeyCombination(Qt::ControlModifier, Qt::Key_V)},
        {"GetColor", QKeyCombination(Qt::ControlModifier, Qt::Key_P)}};
    for (const auto &[name, key] : keys)
        bar->findChild<QAction *>(QString::fromLatin1(name))->setShortcut(key);

    // The recent colours, listed afresh each time the submenu opens.
    m_recentMenu =
        bar->findChild<QMenu *>(QStringLiteral("color"))->addMenu(QStringLiteral(u"最近の色(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("recent"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("recent"));
    m_recentMenu->addAction(QStringLiteral(u"履歴を消去"))->setEnabled(false);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &FrmMain::fillRecentMenu);
}
