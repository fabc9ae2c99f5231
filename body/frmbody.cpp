// SPDX-License-Identifier: MIT
#include "body/frmbody.h"

#include "colour/colorbox.h"
#include "colour/contrast.h"
#include "colour/csscolour.h"
#include "colour/lettercasebox.h"
#include "common/clipboardsink.h"
#include "common/colourchooser.h"
#include "common/dialoglayout.h"
#include "common/fonts.h"
#include "common/savedstate.h"
#include "common/services.h"
#include "common/settingsstore.h"
#include "common/twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

void SetTextColour(QLabel *label, colour::ColourValue value)
{
    const colour::Rgb rgb = colour::SplitRgb(value);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(rgb.red, rgb.green, rgb.blue));
    label->setPalette(palette);
}

/// What each row starts with and where its controls stand.
struct RowDesign
{
    const char16_t *objectSuffix; ///< "Text" gives TextText and CmdText
    colour::ColourValue defaultColour;
    int top;                     ///< twips, shared by the code box and the button
    const char16_t *captionName; ///< the caption inside the preview, or null
    const char16_t *captionText;
    int captionTop; ///< twips inside the preview
};

using colour::MakeColourValue;

// Rows in the order the letter-case conversion walks them.
constexpr RowDesign kRowDesigns[] = {
    {u"Text", MakeColourValue(0, 0, 0), 240, u"LblText", u"テキスト色", 120},
    {u"Link", MakeColourValue(0, 0, 255), 600, u"LblLink", u"未訪問リンク", 480},
    {u"Vlink", MakeColourValue(128, 0, 128), 960, u"LblVlink", u"訪問済みリンク色", 840},
    {u"Alink", MakeColourValue(255, 0, 0), 1320, u"LblAlink", u"アクセス中リンク色", 1200},
    {u"Bg", MakeColourValue(255, 255, 255), 1800, nullptr, nullptr, 0},
};

QString Text(const char16_t *literal)
{
    return QString::fromUtf16(literal);
}

} // namespace

FrmBody::FrmBody(Services &services, QWidget *centreOver)
    : CentredDialog(centreOver), m_services(services)
{
    dialoglayout::SetUpToolWindow(this, u"FrmBody"_s, u"<BODY>の編集"_s, 3735, 2655);

    createControls();
    chainTabOrder();
    m_preview->setFocus();

    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row row = static_cast<Row>(i);
        RowControls &controls = m_rows[i];
        connect(controls.button, &QPushButton::clicked, this,
                [this, row] { chooseRowColour(row); });
        // Ctrl+V on the row's code box or button, or the code box's context
        // menu, reads the clipboard as the row's colour.
        auto *paste = new QAction(u"色を貼り付け(&P)"_s, controls.code);
        paste->setObjectName(controls.code->objectName() + u"_paste"_s);
        paste->setShortcut(QKeySequence::Paste);
        paste->setShortcutContext(Qt::WidgetShortcut);
        controls.code->addAction(paste);
        controls.button->addAction(paste);
        connect(paste, &QAction::triggered, this, [this, row] { pasteRowColour(row); });
        controls.code->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(controls.code, &QWidget::customContextMenuRequested, this,
                [code = controls.code, paste](const QPoint &at) {
                    const std::unique_ptr<QMenu> menu(code->createStandardContextMenu());
                    menu->addSeparator();
                    menu->addAction(paste);
                    menu->exec(code->mapToGlobal(at));
                });
    }
    connect(m_letterCase, &LetterCaseBox::valueChanged, this, &FrmBody::applyLetterCase);
    connect(m_copy, &QPushButton::clicked, this, &FrmBody::copyTag);
    connect(m_close, &QPushButton::clicked, this, &FrmBody::reject);

    showContrast();
    formLoad();
}

void FrmBody::createControls()
{
    m_preview = new ColorBox(this);
    m_preview->setObjectName(u"PicBg"_s);
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_preview->setLineWidth(2);
    m_preview->setFocusPolicy(Qt::StrongFocus);
    m_preview->setGeometry(TwipsRect(120, 120, 1695, 1575));

    const QFont codeFont = MappedFont(kGothicName, 9);
    QFont linkFont = MappedFont(kPGothicName, 9);
    linkFont.setUnderline(true);
    // NOTE: the captions' positions count from the preview's inside, not
    // from its border.
    const QPoint inside = m_preview->contentsRect().topLeft();

    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RowDesign &design = kRowDesigns[i];
        RowControls &controls = m_rows[i];
        const QString suffix = Text(design.objectSuffix);

        controls.code = new QLineEdit(this);
        controls.code->setObjectName(u"Text"_s + suffix);
        controls.code->setReadOnly(true);
        controls.code->setAlignment(Qt::AlignCenter);
        controls.code->setFont(codeFont);
        controls.code->setGeometry(TwipsRect(1920, design.top, 1095, 270));

        controls.button = new QPushButton(u"参照..."_s, this);
        controls.button->setObjectName(u"Cmd"_s + suffix);
        controls.button->setGeometry(TwipsRect(3000, design.top, 615, 255));

        if (design.captionName) {
            controls.caption = new QLabel(Text(design.captionText), m_preview);
            controls.caption->setObjectName(Text(design.captionName));
            controls.caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (i != static_cast<std::size_t>(Row::Text))
                controls.caption->setFont(linkFont);
            controls.caption->setGeometry(
                TwipsRect(120, design.captionTop, 1455, 255).translated(inside));
        }
        showRowColour(static_cast<Row>(i), design.defaultColour);
    }

    auto *backgroundCaption = new QLabel(u"背景色"_s, this);
    backgroundCaption->setObjectName(u"Label5"_s);
    backgroundCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    backgroundCaption->setGeometry(TwipsRect(240, 1800, 1455, 255));

    m_letterCase = new LetterCaseBox(u"小文字(&K)"_s, this);
    m_letterCase->setObjectName(u"CheckKomozi"_s);
    m_letterCase->setGeometry(TwipsRect(120, 2160, 1095, 375));

    m_copy = new QPushButton(u"コピー(&C)"_s, this);
    m_copy->setObjectName(u"CmdCopy"_s);
    m_copy->setGeometry(TwipsRect(1320, 2160, 1095, 375));
    m_copy->setDefault(true);

    m_close = new QPushButton(u"閉じる(&X)"_s, this);
    m_close->setObjectName(u"CmdUnload"_s);
    m_close->setGeometry(TwipsRect(2520, 2160, 1095, 375));
}

