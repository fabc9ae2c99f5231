// SPDX-License-Identifier: MIT
#include "dialogs/frmabout.h"

#include "common/appinfo.h"
#include "common/dialoglayout.h"
#include "common/fonts.h"
#include "common/savedstate.h"
#include "common/settingsstore.h"
#include "common/twips.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
                  Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setAlignment(alignment);
    // NOTE: plain text always; "<BODY>" in a caption must not be taken for markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

FrmAbout::FrmAbout(settings::SettingsStore &settings, QWidget *centreOver)
    : CentredDialog(centreOver), m_settings(settings)
{
    setObjectName(u"FrmAbout"_s);
    setWindowTitle(u"バージョン情報"_s);
    // A fixed dialog frame with a close button only. Without an owner the
    // window system treats it as a transient of the program, which keeps it
    // out of the task bar.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(MappedFont(kPGothicName, 9));
    setFixedSize(TwipsToPixels(4110), TwipsToPixels(2310));

    createControls();
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &FrmAbout::accept);

    formLoad();
}

void FrmAbout::createControls()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;

    QLabel *name =
        MakeLabel(this, u"Label1"_s, appinfo::Name(), TwipsRect(120, 120, 3855, 255), centre);
    // NOTE: Arial is often missing on Linux; fontconfig then picks a
    // look-alike sans serif, which is what we want.
    QFont title(u"Arial"_s, 12);
    title.setBold(true);
    name->setFont(title);

    m_shortVersion = MakeLabel(this, u"Label2"_s, u"0.0"_s, TwipsRect(3720, 240, 375, 255), left);
    QFont shortVersion(u"Arial"_s, 9);
    shortVersion.setBold(true);
    m_shortVersion->setFont(shortVersion);

    QLabel *notice = MakeLabel(this, u"Label4"_s,
                               u"HTML の色コードを作る小さな道具です。\n"
                               u"スライダー、パレット、スポイトで色を選び、\n"
                               u"コードと <BODY> タグをコピーできます。"_s,
                               TwipsRect(120, 600, 3855, 735), Qt::AlignLeft | Qt::AlignTop);
    notice->setWordWrap(true);

    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"CmdOK"_s);
    m_ok->setGeometry(TwipsRect(1388, 1440, 1335, 375));
    m_ok->setDefault(true);

    m_version =
        MakeLabel(this, u"Label3"_s, u"Version:0.0.0"_s, TwipsRect(120, 1560, 1095, 255), left);
    m_uses = MakeLabel(this, u"LblUse"_s, u"使用回数"_s, TwipsRect(2880, 1560, 1095, 255),
                       Qt::AlignRight | Qt::AlignVCenter);
    MakeLabel(this, u"lblCopy"_s, u"© Vandrel の作者たち — MIT ライセンス"_s,
              TwipsRect(120, 1920, 3855, 255), centre);
}

void FrmAbout::formLoad()
{
    using namespace appinfo;
    m_shortVersion->setText(QString::number(kMajor) + u'.' + QString::number(kMinor));
    m_version->setText(u"Version:"_s + QString::number(kMajor) + u'.' + QString::number(kMinor) +
                       u'.' + QString::number(kRevision));
    // Read afresh each time: the main window counts the start before any box
    // can open, so this includes the current run.
    m_uses->setText(QString::number(savedstate::Read(m_settings, savedstate::Value::Uses)));

    // NOTE: the long version is laid out for a narrower font than the
    // Japanese gothic found here; let it grow towards the OK button rather
    // than cut off its last digit.
    const int needed = m_version->fontMetrics().horizontalAdvance(m_version->text()) + 2;
    const int room = m_ok->x() - TwipsToPixels(60) - m_version->x();
    if (needed > m_version->width())
        m_version->resize(std::min(needed, room), m_version->height());
}
