// The header's and Main page's window actions: profiles, names, import,
// export, reset, web pages, and the macro group chosen in its popup.
#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>

#include "macro/files.h"
#include "macro/groups.h"
#include "programming/settings_actions.h"
#include "ui/main_window.h"
#include "ui/web_links.h"

namespace kx700::ui {

void CORV_ZOvizaDlg::setFileChooser(FileChooser* chooser) { chooser_ = chooser; }

void CORV_ZOvizaDlg::SelectProfile(int i) {
    if (i < 0 || i >= 3) return;
    session_.currentProfile = kUserProfileSlots[static_cast<std::size_t>(i)];
    PublishHostView(session_);
}

FileChooser& CORV_ZOvizaDlg::fileChooser() {
    if (!chooser_) {
        if (!dialogChooser_) dialogChooser_ = std::make_unique<DialogFileChooser>();
        chooser_ = dialogChooser_.get();
    }
    return *chooser_;
}

void CORV_ZOvizaDlg::ImportSettings() {
    const auto chosen = fileChooser().openSettingsFile(this, session_.folders.programFolder);
    if (!chosen) return;
    if (!programming::ImportSettings(session_, *chosen, messages_)) return;
    SetProfileKeyNames(skin_, session_.profileNames);
    for (std::size_t i = 0; i < profileEdits_.size(); ++i) {
        if (profileEdits_[i]) profileEdits_[i]->setText(QString::fromStdString(session_.profileNames[i]));
    }
    PublishHostView(session_);
    repaintPage(false);
}

void CORV_ZOvizaDlg::ExportSettings() {
    const auto chosen = fileChooser().saveSettingsFile(this, session_.folders.programFolder);
    if (chosen && programming::ExportSettings(session_, *chosen, messages_)) repaintPage(false);
}

void CORV_ZOvizaDlg::ResetSettings() {
    programming::ResetSettings(session_, messages_);
    PublishHostView(session_);
    repaintPage(false);
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

void CORV_ZOvizaDlg::connectProfileEdit(QLineEdit* edit, int i) {
    // Only the user's edits count: filling the box from the file is no edit.
    connect(edit, &QLineEdit::textEdited, this, [this, edit, i](const QString& text) {
        const std::string shown = programming::EditProfileName(session_, i, text.toStdString(), messages_);
        SetProfileKeyNames(skin_, session_.profileNames);
        if (QString::fromStdString(shown) != edit->text()) edit->setText(QString::fromStdString(shown));
        repaintPage(false);
    });
}

void CORV_ZOvizaDlg::macroGroupChosen(int previousGroup, int currentMacro) {
    macro::SwitchGroup(session_.macros, previousGroup, currentMacro, messages_);
    FillMacroList();
    ShowNames();
}

}  // namespace kx700::ui
