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
    QWidget::setTabOrder(m_checkTemae, m_checkDokodemo);
    QWidget::setTabOrder(m_checkDokodemo, m_cmdOK);
    QWidget::setTabOrder(m_cmdOK, m_cmdTekiyou);
    QWidget::setTabOrder(m_cmdTekiyou, m_cmdCancel);
    m_checkTemae->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(m_cmdTekiyou, &QPushButton::clicked, this, &FrmOption::apply);
    connect(m_cmdCancel, &QPushButton::clicked, this, &FrmOption::reject);

    formLoad(options);
}

void FrmOption::createControls()
{
    m_checkTemae = new WrapCheckBox(u"常に手前に表示する"_s, this);
    m_checkTemae->setObjectName(u"CheckTemae"_s);
    m_checkTemae->setGeometry(TwipsRect(240, 120, 2895, 495));

    m_checkDokodemo = new WrapCheckBox(u"どこでもｽﾎﾟｲﾄのときVandrelを隠す。"_s, this);
    m_checkDokodemo->setObjectName(u"CheckDokodemo"_s);
    m_checkDokodemo->setGeometry(TwipsRect(240, 720, 2895, 495));

    m_cmdOK = new QPushButton(u"OK"_s, this);
    m_cmdOK->setObjectName(u"CmdOK"_s);
    m_cmdOK->setGeometry(TwipsRect(120, 1320, 975, 375));
    m_cmdOK->setDefault(true);

    m_cmdTekiyou = new QPushButton(u"適用"_s, this);
    m_cmdTekiyou->setObjectName(u"CmdTekiyou"_s);
    m_cmdTekiyou->setGeometry(TwipsRect(1200, 1320, 975, 375));

    m_cmdCancel = new QPushButton(u"キャンセル"_s, this);
    m_cmdCancel->setObjectName(u"CmdCancel"_s);
    m_cmdCancel->setGeometry(TwipsRect(2280, 1320, 975, 375));
}

void FrmOption::formLoad(const AppOptions &options)
{
    // Only exactly 1 counts as on; a stored 2 or -1 shows an empty box.
    m_checkTemae->setChecked(options.temae == 1);
    m_checkDokodemo->setChecked(options.hideDokodemo == 1);
}

void FrmOption::apply()
{
    Q_EMIT applied(m_checkTemae->isChecked() ? 1 : 0, m_checkDokodemo->isChecked() ? 1 : 0);
}
