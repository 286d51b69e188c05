#pragma once

// Composes one frame of the main window: the page's normal picture with
// areas copied from its over and down pictures for the hot area and every
// state of the settings, the Led page's mode masks, the header, and the
// texts. The result goes to the screen in one copy.

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "settings/mouse_settings.h"
#include "skin/images.h"
#include "skin/layout.h"
#include "ui/page.h"

namespace kx700::ui {

struct PaintModel {
    Interaction interaction;
    const MouseSettings* settings = nullptr;
    int currentProfile = 0;
    bool english = false;
    const SkinTables* skin = nullptr;
    QFont labelFont;
    QFont largeFont;
    // The shown name of a user macro assignment (value 256 and above).
    std::function<std::string(std::int32_t value)> macroName;
    bool recording = false;
    int currentRunMode = 3;                         // bits 0-1 of the current macro's run mode; 3 when there is none
    std::array<bool, 3> linkSet{true, true, true};  // site, social pages: an unset link is drawn unavailable
    int previewTick = 0;                            // the Led page's live preview: ticks since the page was shown
};

// Draws the frame into `canvas` (which becomes the normal picture's size).
// `only`, when not empty, is the part of the page that will be shown: the
// rest of the canvas keeps the page's plain face and costs nothing to paint.
void PaintPage(QImage& canvas, const PaintModel& model, SkinImageCache& images, const QRegion& only = QRegion());

// The picture names of a page: normal, over, down.
struct PageFaces {
    const char* normal;
    const char* over;
    const char* down;
};
PageFaces FacesOf(Page page);

// A user colour's levels as its swatch shows them: UserColourRef's colour.
QColor SwatchColour(const Rgb4& levels);

// The areas the Led page's mask covers in a lighting mode, in copy order.
std::span<const int> LedModeMaskAreas(int ledMode);

// The Led areas drawn in their inactive look after the mode masks: the
// brightness bar where the mode has no brightness, the swatches where the
// mode shows neither colour panel.
std::vector<int> LedInactiveAreas(int ledMode);

// Whether a Led label is emptied in a lighting mode.
bool LedLabelHidden(int ledMode, int area);

}  // namespace kx700::ui
