// The colour picker of the Lighting page's swatches: when a click opens it,
// what OK and Cancel leave in the record and the file, and the picker itself.
#include "ui/colour_picker.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform/profile.h"
#include "ui/areas.h"
#include "ui/page_painter.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::ClickArea;
using testing::WindowFixture;
using ui::Page;
namespace led = ui::area::led;

// Answers the swatches' question with fixed levels, or as a cancelled picker.
struct AnswerColour : ui::ColourChooser {
    std::optional<Rgb4> answer;
    int asked = 0;
    Rgb4 opened;                      // the levels the picker opened with
    std::function<void()> meanwhile;  // runs while the picker is open
    std::optional<Rgb4> chooseColour(QWidget*, QPoint, const Rgb4& current, const ui::ColourPickerTexts&,
                                     const QFont&) override {
        ++asked;
        opened = current;
        if (meanwhile) meanwhile();
        return answer;
    }
};

// A started window on the Lighting page in Constantly, custom colours on.
struct LightingPage : WindowFixture {
    AnswerColour colours;
    LightingPage() {
        EXPECT_TRUE(start());
        window->setColourChooser(&colours);
        window->ChangePage(Page::Led);
        MouseSettings& s = session.settings;
        s.ledMode = kLedConstant;
        s.userColourEnable = 1;
        s.cycleColourEnable = {1, 1, 1, 1};
    }
    std::string stored(int k, char channel) const {
        const std::string key = "LED_USER" + std::to_string(k) + "_" + channel;
        return profile::ReadString(config(), "ShareData", key, "", 16);
    }
};

TEST(ColourPicker, OkKeepsTheLevelsTheSwatchShowsAndTheApplySavesThem) {
    LightingPage f;
    const Rgb4 before = f.session.settings.userColour[1];
    const std::string fileBefore = testing::ReadBytes(f.config());
    f.colours.answer = Rgb4{3, 9, 14};
    ClickArea(*f.window, Page::Led, led::kSwatchFirst + 1);
    ASSERT_EQ(f.colours.asked, 1);
    EXPECT_EQ(f.colours.opened, before);
    EXPECT_EQ(f.session.settings.userColour[1], (Rgb4{3, 9, 14}));
    // Each level v shows as 255 - 16 v.
    EXPECT_EQ(f.session.settings.userColourRef[1], 207u + 111u * 256u + 31u * 65536u);
    const QRect swatch = f.window->areaRect(Page::Led, led::kSwatchFirst + 1);
    EXPECT_EQ(f.window->renderFrame().pixelColor(swatch.center()), QColor(207, 111, 31));
    EXPECT_EQ(testing::ReadBytes(f.config()), fileBefore) << "kept with the next apply, as the page's other changes";

    ASSERT_TRUE(f.applyAndWait());
    EXPECT_EQ(f.stored(1, 'R') + f.stored(1, 'G') + f.stored(1, 'B'), "3914");
    EXPECT_EQ(f.stored(0, 'R'), std::to_string(f.session.settings.userColour[0].r)) << "the other colours stay";
    EXPECT_TRUE(f.messages.messages().empty());
}

// Clicks that must leave the record and the file as they are: with or
// without a question to the picker.
TEST(ColourPicker, CancelHiddenSwatchesAndApplyingChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(LightingPage&)> arrange;
        int asked;
        bool applies = false;  // the apply writes the record and the file: only the colours are compared
    };
    const Case cases[] = {
        {"cancelled", [](LightingPage&) {}, 1},
        {"custom colours off", [](LightingPage& f) { f.session.settings.userColourEnable = 0; }, 0},
        {"colour off: the swatch shows no colour", [](LightingPage& f) { f.session.settings.cycleColourEnable[2] = 0; },
         0},
        {"Mute hides the swatches", [](LightingPage& f) { f.session.settings.ledMode = kLedMute; }, 0},
        {"DPI breath hides the swatches", [](LightingPage& f) { f.session.settings.ledMode = kLedDpiBreath; }, 0},
        {"an apply writes", [](LightingPage& f) { ASSERT_TRUE(f.window->StartApply()); }, 0, true},
        {"an apply began while the picker was open",
         [](LightingPage& f) {
             f.colours.answer = Rgb4{1, 2, 3};
             f.colours.meanwhile = [&f] { ASSERT_TRUE(f.window->StartApply()); };
         },
         1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LightingPage f;
        c.arrange(f);
        const MouseSettings before = f.session.settings;
        const std::string fileBefore = testing::ReadBytes(f.config());
        ClickArea(*f.window, Page::Led, led::kSwatchFirst + 2);
        for (int i = 0; i < 60000 && f.window->applying(); ++i) QTest::qWait(1);
        EXPECT_EQ(f.colours.asked, c.asked);
        EXPECT_EQ(f.session.settings.userColour, before.userColour);
        EXPECT_EQ(f.session.settings.userColourRef, before.userColourRef);
        if (!c.applies) {
            EXPECT_TRUE(f.session.settings == before);
            EXPECT_EQ(testing::ReadBytes(f.config()), fileBefore);
        } else {
            EXPECT_EQ(f.stored(2, 'R') + "," + f.stored(2, 'G') + "," + f.stored(2, 'B'),
                      std::to_string(before.userColour[2].r) + "," + std::to_string(before.userColour[2].g) + "," +
                          std::to_string(before.userColour[2].b));
        }
    }
    // In Cycle breath and Button response the swatches are in view.
    for (std::uint8_t mode : {kLedCycleBreath, kLedButtonResponse}) {
        LightingPage f;
        f.session.settings.ledMode = mode;
        f.colours.answer = Rgb4{15, 0, 7};
        ClickArea(*f.window, Page::Led, led::kSwatchFirst + 3);
        EXPECT_EQ(f.session.settings.userColour[3], (Rgb4{15, 0, 7})) << "mode " << int{mode};
    }
}

