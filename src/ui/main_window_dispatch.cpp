// The press and release dispatch of the main window into its pages, and the
// web pages that every page links to.
#include <QDesktopServices>
#include <QUrl>

#include "ui/areas.h"
#include "ui/hit_test.h"
#include "ui/led_page.h"
#include "ui/macro_page.h"
#include "ui/main_page.h"
#include "ui/main_window.h"
#include "ui/page_actions.h"

namespace kx700::ui {

void CORV_ZOvizaDlg::pressPageArea(QPoint p) {
    const Interaction& s = interaction_;
    switch (s.currentPage) {
        case Page::Main: mainPage_->Press(s.hotMain); break;
        case Page::Advanced:
            if (s.hotAdvanced != NoArea) {
                PressAdvancedArea(session_.settings, s.hotAdvanced,
                                  skin_.advancedAreas[static_cast<std::size_t>(s.hotAdvanced)], p.x());
            }
            break;
        case Page::Macro: macroPage_->Press(s.hotMacro); break;
        case Page::Led: ledPage_->Press(s.hotLed, p.x()); break;
    }
}

void CORV_ZOvizaDlg::releaseAreas(int hotMain) {
    using namespace area;
    switch (hotMain) {
        case header::kChinese: SwitchLanguage(false); break;
        case header::kEnglish: SwitchLanguage(true); break;
        case main::kProfile1: mainPage_->SelectProfile(0); break;
        case main::kProfile2: mainPage_->SelectProfile(1); break;
        case main::kProfile3: mainPage_->SelectProfile(2); break;
        case main::kImport: mainPage_->ImportSettings(); break;
        case main::kExport: mainPage_->ExportSettings(); break;
        case main::kReset: mainPage_->ResetSettings(); break;
        default: break;
    }
    if (interaction_.currentPage == Page::Led) ledPage_->Release(interaction_.hotLed);
    OpenWebPage(WebLinkOfArea(Page::Main, hotMain));
    // The other tables' links are hit-tested on every page.
    OpenWebPage(WebLinkOfArea(Page::Advanced, interaction_.hotAdvanced));
    OpenWebPage(WebLinkOfArea(Page::Led, interaction_.hotLed));
}

void CORV_ZOvizaDlg::setColourChooser(ColourChooser* chooser) { ledPage_->setColourChooser(chooser); }

void CORV_ZOvizaDlg::OpenWebPage(int k) {
    if (k < 0 || k >= kWebLinkCount || links_[static_cast<std::size_t>(k)].empty()) return;  // not set: nothing
    const QString address = QString::fromStdString(links_[static_cast<std::size_t>(k)]);
    if (openUrl_) {
        openUrl_(address);
    } else {
        QDesktopServices::openUrl(QUrl(address));
    }
}

}  // namespace kx700::ui
