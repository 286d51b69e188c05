#pragma once

// What a page needs of the window it lies on. The window owns all of it and
// outlives its pages.

#include <functional>

#include "skin/layout.h"
#include "ui/fonts.h"

class QString;
class QWidget;

namespace kx700::ui {

class FileChooser;
class PopupController;

struct PageHost {
    QWidget& widget;   // the parent of the page's controls
    SkinTables& skin;  // the profile names shown in the menus are the pages' to change
    const Fonts& fonts;
    PopupController& popups;
    std::function<FileChooser&()> fileChooser;
    std::function<void(bool now)> repaint;     // the page's area, now or at the next paint
    std::function<void(const QString&)> note;  // a few seconds' note that an action succeeded
    // True while an apply writes the record, which then must not change; the
    // window has said so.
    std::function<bool()> refusedWhileApplying;
};

}  // namespace kx700::ui
