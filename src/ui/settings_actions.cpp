#include "ui/settings_actions.h"

#include <QFileDialog>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "settings/settings_file.h"

namespace kx700::ui {
namespace fs = std::filesystem;

namespace {

constexpr const char* kIniFilter = "All Files(*.ini) (*.ini)";
constexpr const char* kDatFilter = "All Files(*.dat) (*.dat)";
constexpr std::size_t kNameReadSize = 15;
constexpr std::size_t kMaxNameLength = 10;
constexpr std::string_view kBackupPrefix = "config.ini.";
constexpr std::string_view kBackupSuffix = ".bak";

std::optional<fs::path> Chosen(const QString& file) {
    if (file.isEmpty()) return std::nullopt;
    return fs::path(file.toStdString());
}

std::string ReadName(const fs::path& settingsFile, int i, bool english) {
    return profile::ReadString(settingsFile, "Init", ProfileNameKey(i, english), "", kNameReadSize);
}

void LoadAllSlots(Session& s, MessageSink& messages) {
    bool loaded = true;
    for (int slot = 0; slot < kProfileSlots; ++slot) {
        loaded = LoadProfile(s.settings, s.folders.settingsFolder(), slot, false, messages) && loaded;
    }
    s.settingsLoaded = loaded;
}

bool IsBackupName(const std::string& name) {
    return name.size() > kBackupPrefix.size() + kBackupSuffix.size() && name.starts_with(kBackupPrefix) &&
           name.ends_with(kBackupSuffix);
}

}  // namespace

std::optional<fs::path> DialogFileChooser::openSettingsFile(QWidget* parent, const fs::path& start) {
    return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(start.string()),
                                               QString::fromLatin1(kIniFilter), nullptr, QFileDialog::ReadOnly));
}