QColor Centre(QWidget* w) { return w->grab().toImage().pixelColor(w->rect().center()); }

// The picker itself: bars set by clicks and keys, the sample and every cell
// in the swatch's colour, OK, Cancel and Escape.
TEST(ColourPicker, TheDialogsBarsSampleAndAnswers) {
    ui::ColourPickerTexts texts{QStringLiteral("Colour 2"),
                                QStringLiteral("OK"),
                                QStringLiteral("Cancel"),
                                {QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B")}};
    QFont font;
    {
        ui::ColourPickerDlg dlg(nullptr, Rgb4{15, 0, 0}, texts, font);
        dlg.show();
        auto* red = dlg.findChild<QWidget*>(QStringLiteral("levelR"));
        auto* green = dlg.findChild<QWidget*>(QStringLiteral("levelG"));
        auto* sample = dlg.findChild<QWidget*>(QStringLiteral("colourSample"));
        ASSERT_TRUE(red && green && sample);
        // A click on a cell takes its level; the cell shows the colour the
        // swatch would.
        const QPoint cell4(4 + 4 * 18 + 8, red->height() / 2);  // cells 16 wide, 2 apart, from x 4
        QTest::mouseClick(red, Qt::LeftButton, Qt::NoModifier, cell4);
        EXPECT_EQ(dlg.levels(), (Rgb4{4, 0, 0}));
        EXPECT_EQ(red->grab().toImage().pixelColor(cell4 + QPoint(-3, 0)), QColor(191, 255, 255));
        QTest::mouseClick(green, Qt::LeftButton, Qt::NoModifier, QPoint(green->width() - 3, green->height() / 2));
        QTest::keyClick(green, Qt::Key_Left);
        QTest::keyClick(green, Qt::Key_Left);
        EXPECT_EQ(dlg.levels(), (Rgb4{4, 13, 0}));
        EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("value1"))->text(), QStringLiteral("13"));
        EXPECT_EQ(Centre(sample), QColor(191, 47, 255));
        dlg.findChild<QPushButton*>(QStringLiteral("preset3"))->click();
        EXPECT_EQ(dlg.levels(), ui::ColourPickerDlg::presets()[3]);
        EXPECT_EQ(Centre(sample), ui::SwatchColour(ui::ColourPickerDlg::presets()[3]));
        dlg.setLevel(2, 40);
        EXPECT_EQ(dlg.levels().b, 15) << "held to the file's levels";
    }
    // The answers, through the modal run the window uses.
    struct Answer {
        const char* what;
        std::function<void(QWidget*)> act;
        std::optional<Rgb4> expected;
    };
    const Answer answers[] = {
        {"OK", [](QWidget* d) { d->findChild<QPushButton*>(QStringLiteral("ok"))->click(); }, Rgb4{6, 0, 0}},
        {"Enter", [](QWidget* d) { QTest::keyClick(d->focusWidget(), Qt::Key_Return); }, Rgb4{6, 0, 0}},
        {"Cancel", [](QWidget* d) { d->findChild<QPushButton*>(QStringLiteral("cancel"))->click(); }, std::nullopt},
        {"Escape", [](QWidget* d) { QTest::keyClick(d->focusWidget(), Qt::Key_Escape); }, std::nullopt},
        {"closed", [](QWidget* d) { d->close(); }, std::nullopt},
    };
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.what);
        ui::ColourPickerDlg dlg(nullptr, Rgb4{5, 0, 0}, texts, font);
        testing::WhenModal([&a](QWidget* d) {
            QTest::keyClick(d->focusWidget(), Qt::Key_Right);  // the red bar has the keyboard first
            a.act(d);
        });
        EXPECT_EQ(dlg.ask(), a.expected);
    }
}

}  // namespace
}  // namespace kx700
