// The language switch at run time: names, layouts, macro folders and menus of
// the other language, without a restart.
#include "macro/files.h"
#include "macro/groups.h"
#include "platform/profile.h"
#include "programming/settings_actions.h"
#include "ui/macro_page.h"
#include "ui/main_page.h"
#include "ui/main_window.h"
#include "ui/popup_controller.h"
#include "ui/title.h"
#include "ui/tray.h"

namespace kx700::ui {

void CORV_ZOvizaDlg::SwitchLanguage(bool english) {
    Session& s = session_;
    macro::MacroState& m = s.macros;
    popups_->close();
    // The current group's edits belong to the language being left.
    if (const Status st = macro::SaveCurrentMacro(m); !st.ok()) messages_.show(st.message());
    s.englishInterface = english;
    // Without a settings file the choice lasts this run: a file made for it
    // would hold profiles of zeros.
    if (s.settingsLoaded) {
        if (const Status st = profile::WriteString(s.folders.settingsFile(), "Init", "VER_SEL", english ? "1" : "0");
            !st.ok()) {
            messages_.show(st.message());
        }
    }
    fonts_ = MakeFonts(english, options_.displayScale);
    setFont(fonts_.label);
    images_.clear();
    SkinReadState state;
    LoadAllSkins(skin_, SkinFilesFor(s.folders.skinsFolder(), english), messages_, state);
    // The layouts carry their own profile-key names: the user's names win.
    programming::ReloadProfileNames(s);
    SetProfileKeyNames(skin_, s.profileNames);
    if (state.endProgram) {
        ExitProgram();
        return;
    }
    buildRegions();
    // The page's controls take the new layout's places and font.
    if (mainPage_->shown()) {
        mainPage_->destroyControls();
        mainPage_->createControls();
    }
    macroPage_->LanguageChanged();
    refreshTrayMenu();
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    update();
}

}  // namespace kx700::ui
