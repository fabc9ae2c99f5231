// SPDX-License-Identifier: MIT
#include "body/frmbody.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "common/services.h"

#include "support/fakeclipboard.h"
#include "support/fakecolourchooser.h"
#include "support/fakesettingsstore.h"
#include "support/picture.h"

#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;
using colour::ColourValue;

namespace {

// The rows in the editor's order; "Text" names TextText, CmdText and LblText.
const QStringList kRows{u"Text"_s, u"Link"_s, u"Vlink"_s, u"Alink"_s, u"Bg"_s};
const QStringList kUpper{u"#000000"_s, u"#0000FF"_s, u"#800080"_s, u"#FF0000"_s, u"#FFFFFF"_s};
const QStringList kLower{u"#000000"_s, u"#0000ff"_s, u"#800080"_s, u"#ff0000"_s, u"#ffffff"_s};
/// What each row paints at first (red in the low byte).
const QList<ColourValue> kDefaultPreview{0x000000, 0xFF0000, 0x800080, 0x0000FF, 0xFFFFFF};
const QString kUpperTag = u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" "
                          u"VLINK=\"#800080\" ALINK =\"#FF0000\">"_s;
const QString kLowerTag = u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" "
                          u"vlink=\"#800080\" alink =\"#ff0000\">"_s;

/// The editor's services as fakes, with Body/Komozi stored as given (none when negative).
struct Fixture
{
    explicit Fixture(int storedKomozi = -1)
    {
        if (storedKomozi >= 0)
            settings.values.insert(u"Body/Komozi"_s, QString::number(storedKomozi));
    }
    FakeSettingsStore settings;
    FakeColourChooser chooser;
    FakeClipboard clipboard;
    Services services{&settings, &chooser, &clipboard, nullptr, {}};
};

template <typename T = QWidget> T *Child(const QWidget &window, const QString &name)
{
    T *widget = window.findChild<T *>(name);
    if (!widget)
        qFatal("missing control %s", qPrintable(name));
    return widget;
}

QStringList Codes(const QWidget &window)
{
    QStringList codes;
    for (const QString &row : kRows)
        codes << Child<QLineEdit>(window, u"Text"_s + row)->text();
    return codes;
}

/// What each row's colour paints: its caption's text, or the preview's background.
QList<ColourValue> Previews(const QWidget &window)
{
    QList<ColourValue> colours;
    for (const QString &row : kRows.first(4)) {
        const QColor c = Child(window, u"Lbl"_s + row)->palette().color(QPalette::WindowText);
        colours << colour::MakeColourValue(c.red(), c.green(), c.blue());
    }
    return colours << Child<ColorBox>(window, u"PicBg"_s)->backColor();
}

} // namespace

class FrmBodyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }

    // Restored when the window opens, copied with Enter, written once when it closes.
    void letterCaseOption_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("how");
        QTest::newRow("missing, tick, 閉じる") << -1 << true << u"PicBg"_s << u"unload"_s;
        QTest::newRow("0, title bar") << 0 << false << u"TextBg"_s << u"titlebar"_s;
        QTest::newRow("1 lower, clear, Esc") << 1 << true << u"CheckKomozi"_s << u"escape"_s;
        QTest::newRow("1 lower, title bar") << 1 << false << u"TextText"_s << u"titlebar"_s;
        QTest::newRow("2 greyed, title bar") << 2 << false << u"CheckKomozi"_s << u"titlebar"_s;
    }
    void letterCaseOption()
    {
        QFETCH(int, stored);
        QFETCH(bool, click);
        QFETCH(QString, focus);
        QFETCH(QString, how);
        Fixture f(stored);
        {
            FrmBody dialog(f.services);
            auto *box = Child<LetterCaseBox>(dialog, u"CheckKomozi"_s);
            QCOMPARE(static_cast<int>(box->value()), qMax(stored, 0));
            // A stored 1 lower-cases the codes before the window shows; 2 leaves them.
            QCOMPARE(Codes(dialog), stored == 1 ? kLower : kUpper);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            if (click)
                QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(Codes(dialog), box->value() == colour::LetterCase::Lower ? kLower : kUpper);

            QTest::keyClick(Child(dialog, focus), Qt::Key_Return);
            const QString tag = box->value() == colour::LetterCase::Upper ? kUpperTag : kLowerTag;
            QCOMPARE(f.clipboard.log, (QStringList{u"clear"_s, u"set:"_s + tag}));
            QVERIFY(dialog.isVisible());
            QCOMPARE(f.settings.log, QStringList{u"read Body/Komozi"_s});

            const QString written =
                u"write Body/Komozi="_s + QString::number(static_cast<int>(box->value()));
            if (how == u"unload")
                QTest::mouseClick(Child(dialog, u"CmdUnload"_s), Qt::LeftButton);
            else if (how == u"titlebar")
                dialog.close();
            else
                QTest::keyClick(Child(dialog, u"PicBg"_s), Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            // Further requests to close a closed window store nothing more.
            dialog.close();
            dialog.reject();
            QCOMPARE(f.settings.log, (QStringList{u"read Body/Komozi"_s, written}));
        }
        QCOMPARE(f.settings.log.size(), 2);
    }

    void chooserColourForARow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("stored");
        for (int row = 0; row < kRows.size(); ++row)
            for (int stored : {0, 1})
                QTest::addRow("%s, option %d", qPrintable(kRows[row]), stored) << row << stored;
    }
    void chooserColourForARow()
    {
        QFETCH(int, row);
        QFETCH(int, stored);
        Fixture f(stored);
        FrmBody dialog(f.services);
        auto *button = Child(dialog, u"Cmd"_s + kRows[row]);
        f.chooser.answers = {std::nullopt, 0x0C0B0Au}; // then only cancels
        QStringList codes = stored == 1 ? kLower : kUpper;
        QList<ColourValue> previews = kDefaultPreview;

        QTest::mouseClick(button, Qt::LeftButton); // cancelled: nothing changes
        QCOMPARE(Codes(dialog), codes);
        QCOMPARE(Previews(dialog), previews);
        // Confirmed: the new code is upper case and padded, whatever the option.
        QTest::mouseClick(button, Qt::LeftButton);
        codes[row] = u"#0A0B0C"_s;
        previews[row] = 0x0C0B0A;
        QCOMPARE(Codes(dialog), codes);
        QCOMPARE(Previews(dialog), previews);
        QTest::mouseClick(button, Qt::LeftButton); // cancelled again
        QCOMPARE(Codes(dialog), codes);
        QCOMPARE(Previews(dialog), previews);

        // The chooser opens on the last confirmed colour, in any row of this
        // window; a new window starts again from black.
        QTest::mouseClick(Child(dialog, u"Cmd"_s + kRows[(row + 1) % 5]), Qt::LeftButton);
        QCOMPARE(Codes(dialog), codes);
        FrmBody second(f.services);
        QTest::mouseClick(Child(second, u"CmdVlink"_s), Qt::LeftButton);
        QCOMPARE(f.chooser.initials, (QList<ColourValue>{0, 0, 0x0C0B0A, 0x0C0B0A, 0}));
        QCOMPARE(f.chooser.parents.first(4), (QList<QWidget *>(4, &dialog)));
        QVERIFY(f.clipboard.log.isEmpty());
    }

    // Each text colour's caption and code box tell its contrast with the
    // background, and every chosen colour updates them.
    void contrastTips()
    {
        const QString pass = u"（AA 適合、AAA 適合）"_s;
        const QString aaOnly = u"（AA 適合、AAA 不適合）"_s;
        const QString fail = u"（AA 不適合、AAA 不適合）"_s;
        // The row whose button is pressed (none at first), the colour chosen,
        // then the four ratios: text, link, visited link, active link.
        const std::tuple<QString, ColourValue, QStringList> steps[] = {
            {{}, 0, {u"21.0:1"_s + pass, u"8.5:1"_s + pass, u"9.4:1"_s + pass, u"3.9:1"_s + fail}},
            {u"Bg"_s,
             0x777777,
             {u"4.6:1"_s + aaOnly, u"1.9:1"_s + fail, u"2.1:1"_s + fail, u"1.1:1"_s + fail}},
            {u"Text"_s,
             0x777777,
             {u"1.0:1"_s + fail, u"1.9:1"_s + fail, u"2.1:1"_s + fail, u"1.1:1"_s + fail}},
            {u"Bg"_s,
             0xFFFFFF,
             {u"4.4:1"_s + fail, u"8.5:1"_s + pass, u"9.4:1"_s + pass, u"3.9:1"_s + fail}},
            {u"Alink"_s,
             0x000000,
             {u"4.4:1"_s + fail, u"8.5:1"_s + pass, u"9.4:1"_s + pass, u"21.0:1"_s + pass}},
        };
        Fixture f;
        FrmBody dialog(f.services);
        for (const auto &[row, chosen, ratios] : steps) {
            if (!row.isEmpty()) {
                f.chooser.answers = {chosen};
                QTest::mouseClick(Child(dialog, u"Cmd"_s + row), Qt::LeftButton);
            }
            for (qsizetype i = 0; i < ratios.size(); ++i) {
                const QString tip = u"背景とのコントラスト比 "_s + ratios[i];
                QCOMPARE(Child(dialog, u"Lbl"_s + kRows[i])->toolTip(), tip);
                QCOMPARE(Child(dialog, u"Text"_s + kRows[i])->toolTip(), tip);
            }
            QCOMPARE(Child(dialog, u"TextBg"_s)->toolTip(), QString());
        }
    }

    void windowAndControls()
    {
        Fixture f;
        FrmBody dialog(f.services);
        QCOMPARE(dialog.windowTitle(), u"<BODY>の編集"_s);
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        VERIFY_PICTURE(dialog, u"FrmBody"_s);
        for (const QString &row : kRows)
            QVERIFY(Child<QLineEdit>(dialog, u"Text"_s + row)->isReadOnly());
        QCOMPARE(TabOrder(dialog), u"PicBg CmdBg TextBg TextText TextLink TextVlink TextAlink "
                                   u"CmdText CmdLink CmdVlink CmdAlink CmdUnload CmdCopy "
                                   u"CheckKomozi"_s);
    }
};

QTEST_MAIN(FrmBodyTest)
#include "test_frmbody.moc"
