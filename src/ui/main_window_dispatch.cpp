// The press and release dispatch of the main window into its pages, and the
// web pages that every page links to.
#include <QDesktopServices>
#include <QUrl>

#include "ui/led_page.h"
#include "ui/macro_page.h"
#include "ui/main_page.h"
#include "ui/main_window.h"
#include "ui/page_actions.h"
#include "ui/web_links.h"

namespace kx700::ui {

void CORV_ZOvizaDlg::pressPageArea(QPoint p) {
    const Interaction& s = interaction_;
    switch (s.currentPage) {
        case Page::Main: mainPage_->Press(s.hotMain); break;
        case Page::Advanced:
            if (s.hotAdvanced != NoArea) {
                PressAdvancedArea(session_.settings, s.hotAdvanced, skin_.advancedAreas[static_cast<std::size_t>(s.hotAdvanced)],
                                  p.x());
            }
            break;
        case Page::Macro: macroPage_->Press(s.hotMacro); break;
        case Page::Led: ledPage_->Press(s.hotLed, p.x()); break;
    }
}

void CORV_ZOvizaDlg::releaseAreas(int hotMain) {
    switch (hotMain) {
        case 4: SwitchLanguage(false); break;
        case 5: SwitchLanguage(true); break;
        case 11: mainPage_->SelectProfile(0); break;
        case 12: mainPage_->SelectProfile(1); break;
        case 13: mainPage_->SelectProfile(2); break;
        case 14: mainPage_->ImportSettings(); break;
        case 15: mainPage_->ExportSettings(); break;
        case 16: mainPage_->ResetSettings(); break;
        case 19: OpenWebPage(0); break;
        case 29: OpenWebPage(1); break;
        case 30: OpenWebPage(2); break;
        default: break;
    }
    // The other tables' links are hit-tested on every page.
    const int advanced = interaction_.hotAdvanced, led = interaction_.hotLed;
    if (advanced >= 138 && advanced <= 140) OpenWebPage(advanced - 138);
    if (led >= 78 && led <= 80) OpenWebPage(led - 78);
}

void CORV_ZOvizaDlg::OpenWebPage(int k) {
    if (k < 0 || k >= static_cast<int>(kWebPages.size())) return;
    const QString address = QString::fromUtf8(kWebPages[static_cast<std::size_t>(k)].data(),
                                              static_cast<qsizetype>(kWebPages[static_cast<std::size_t>(k)].size()));
    if (openUrl_) {
        openUrl_(address);
    } else {
        QDesktopServices::openUrl(QUrl(address));
    }
}

}  // namespace kx700::ui
