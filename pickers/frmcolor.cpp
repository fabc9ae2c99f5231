// SPDX-License-Identifier: MIT
#include "pickers/frmcolor.h"

#include "assets/assetimages.h"
#include "colour/colorbox.h"
#include "common/twips.h"
#include "pickers/palettedock.h"
#include "pickers/paletteimage.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <cmath>

namespace {

constexpr int kDesignWidth = 1260;
constexpr int kDesignHeight = 3270;

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

/// The point of a mouse event relative to the inner area of @p picture.
QPoint innerPoint(const QLabel *picture, const QMouseEvent *event)
{
    const QPointF p = event->position() - QPointF(picture->contentsRect().topLeft());
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

} // namespace

FrmColor::FrmColor(QWidget *mainWindow)
    : QWidget(mainWindow,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_palette(pickers::MakePaletteImage())
{
    setObjectName(QStringLiteral("FrmColor"));
    setWindowTitle(QStringLiteral("Color"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    // A 2-pixel sunken border around exactly the palette picture.
    m_picture->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setMargin(0);
    m_picture->setPixmap(QPixmap::fromImage(m_palette));
    m_picture->setGeometry(TwipsRect(60, 60, 1140, 1635));
    m_picture->setCursor(assets::PipetteCursor());
    m_picture->installEventFilter(this);

    auto *frame = new QGroupBox(QStringLiteral(u"ﾏｳｽﾎﾞﾀﾝ"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(TwipsRect(60, 2040, 1140, 1155));

    auto *labelLeft = new QLabel(QStringLiteral(u"左"), frame);
    labelLeft->setObjectName(QStringLiteral("Label1"));
    labelLeft->setAlignment(Qt::AlignCenter);
    labelLeft->setGeometry(TwipsRect(120, 300, 375, 195));

    auto *labelRight = new QLabel(QStringLiteral(u"右"), frame);
    labelRight->setObjectName(QStringLiteral("Label2"));
    labelRight->setAlignment(Qt::AlignCenter);
    labelRight->setGeometry(TwipsRect(660, 300, 375, 195));

    m_left = new ColorBox(frame);
    m_left->setObjectName(QStringLiteral("nowColorL"));
    m_left->setGeometry(TwipsRect(120, 600, 375, 375));
    m_right = new ColorBox(frame);
    m_right->setObjectName(QStringLiteral("nowColorR"));
    m_right->setGeometry(TwipsRect(660, 600, 375, 375));
    for (ColorBox *swatch : {m_left, m_right}) {
        swatch->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        swatch->setCursor(assets::PipetteCursor());
    }
    connect(m_left, &ColorBox::clicked, this, [this] { nowColorL_Click(); });
    connect(m_right, &ColorBox::clicked, this, [this] { nowColorR_Click(); });

    resize(TwipsToPixels(kDesignWidth), TwipsToPixels(kDesignHeight));
    Form_Load(mainWindow);
}

void FrmColor::Form_Load(QWidget *mainWindow)
{
    m_right->setBackColor(0xFFFFFF);
    m_left->setBackColor(0x000000);
    if (!mainWindow)
        return;
    dockTo(*mainWindow);
    // NOTE: A main window not yet framed by the window manager (the palette
    // reopened at start-up, before the main window is shown) has no outer
    // edges yet. The palette docks again, once, when they are known.
    if (!isFramed(*mainWindow)) {
        m_awaitedFrame = mainWindow;
        mainWindow->installEventFilter(this);
    }
}

bool FrmColor::isFramed(const QWidget &mainWindow)
{
    return mainWindow.isVisible() && mainWindow.frameGeometry() != mainWindow.geometry();
}

void FrmColor::dockTo(const QWidget &mainWindow)
{
    // The palette's outer top and height are the main window's, and its outer
    // left edge meets the main window's outer right edge, where the whole
    // palette shows there.
    const QRect main = mainWindow.frameGeometry();
    // NOTE: this window's own frame is unknown until the window manager has
    // framed it; the main window's frame is the best guess for it.
    const QSize frame = main.size() - mainWindow.size();
    setFixedSize(TwipsToPixels(kDesignWidth), std::max(1, main.height() - frame.height()));
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    move(pickers::DockPosition(main, size() + frame, screens));
}

bool FrmColor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_awaitedFrame && m_awaitedFrame) {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show ||
             type == QEvent::Paint) &&
            isFramed(*m_awaitedFrame)) {
            m_awaitedFrame->removeEventFilter(this);
            dockTo(*m_awaitedFrame);
            m_awaitedFrame = nullptr;
        }
        return false;
    }
    if (watched != m_picture)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        Picture1_MouseDown(static_cast<int>(mouse->button()), innerPoint(m_picture, mouse));
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        Picture1_MouseMove(static_cast<int>(mouse->buttons().toInt()),
                           innerPoint(m_picture, mouse));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        Picture1_MouseUp(static_cast<int>(mouse->button()), innerPoint(m_picture, mouse));
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void FrmColor::Picture1_MouseDown(int button, QPoint point)
{
    m_buttonHeld = true;
    pickAtPointer(button, point, false);
}

void FrmColor::Picture1_MouseMove(int buttons, QPoint point)
{
    if (!m_buttonHeld)
        return;
    pickAtPointer(buttons, point, false);
}

void FrmColor::Picture1_MouseUp(int button, QPoint point)
{
    pickAtPointer(button, point, true);
}

void FrmColor::pickAtPointer(int button, QPoint point, bool releasing)
{
    // NOTE: the picture keeps receiving the pointer's events while a button
    // is held, also beyond its edge; there the nearest edge pixel is taken,
    // so a drag out of the picture keeps a palette colour.
    const colour::ColourValue value = pickers::PaletteColourAt(m_palette, point);
    if (value == colour::kInvalidColour)
        return;
    Q_EMIT colourForSliders(value);
    if (releasing)
        m_buttonHeld = false;
    if (button == kRightButton)
        m_right->setBackColor(value);
    else if (button == kLeftButton)
        m_left->setBackColor(value);
}

void FrmColor::nowColorL_Click()
{
    sendSwatch(m_left);
}

void FrmColor::nowColorR_Click()
{
    sendSwatch(m_right);
}

void FrmColor::sendSwatch(const ColorBox *swatch)
{
    Q_EMIT colourForHexTexts(swatch->backColor());
}
