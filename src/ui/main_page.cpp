#include "ui/main_page.h"

#include <QLineEdit>

#include "programming/settings_actions.h"
#include "ui/apply_indicators.h"
#include "ui/areas.h"
#include "ui/control_style.h"
#include "ui/file_chooser.h"
#include "ui/popup_controller.h"

namespace kx700::ui {

namespace {
constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }
}  // namespace

MainPage::MainPage(PageHost host, Session& session, MessageSink& messages)
    : QObject(&host.widget), host_(std::move(host)), session_(session), messages_(messages) {}

bool MainPage::shown() const { return edits_[0] != nullptr; }

void MainPage::createControls() {
    for (int i = 0; i < 3; ++i) {
        if (edits_[U(i)]) continue;
        auto* edit = new QLineEdit(&host_.widget);
        edit->setObjectName(QStringLiteral("profileName%1").arg(i + 1));
        edit->setGeometry(ToRect(host_.skin.profileNameEdits[U(i)]));
        edit->setAlignment(Qt::AlignCenter);
        edit->setFont(host_.fonts.label);
        edit->setStyleSheet(ControlStyle());
        edit->setText(QString::fromStdString(session_.profileNames[U(i)]));
        edit->show();
        connectProfileEdit(edit, i);
        edits_[U(i)] = edit;
    }
}

void MainPage::destroyControls() {
    for (auto& e : edits_) {
        delete e.data();
        e.clear();
    }
}

void MainPage::connectProfileEdit(QLineEdit* edit, int i) {
    // Only the user's edits count: filling the box from the file is no edit.
    connect(edit, &QLineEdit::textEdited, this, [this, edit, i](const QString& text) {
        const std::string shown = programming::EditProfileName(session_, i, text.toStdString(), messages_);
        SetProfileKeyNames(host_.skin, session_.profileNames);
        if (QString::fromStdString(shown) != edit->text()) edit->setText(QString::fromStdString(shown));
        host_.repaint(false);
    });
}

void MainPage::Press(int area) {
    if (area < area::main::kButtonFirst || area > area::main::kButtonLast) return;
    host_.popups.openButtonMenu(area - area::main::kButtonFirst, ToRect(host_.skin.mainAreas[U(area)]));
}

void MainPage::SelectProfile(int i) {
    if (i < 0 || i >= 3) return;
    session_.currentProfile = kUserProfileSlots[U(i)];
    PublishHostView(session_);
}

void MainPage::ImportSettings() {
    const auto chosen = host_.fileChooser().openSettingsFile(&host_.widget, session_.folders.userFolder);
    if (!chosen) return;
    host_.note({});  // an earlier success must not stand beside this one's message
    if (!programming::ImportSettings(session_, *chosen, messages_)) return;
    SetProfileKeyNames(host_.skin, session_.profileNames);
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        if (edits_[i]) edits_[i]->setText(QString::fromStdString(session_.profileNames[i]));
    }
    PublishHostView(session_);
    host_.note(DoneNote(DoneAction::Import, session_.englishInterface, ShownPath(*chosen)));
    host_.repaint(false);
}

void MainPage::ExportSettings() {
    const auto chosen = host_.fileChooser().saveSettingsFile(&host_.widget, session_.folders.userFolder);
    if (!chosen) return;
    host_.note({});
    if (!programming::ExportSettings(session_, *chosen, messages_)) return;
    host_.note(DoneNote(DoneAction::Export, session_.englishInterface, ShownPath(*chosen)));
    host_.repaint(false);
}

void MainPage::ResetSettings() {
    host_.note({});
    const bool restored = programming::ResetSettings(session_, messages_);
    PublishHostView(session_);
    if (restored) host_.note(DoneNote(DoneAction::Reset, session_.englishInterface));
    host_.repaint(false);
}

}  // namespace kx700::ui
