// SPDX-License-Identifier: MIT
#include "dialogs/frmoption.h"

#include "common/appoptions.h"
#include "common/dialoglayout.h"
#include "common/twips.h"
#include "dialogs/wrapcheckbox.h"

#include <QCheckBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

FrmOption::FrmOption(const AppOptions &options, QWidget *mainWindow) : CentredDialog(mainWindow)
{
    dialoglayout::SetUpToolWindow(this, u"FrmOption"_s, u"オプション"_s, 3375, 1815);

    createControls();
    QWidget::setTabOrder(m_inFront, m_hideForEyedropper);
    QWidget::setTabOrder(m_hideForEyedropper, m_ok);
    QWidget::setTabOrder(m_ok, m_apply);
    QWidget::setTabOrder(m_apply, m_cancel);
    m_inFront->setFocus();

    connect(m_ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(m_apply, &QPushButton::clicked, this, &FrmOption::apply);
    connect(m_cancel, &QPushButton::clicked, this, &FrmOption::reject);

    formLoad(options);
}

void FrmOption::createControls()
{
    m_inFront = new WrapCheckBox(u"常に手前に表示する"_s, this);
    m_inFront->setObjectName(u"CheckTemae"_s);
    m_inFront->setGeometry(TwipsRect(240, 120, 2895, 495));

    m_hideForEyedropper = new WrapCheckBox(u"どこでもｽﾎﾟｲﾄのときVandrelを隠す。"_s, this);
    m_hideForEyedropper->setObjectName(u"CheckDokodemo"_s);
    m_hideForEyedropper->setGeometry(TwipsRect(240, 720, 2895, 495));

    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"CmdOK"_s);
    m_ok->setGeometry(TwipsRect(120, 1320, 975, 375));
    m_ok->setDefault(true);

    m_apply = new QPushButton(u"適用"_s, this);
    m_apply->setObjectName(u"CmdTekiyou"_s);
    m_apply->setGeometry(TwipsRect(1200, 1320, 975, 375));

    m_cancel = new QPushButton(u"キャンセル"_s, this);
    m_cancel->setObjectName(u"CmdCancel"_s);
    m_cancel->setGeometry(TwipsRect(2280, 1320, 975, 375));
}

void FrmOption::formLoad(const AppOptions &options)
{
    // Only exactly 1 counts as on; a stored 2 or -1 shows an empty box.
    m_inFront->setChecked(options.temae == 1);
    m_hideForEyedropper->setChecked(options.hideDokodemo == 1);
}

void FrmOption::apply()
{
    Q_EMIT applied(m_inFront->isChecked() ? 1 : 0, m_hideForEyedropper->isChecked() ? 1 : 0);
}
