#pragma once

// The numbers of the areas in the skin's four area tables, by page. A number
// is the entry of the layout file's BUTTONPOS section, so these name what the
// window does with an entry; where and how the skin draws it is the skin's own
// business. A range is a First/Last pair, both included; element k of a range
// is First + k.

namespace kx700::ui::area {

// The main table's first entries: hit-tested and drawn on every page.
namespace header {
inline constexpr int kMinimise = 0;
inline constexpr int kHide = 1;   // to the tray
inline constexpr int kClose = 2;  // to the tray, dropping what was not applied
inline constexpr int kApply = 3;
inline constexpr int kChinese = 4;  // language buttons, drawn selected while their language is in use
inline constexpr int kEnglish = 5;
inline constexpr int kTabFirst = 6;  // page tabs in Page order: the tab of page p is kTabFirst + p
inline constexpr int kTabLast = 9;
inline constexpr int kLogo = 10;  // hover look only; its label is written on the Main page alone
inline constexpr int kCount = 11;
}  // namespace header

// The rest of the main table: the Main page.
namespace main {
inline constexpr int kProfile1 = 11;  // the profile buttons select slots 0, 2 and 3
inline constexpr int kProfile2 = 12;
inline constexpr int kProfile3 = 13;
inline constexpr int kImport = 14;
inline constexpr int kExport = 15;
inline constexpr int kReset = 16;
inline constexpr int kWebSite = 19;
// The assignment fields of the seven mouse buttons: button b is kButtonFirst + b.
inline constexpr int kButtonFirst = 20;
inline constexpr int kButtonLast = 26;
inline constexpr int kSocialPage1 = 29;
inline constexpr int kSocialPage2 = 30;
}  // namespace main

namespace advanced {
// Pointer speed, wheel speed and rapid-fire interval: a left-aligned title,
// the bar, and the value the window writes in place of the skin's label.
inline constexpr int kPointerTitle = 0;
inline constexpr int kPointerBar = 1;
inline constexpr int kPointerValue = 2;
inline constexpr int kWheelTitle = 17;
inline constexpr int kWheelBar = 18;
inline constexpr int kWheelValue = 19;
inline constexpr int kFireTitle = 30;
inline constexpr int kFireBar = 31;
inline constexpr int kFireValue = 32;
inline constexpr int kReportRateTitle = 33;  // left-aligned too
// Each report rate k has two areas, a mark and a labelled choice:
// kReportRateMarkFirst + k and kReportRateChoiceFirst + k.
inline constexpr int kReportRateMarkFirst = 34;
inline constexpr int kReportRateChoiceFirst = 38;
inline constexpr int kReportRateChoiceLast = 41;
// Per CPI level k: its on/off switch, its selector (makes it current), its
// value bar, and the lamp lit while it is current.
inline constexpr int kLevelSwitchFirst = 47;
inline constexpr int kLevelSwitchLast = 50;
inline constexpr int kLevelSelectFirst = 60;
inline constexpr int kLevelSelectLast = 63;
inline constexpr int kLevelBarFirst = 66;
inline constexpr int kLevelBarLast = 69;
// The value marks: twelve per level, level k's step s at
// kStepMarkFirst + k × kStepMarksPerLevel + s.
inline constexpr int kStepMarkFirst = 70;
inline constexpr int kStepMarkLast = 117;
inline constexpr int kStepMarksPerLevel = 12;
inline constexpr int kLevelLampFirst = 118;
inline constexpr int kLevelLampLast = 121;
// Web site, first and second social page: link k opens web page k.
inline constexpr int kLinkFirst = 138;
inline constexpr int kLinkLast = 140;
}  // namespace advanced

namespace macro {
inline constexpr int kGroupSelector = 1;  // opens the group list
inline constexpr int kNewGroup = 2;
inline constexpr int kDeleteGroup = 3;
inline constexpr int kMenu = 4;  // import, export or reset groups
inline constexpr int kRecord = 5;
inline constexpr int kNewMacro = 6;
inline constexpr int kDeleteMacro = 7;
// The run-mode choices of the current macro.
inline constexpr int kRunUntilPressed = 10;  // RUN_MODE2
inline constexpr int kRunWhileHeld = 11;     // RUN_MODE1
inline constexpr int kRunCounted = 12;       // RUN_COUNTED
inline constexpr int kRunModeFirst = kRunUntilPressed;
inline constexpr int kRunModeLast = kRunCounted;
// The captions of the macro, event and LED step lists, in the label font.
inline constexpr int kListCaptionFirst = 14;
inline constexpr int kListCaptionLast = 16;
}  // namespace macro

// The Led page. Its texts and panels that a lighting mode does not use are
// emptied or covered by the picture without controls.
namespace led {
// Colour k's swatch is kSwatchFirst + k, its switch kColourSwitchFirst + k.
inline constexpr int kSwatchFirst = 0;
inline constexpr int kSwatchLast = 3;
inline constexpr int kColourSwitchFirst = 7;
inline constexpr int kColourSwitchLast = 10;
inline constexpr int kCustomColours = 14;  // the switch that shows the user's colours in the swatches
inline constexpr int kColourCycleTitle = 15;
inline constexpr int kColoursTitle = 16;  // the colours card's title, shown in every mode
inline constexpr int kPreviewTitle = 17;
// The texts of the direction and symmetry panel; the last two are emptied
// together with directions 2 and 3.
inline constexpr int kDirectionTextFirst = 30;
inline constexpr int kDirection2Text = 33;
inline constexpr int kDirection3Text = 34;
inline constexpr int kDirectionTextLast = kDirection3Text;
inline constexpr int kModeSelector = 35;       // shows the mode's name, opens the lighting-mode list
inline constexpr int kCustomColoursText = 38;  // the custom-colour switch's label
inline constexpr int kSpeedTitle = 39;
inline constexpr int kBrightnessBar = 40;
inline constexpr int kSpeedBar = 41;
inline constexpr int kSymmetry = 45;
// Direction d is kDirectionFirst + d; direction 3 exists in lighting mode 3 only.
inline constexpr int kDirectionFirst = 47;
inline constexpr int kDirection2 = 49;
inline constexpr int kDirection3 = 50;
inline constexpr int kDirectionLast = kDirection3;
// The key-reaction switches of the seven buttons (button i at
// kReactionSwitchFirst + i); the top button's picture switches its reaction
// too. The reaction-type texts of the seven buttons follow the same order.
inline constexpr int kReactionSwitchFirst = 51;
inline constexpr int kReactionSwitchLast = 57;
inline constexpr int kTopButtonPicture = 58;
inline constexpr int kReactionTypeFirst = 61;
inline constexpr int kReactionTypeLast = 67;
// Panels, covered as a whole where the mode does not use them.
inline constexpr int kReactionPanel = 71;
inline constexpr int kCustomColourPanel = 72;
inline constexpr int kSpeedPanel = 73;
inline constexpr int kDirectionPanel = 74;
inline constexpr int kColourCyclePanel = 75;
// Web site, first and second social page: link k opens web page k.
inline constexpr int kLinkFirst = 78;
inline constexpr int kLinkLast = 80;
// The live preview's lamps on the mouse drawing: the light strip, the
// lamp of button b (in Buttons-page order) at kPreviewLampFirst + b.
inline constexpr int kPreviewStrip = 81;
inline constexpr int kPreviewLampFirst = 82;
inline constexpr int kPreviewLampLast = 88;
inline constexpr int kPreviewLogo = 89;       // the logo on the mouse's back, lit with the strip
inline constexpr int kPreviewUnderglow = 90;  // the strip's light on the stage below the mouse
inline constexpr int kMode3Text = 98;         // written only in lighting mode 3
}  // namespace led

}  // namespace kx700::ui::area
