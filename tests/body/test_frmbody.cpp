// SPDX-License-Identifier: MIT
#include "body/frmbody.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "main/services.h"

#include "body/fakeclipboard.h"
#include "body/fakecolourchooser.h"
#include "body/fakesettingsstore.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QStringList kUpperDefaults{u"#000000"_s, u"#0000FF"_s, u"#800080"_s, u"#FF0000"_s,
                                 u"#FFFFFF"_s};
const QStringList kLowerDefaults{u"#000000"_s, u"#0000ff"_s, u"#800080"_s, u"#ff0000"_s,
                                 u"#ffffff"_s};
const QStringList kCodeBoxes{u"TextText"_s, u"TextLink"_s, u"TextVlink"_s, u"TextAlink"_s,
                             u"TextBg"_s};
const QString kUpperTag =
    u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" VLINK=\"#800080\" "
    u"ALINK =\"#FF0000\">"_s;
const QString kLowerTag =
    u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
    u"alink =\"#ff0000\">"_s;

/// No Body/Komozi in the settings file.
constexpr int kMissing = std::numeric_limits<int>::min();

/// The editor with fakes behind it; stored Body/Komozi as given (none: missing).
struct Fixture
{
    explicit Fixture(int storedKomozi = kMissing)
    {
        if (storedKomozi != kMissing)
            settings.values.insert(u"Body/Komozi"_s, QString::number(storedKomozi));
        services.settings = &settings;
        services.chooser = &chooser;
        services.clipboard = &clipboard;
    }
    FakeSettingsStore settings;
    FakeColourChooser chooser;
    FakeClipboard clipboard;
    Services services;
};

template <typename T> T *Child(const QWidget &window, const QString &name)
{
    T *widget = window.findChild<T *>(name);
    if (!widget)
        qWarning("missing control %s", qPrintable(name));
    return widget;
}

QStringList Codes(const QWidget &window)
{
    QStringList codes;
    for (const QString &name : kCodeBoxes)
        codes << Child<QLineEdit>(window, name)->text();
    return codes;
}

/// What each row's button paints: a caption's text colour or the preview's background.
colour::ColourValue PreviewColour(const QWidget &window, const QString &row)
{
    if (row == u"Bg")
        return Child<ColorBox>(window, u"PicBg"_s)->backColor();
    const QColor c = Child<QLabel>(window, u"Lbl"_s + row)->palette().color(QPalette::WindowText);
    return colour::MakeColourValue(c.red(), c.green(), c.blue());
}

const QStringList kRows{u"Text"_s, u"Link"_s, u"Vlink"_s, u"Alink"_s, u"Bg"_s};
const QList<colour::ColourValue> kDefaultPreview{0x000000, 0xFF0000, 0x800080, 0x0000FF, 0xFFFFFF};

} // namespace

class FrmBodyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void restoresLetterCase_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("missing") << kMissing << 0 << kUpperDefaults;
        QTest::newRow("0") << 0 << 0 << kUpperDefaults;
        QTest::newRow("1 lower-cases before showing") << 1 << 1 << kLowerDefaults;
        QTest::newRow("2 greyed, codes stay") << 2 << 2 << kUpperDefaults;
    }
    void restoresLetterCase()
    {
        QFETCH(int, stored);
        QFETCH(int, option);
        QFETCH(QStringList, codes);
        Fixture f(stored);
        FrmBody dialog(f.services);
        QCOMPARE(Child<LetterCaseBox>(dialog, u"CheckKomozi"_s)->value(), option);
        QCOMPARE(Codes(dialog), codes);
        QCOMPARE(f.settings.log, QStringList{u"read Body/Komozi"_s});
    }

    void storesLetterCaseOnceOnClose_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("written");
        QTest::newRow("閉じる after ticking") << 0 << true << u"unload"_s << u"1"_s;
        QTest::newRow("title bar, greyed kept") << 2 << false << u"titlebar"_s << u"2"_s;
        QTest::newRow("Esc after clearing") << 1 << true << u"escape"_s << u"0"_s;
        QTest::newRow("title bar, untouched 0") << 0 << false << u"titlebar"_s << u"0"_s;
    }
    void storesLetterCaseOnceOnClose()
    {
        QFETCH(int, stored);
        QFETCH(bool, click);
        QFETCH(QString, how);
        QFETCH(QString, written);
        Fixture f(stored);
        {
            FrmBody dialog(f.services);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            if (click)
                QTest::mouseClick(Child<LetterCaseBox>(dialog, u"CheckKomozi"_s), Qt::LeftButton);
            QCOMPARE(f.settings.log.size(), 1); // nothing written while open
            if (how == u"unload")
                QTest::mouseClick(Child<QPushButton>(dialog, u"CmdUnload"_s), Qt::LeftButton);
            else if (how == u"titlebar")
                dialog.close();
            else
                QTest::keyClick(Child<ColorBox>(dialog, u"PicBg"_s), Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            // Further requests to close a closed window store nothing more.
            dialog.close();
            dialog.reject();
        }
        const QStringList expected{u"read Body/Komozi"_s, u"write Body/Komozi="_s + written};
        QCOMPARE(f.settings.log, expected);
    }

    void storesLetterCaseWhenClosedFromExec()
    {
        Fixture f(1);
        FrmBody dialog(f.services);
        QTimer::singleShot(0, &dialog, [&dialog] {
            QTest::mouseClick(Child<QPushButton>(dialog, u"CmdUnload"_s), Qt::LeftButton);
        });
        dialog.exec();
        const QStringList expected{u"read Body/Komozi"_s, u"write Body/Komozi=1"_s};
        QCOMPARE(f.settings.log, expected);
    }

    void enterCopiesTag_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("tag");
        QTest::newRow("upper, on the preview") << 0 << u"PicBg"_s << kUpperTag;
        QTest::newRow("lower, on a code box") << 1 << u"TextBg"_s << kLowerTag;
        QTest::newRow("greyed copies lower, on the check box")
            << 2 << u"CheckKomozi"_s << kLowerTag;
    }
    void enterCopiesTag()
    {
        QFETCH(int, stored);
        QFETCH(QString, focus);
        QFETCH(QString, tag);
        Fixture f(stored);
        FrmBody dialog(f.services);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(Child<QWidget>(dialog, focus), Qt::Key_Return);
        const QStringList expected{u"clear"_s, u"set:"_s + tag};
        QCOMPARE(f.clipboard.log, expected);
        QVERIFY(dialog.isVisible());
        QCOMPARE(Codes(dialog), stored == 1 ? kLowerDefaults : kUpperDefaults);
    }

    void chooserConfirmSetsRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<uint>("chosen");
        QTest::addColumn<QString>("code");
        const struct
        {
            uint value;
            QString code;
        } colours[] = {{0x0080FF, u"#FF8000"_s}, {0x030201, u"#010203"_s}, {0, u"#000000"_s}};
        for (int row = 0; row < kRows.size(); ++row)
            for (const auto &c : colours)
                QTest::addRow("%s %s", qPrintable(kRows[row]), qPrintable(c.code))
                    << row << c.value << c.code;
    }
    void chooserConfirmSetsRow()
    {
        QFETCH(int, row);
        QFETCH(uint, chosen);
        QFETCH(QString, code);
        Fixture f;
        f.chooser.answers.push_back(chosen);
        FrmBody dialog(f.services);
        QTest::mouseClick(Child<QPushButton>(dialog, u"Cmd"_s + kRows[row]), Qt::LeftButton);

        QCOMPARE(f.chooser.initials, QList<colour::ColourValue>{0});
        QCOMPARE(f.chooser.parents, QList<QWidget *>{&dialog});
        QStringList codes = kUpperDefaults;
        codes[row] = code;
        QCOMPARE(Codes(dialog), codes);
        for (int other = 0; other < kRows.size(); ++other)
            QCOMPARE(PreviewColour(dialog, kRows[other]),
                     other == row ? chosen : kDefaultPreview[other]);
        QVERIFY(f.clipboard.log.isEmpty());
    }

    void chooserCancelChangesNothing_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < kRows.size(); ++row)
            QTest::newRow(qPrintable(kRows[row])) << row;
    }
    void chooserCancelChangesNothing()
    {
        QFETCH(int, row);
        Fixture f;
        FrmBody dialog(f.services);
        // Cancel as the very first action, and again after a confirmed colour
        // in this row.
        f.chooser.answers = {std::nullopt, 0x0080FFu, std::nullopt};
        QPushButton *button = Child<QPushButton>(dialog, u"Cmd"_s + kRows[row]);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(Codes(dialog), kUpperDefaults);
        QCOMPARE(PreviewColour(dialog, kRows[row]), kDefaultPreview[row]);

        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QStringList codes = kUpperDefaults;
        codes[row] = u"#FF8000"_s;
        QCOMPARE(Codes(dialog), codes);
        QCOMPARE(PreviewColour(dialog, kRows[row]), colour::ColourValue{0x0080FF});
        const QList<colour::ColourValue> initials{0, 0, 0x0080FF};
        QCOMPARE(f.chooser.initials, initials);
    }

    void chooserOpensOnLastConfirmedColour()
    {
        Fixture f;
        FrmBody dialog(f.services);
        f.chooser.answers = {0x0080FFu, std::nullopt, 0x332211u, std::nullopt};
        for (const QString &row : {u"Text"_s, u"Bg"_s, u"Link"_s, u"Alink"_s})
            QTest::mouseClick(Child<QPushButton>(dialog, u"Cmd"_s + row), Qt::LeftButton);
        // Shared by all rows; a cancel does not change it.
        const QList<colour::ColourValue> initials{0, 0x0080FF, 0x0080FF, 0x332211};
        QCOMPARE(f.chooser.initials, initials);
        const QStringList codes{u"#FF8000"_s, u"#112233"_s, u"#800080"_s, u"#FF0000"_s,
                                u"#FFFFFF"_s};
        QCOMPARE(Codes(dialog), codes);

        // A new window starts again from black and the default codes.
        FrmBody second(f.services);
        f.chooser.answers = {std::nullopt};
        QTest::mouseClick(Child<QPushButton>(second, u"CmdVlink"_s), Qt::LeftButton);
        QCOMPARE(f.chooser.initials.last(), colour::ColourValue{0});
        QCOMPARE(Codes(second), kUpperDefaults);
    }

    void letterCaseClickConvertsAllCodes()
    {
        Fixture f(0);
        FrmBody dialog(f.services);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *check = Child<LetterCaseBox>(dialog, u"CheckKomozi"_s);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(check->value(), 1);
        QCOMPARE(Codes(dialog), kLowerDefaults);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(check->value(), 0);
        QCOMPARE(Codes(dialog), kUpperDefaults);
        QVERIFY(f.clipboard.log.isEmpty());
        dialog.close();
    }

    void newCodeIsUpperBesideLowerOnes()
    {
        Fixture f(1);
        f.chooser.answers = {0x0080FFu};
        FrmBody dialog(f.services);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(Child<QPushButton>(dialog, u"CmdBg"_s), Qt::LeftButton);
        QStringList codes = kLowerDefaults;
        codes[4] = u"#FF8000"_s;
        QCOMPARE(Codes(dialog), codes);
        QTest::mouseClick(Child<QPushButton>(dialog, u"CmdCopy"_s), Qt::LeftButton);
        const QStringList expected{u"clear"_s,
                                   u"set:<body bgcolor=\"#ff8000\" text=\"#000000\" "
                                   u"link=\"#0000ff\" vlink=\"#800080\" alink =\"#ff0000\">"_s};
        QCOMPARE(f.clipboard.log, expected);
        dialog.close();
    }

    void controlsStandInPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("caption");
        QTest::newRow("PicBg") << u"PicBg"_s << QRect(8, 8, 113, 105) << QString();
        QTest::newRow("LblText") << u"LblText"_s << QRect(8, 8, 97, 17) << u"テキスト色"_s;
        QTest::newRow("LblLink") << u"LblLink"_s << QRect(8, 32, 97, 17) << u"未訪問リンク"_s;
        QTest::newRow("LblVlink") << u"LblVlink"_s << QRect(8, 56, 97, 17) << u"訪問済みリンク色"_s;
        QTest::newRow("LblAlink") << u"LblAlink"_s << QRect(8, 80, 97, 17)
                                  << u"アクセス中リンク色"_s;
        QTest::newRow("Label5") << u"Label5"_s << QRect(16, 120, 97, 17) << u"背景色"_s;
        QTest::newRow("TextText") << u"TextText"_s << QRect(128, 16, 73, 18) << u"#000000"_s;
        QTest::newRow("TextLink") << u"TextLink"_s << QRect(128, 40, 73, 18) << u"#0000FF"_s;
        QTest::newRow("TextVlink") << u"TextVlink"_s << QRect(128, 64, 73, 18) << u"#800080"_s;
        QTest::newRow("TextAlink") << u"TextAlink"_s << QRect(128, 88, 73, 18) << u"#FF0000"_s;
        QTest::newRow("TextBg") << u"TextBg"_s << QRect(128, 120, 73, 18) << u"#FFFFFF"_s;
        QTest::newRow("CmdText") << u"CmdText"_s << QRect(200, 16, 41, 17) << u"参照..."_s;
        QTest::newRow("CmdLink") << u"CmdLink"_s << QRect(200, 40, 41, 17) << u"参照..."_s;
        QTest::newRow("CmdVlink") << u"CmdVlink"_s << QRect(200, 64, 41, 17) << u"参照..."_s;
        QTest::newRow("CmdAlink") << u"CmdAlink"_s << QRect(200, 88, 41, 17) << u"参照..."_s;
        QTest::newRow("CmdBg") << u"CmdBg"_s << QRect(200, 120, 41, 17) << u"参照..."_s;
        QTest::newRow("CheckKomozi")
            << u"CheckKomozi"_s << QRect(8, 144, 73, 25) << u"小文字(&K)"_s;
        QTest::newRow("CmdCopy") << u"CmdCopy"_s << QRect(88, 144, 73, 25) << u"コピー(&C)"_s;
        QTest::newRow("CmdUnload") << u"CmdUnload"_s << QRect(168, 144, 73, 25) << u"閉じる(&X)"_s;
    }
    void controlsStandInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, caption);
        Fixture f;
        FrmBody dialog(f.services);
        QWidget *widget = Child<QWidget>(dialog, name);
        QVERIFY(widget);
        QRect actual = widget->geometry();
        // The captions in the preview count from its inside, not its border.
        if (widget->parentWidget() != &dialog)
            actual.translate(-widget->parentWidget()->contentsRect().topLeft());
        QCOMPARE(actual, rect);
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), caption);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            QCOMPARE(button->text(), caption);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            QCOMPARE(edit->text(), caption);
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->font().family(), u"ＭＳ ゴシック"_s);
        }
    }

    void linkCaptionsAreUnderlined()
    {
        Fixture f;
        FrmBody dialog(f.services);
        QVERIFY(!Child<QLabel>(dialog, u"LblText"_s)->font().underline());
        for (const QString &name : {u"LblLink"_s, u"LblVlink"_s, u"LblAlink"_s})
            QVERIFY2(Child<QLabel>(dialog, name)->font().underline(), qPrintable(name));
    }

    void tabOrderAndFirstFocus()
    {
        Fixture f;
        FrmBody dialog(f.services);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *picBg = Child<QWidget>(dialog, u"PicBg"_s);
        QCOMPARE(dialog.focusWidget(), picBg);
        QStringList order;
        QWidget *w = picBg;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dialog))
                order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != picBg);
        const QStringList expected{u"PicBg"_s,    u"CmdBg"_s,      u"TextBg"_s,    u"TextText"_s,
                                   u"TextLink"_s, u"TextVlink"_s,  u"TextAlink"_s, u"CmdText"_s,
                                   u"CmdLink"_s,  u"CmdVlink"_s,   u"CmdAlink"_s,  u"CmdUnload"_s,
                                   u"CmdCopy"_s,  u"CheckKomozi"_s};
        QCOMPARE(order, expected);
        QVERIFY(Child<QPushButton>(dialog, u"CmdCopy"_s)->isDefault());
        dialog.close();
    }

    void windowIsFixedToolCentredOverOpener()
    {
        QWidget opener;
        opener.setGeometry(100, 90, 400, 300);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        Fixture f;
        FrmBody dialog(f.services, &opener);
        QCOMPARE(dialog.windowTitle(), u"<BODY>の編集"_s);
        QCOMPARE(dialog.parentWidget(), nullptr);
        QCOMPARE(dialog.minimumSize(), QSize(249, 177));
        QCOMPARE(dialog.maximumSize(), QSize(249, 177));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint offset = dialog.frameGeometry().center() - opener.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(u"off by %1,%2"_s.arg(offset.x()).arg(offset.y())));
        dialog.close();
    }
};

QTEST_MAIN(FrmBodyTest)
#include "test_frmbody.moc"