std::optional<fs::path> DialogFileChooser::saveSettingsFile(QWidget* parent, const fs::path& start) {
    QFileDialog dialog(parent, QString(), QString::fromStdString(start.string()), QString::fromLatin1(kIniFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

std::optional<fs::path> DialogFileChooser::openMacroFile(QWidget* parent, const fs::path& startFolder) {
    return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(startFolder.string()),
                                               QString::fromLatin1(kDatFilter), nullptr, QFileDialog::ReadOnly));
}

std::optional<fs::path> DialogFileChooser::saveMacroFile(QWidget* parent, const fs::path& start) {
    QFileDialog dialog(parent, QString(), QString::fromStdString(start.string()), QString::fromLatin1(kDatFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}


void ReloadProfileNames(Session& s, FunctionNames& names) {
    s.profileNames = ReadProfileNames(s.folders.settingsFile(), s.englishInterface);
    for (int i = 0; i < 3; ++i) names[static_cast<std::size_t>(19 + i)] = s.profileNames[static_cast<std::size_t>(i)];
}

std::string EditProfileName(Session& s, int i, const std::string& text, FunctionNames& names, MessageSink& messages) {
    std::string& stored = s.profileNames[static_cast<std::size_t>(i)];
    const std::size_t length = text::Utf16Length(text);
    std::string shown = text;
    if (length == 0 || length > kMaxNameLength) {
        messages.show("More than limit!");
        stored = ReadName(s.folders.settingsFile(), i, s.englishInterface);
        shown = stored;
    } else if (text != stored && !s.settingsLoaded) {
        // No settings file to keep it in: writing one would create a file
        // whose profiles are all zero. The name lives until the program ends.
        stored = text;
    } else if (text != stored) {
        const Status st = profile::WriteString(s.folders.settingsFile(), "Init", ProfileNameKey(i, s.englishInterface), text);
        if (st.ok()) {
            stored = text;
        } else {
            // Not on disk, so not the name: the box goes back to the stored one.
            messages.show(st.message());
            shown = stored;
        }
    }
    names[static_cast<std::size_t>(19 + i)] = stored;
    return shown;
}

bool ImportSettings(Session& s, const fs::path& chosen, FunctionNames& names, MessageSink& messages) {
    const fs::path settingsFile = s.folders.settingsFile();
    std::error_code ec;
    if (!fs::is_regular_file(chosen, ec)) {
        messages.show("Error!");
        return false;
    }
    std::string error;
    const std::optional<std::string> bytes = fileio::ReadWholeFile(chosen, &error);
    if (!bytes) {
        messages.show("Error!");
        return false;
    }
    // The file is judged before it replaces anything: a file that is not a
    // settings file would otherwise leave every button blank. Its own names,
    // read from the bytes that would be copied, are the test.
    const std::optional<profile::Snapshot> file = profile::Snapshot::OfText(*bytes);
    std::array<std::string, 3> imported;
    for (int i = 0; i < 3 && file; ++i) {
        imported[static_cast<std::size_t>(i)] =
            file->readString("Init", ProfileNameKey(i, s.englishInterface), "", kNameReadSize);
    }
    if (!file || !std::ranges::all_of(imported, [](const std::string& n) { return !n.empty(); })) {
        messages.show("File version error!");
        return false;
    }
    if (!fs::equivalent(chosen, settingsFile, ec)) {
        BackUpSettingsFile(settingsFile);
        if (const Status st = fileio::ReplaceFile(settingsFile, *bytes); !st.ok()) {
            messages.show("Error!");
            return false;
        }
    }
    s.profileNames = imported;
    for (int i = 0; i < 3; ++i) names[static_cast<std::size_t>(19 + i)] = s.profileNames[static_cast<std::size_t>(i)];
    LoadAllSlots(s, messages);
    return true;
}

bool ExportSettings(const Session& s, const fs::path& chosen, MessageSink& messages) {
    std::error_code ec;
    if (fs::equivalent(chosen, s.folders.settingsFile(), ec)) return true;  // already there
    ec.clear();
    // A failed copy is an error even when an older file of that name is left.
    fs::copy_file(s.folders.settingsFile(), chosen, fs::copy_options::overwrite_existing, ec);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ec || !fs::exists(chosen)) {
        messages.show("Error!");
        return false;
    }
    return true;
}

void ResetSettings(Session& s, MessageSink& messages) {
    BackUpSettingsFile(s.folders.settingsFile());
    bool restored = true;
    for (int slot : {3, 2, 1, 0}) {
        // A slot the factory file could not give is not written back: that
        // would store unapplied edits as if they were the factory values.
        if (!LoadProfile(s.settings, s.folders.settingsFolder(), slot, true, messages)) {
            restored = false;
            continue;
        }
        if (const Status st = SaveProfile(s.settings, s.folders.settingsFile(), slot); !st.ok()) {
            messages.show(st.message());
            restored = false;
        }
    }
    // The factory settings in config.ini make a record worth applying, even
    // when config.ini could not be read at start.
    if (restored) s.settingsLoaded = true;
}

std::optional<fs::path> BackUpSettingsFile(const fs::path& settingsFile, int keep) {
    std::error_code ec;
    if (!fs::is_regular_file(settingsFile, ec)) return std::nullopt;
    // Names sort by age: a local time stamp to the millisecond and a counter
    // for copies within the same millisecond.
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    std::array<char, 32> buffer{};
    std::string stamp(buffer.data(), std::strftime(buffer.data(), buffer.size(), "%Y%m%d-%H%M%S", &local));
    stamp += "-" + std::string(millis < 100 ? (millis < 10 ? "00" : "0") : "") + std::to_string(millis);
    const fs::path folder = settingsFile.parent_path();
    std::vector<fs::path> backups;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        if (e.is_regular_file(ec) && IsBackupName(e.path().filename().string())) backups.push_back(e.path());
    }
    int counter = 0;
    const std::string sameStamp = std::string(kBackupPrefix) + stamp + "-";
    for (const fs::path& b : backups) {
        const std::string name = b.filename().string();
        if (name.starts_with(sameStamp)) counter = std::max(counter, text::ParseDecimal(name.substr(sameStamp.size())));
    }
    const std::string number = std::to_string(counter + 1);
    const fs::path target = folder / (sameStamp + std::string(4 - std::min<std::size_t>(number.size(), 4), '0') + number +
                                      std::string(kBackupSuffix));
    if (!fs::copy_file(settingsFile, target, ec)) return std::nullopt;
    backups.push_back(target);
    std::ranges::sort(backups);
    while (static_cast<int>(backups.size()) > std::max(keep, 1)) {
        fs::remove(backups.front(), ec);
        backups.erase(backups.begin());
    }
    return target;
}

}  // namespace kx700::ui