void FrmBody::chainTabOrder()
{
    // The focus goes round in this order; the captions take no focus.
    QWidget *const order[] = {
        m_preview,
        rowControls(Row::Background).button,
        rowControls(Row::Background).code,
        rowControls(Row::Text).code,
        rowControls(Row::Link).code,
        rowControls(Row::Vlink).code,
        rowControls(Row::Alink).code,
        rowControls(Row::Text).button,
        rowControls(Row::Link).button,
        rowControls(Row::Vlink).button,
        rowControls(Row::Alink).button,
        m_close,
        m_copy,
        m_letterCase,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

FrmBody::RowControls &FrmBody::rowControls(Row row)
{
    return m_rows[static_cast<std::size_t>(row)];
}

void FrmBody::formLoad()
{
    if (!m_services.settings)
        return;
    // A stored 1 or 2 changes the check box and so runs the letter-case
    // conversion before the window is first shown. Values other than 0, 1
    // and 2 count as 0.
    m_letterCase->setValue(colour::LetterCaseFromStored(
        savedstate::Read(*m_services.settings, savedstate::Value::BodyLetterCase)));
}

void FrmBody::formUnload()
{
    if (!m_services.settings)
        return;
    m_services.settings->unsaved().note(savedstate::Write(*m_services.settings,
                                                          savedstate::Value::BodyLetterCase,
                                                          static_cast<int>(m_letterCase->value())));
    m_services.settings->unsaved().tell(this, m_services.feedback);
}

void FrmBody::done(int result)
{
    // NOTE: Esc and the title bar's close button reach here through reject(),
    // like 閉じる. A dialog that is already hidden has been closed and stored
    // its option; it does not store it again.
    if (isVisible())
        formUnload();
    QDialog::done(result);
}

void FrmBody::chooseRowColour(Row row)
{
    if (!m_services.chooser)
        return;
    // The chooser opens on the row's colour; a cancelled one leaves the row
    // as it was.
    RowControls &controls = rowControls(row);
    const std::optional<colour::ColourValue> chosen =
        m_services.chooser->choose(this, controls.colour);
    if (!chosen)
        return;
    setRowColour(row, *chosen);
}

void FrmBody::pasteRowColour(Row row)
{
    const QString text = m_services.clipboard ? m_services.clipboard->text() : QString();
    if (const std::optional<colour::Rgb> rgb = colour::ParseColourText(text))
        setRowColour(row, colour::MakeColourValue(rgb->red, rgb->green, rgb->blue));
    else if (m_services.feedback.message)
        m_services.feedback.message(this, colour::ColourTextRefusedMessage(text));
}

void FrmBody::setRowColour(Row row, colour::ColourValue value)
{
    showRowColour(row, value);
    showContrast();
}

void FrmBody::showRowColour(Row row, colour::ColourValue value)
{
    // The new code is upper case whatever the letter-case option says; the
    // copy converts the whole tag anyway.
    const colour::HexTriple hex = colour::SplitColorValue(value);
    RowControls &controls = rowControls(row);
    controls.colour = value;
    controls.code->setText(colour::BuildColorCode(hex.red, hex.green, hex.blue));
    if (controls.caption)
        SetTextColour(controls.caption, value);
    else
        m_preview->setBackColor(value);
}

void FrmBody::showContrast()
{
    // Each text colour's caption and code box tell its contrast with the
    // background.
    const colour::ColourValue background = rowControls(Row::Background).colour;
    for (RowControls &controls : m_rows) {
        if (!controls.caption)
            continue;
        const QString tip = colour::BackgroundContrastTip(controls.colour, background);
        controls.caption->setToolTip(tip);
        controls.code->setToolTip(tip);
    }
}

void FrmBody::applyLetterCase(colour::LetterCase option)
{
    for (RowControls &controls : m_rows)
        controls.code->setText(colour::ApplyLetterCase(controls.code->text(), option));
}

void FrmBody::copyTag()
{
    if (!m_services.clipboard)
        return;
    m_services.clipboard->clear();
    m_services.clipboard->setText(BuildBodyTag(codes(), m_letterCase->value()));
}

BodyCodes FrmBody::codes() const
{
    const auto text = [this](Row row) {
        return m_rows[static_cast<std::size_t>(row)].code->text();
    };
    return {text(Row::Background), text(Row::Text), text(Row::Link), text(Row::Vlink),
            text(Row::Alink)};
}
