#include "ui/file_chooser.h"

#include <QFileDialog>

namespace kx700::ui {
namespace fs = std::filesystem;

namespace {

constexpr const char* kIniFilter = "All Files(*.ini) (*.ini)";
constexpr const char* kDatFilter = "All Files(*.dat) (*.dat)";

std::optional<fs::path> Chosen(const QString& file) {
    if (file.isEmpty()) return std::nullopt;
    return fs::path(file.toStdString());
}

std::optional<fs::path> Open(QWidget* parent, const fs::path& start, const char* filter) {
    return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(start.string()),
                                               QString::fromLatin1(filter), nullptr, QFileDialog::ReadOnly));
}

std::optional<fs::path> Save(QWidget* parent, const fs::path& start, const char* filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), QString::fromStdString(start.string()), QString::fromLatin1(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

}  // namespace

std::optional<fs::path> DialogFileChooser::openSettingsFile(QWidget* parent, const fs::path& start) {
    return Open(parent, start, kIniFilter);
}

std::optional<fs::path> DialogFileChooser::saveSettingsFile(QWidget* parent, const fs::path& start) {
    return Save(parent, start, kIniFilter, QStringLiteral("ini"));
}

std::optional<fs::path> DialogFileChooser::openMacroFile(QWidget* parent, const fs::path& startFolder) {
    return Open(parent, startFolder, kDatFilter);
}

std::optional<fs::path> DialogFileChooser::saveMacroFile(QWidget* parent, const fs::path& start) {
    return Save(parent, start, kDatFilter, QStringLiteral("dat"));
}

fs::path RememberedStart(const fs::path& start, const fs::path& remembered, const fs::path& home) {
    if (remembered.empty()) return start;
    std::error_code ec;
    const fs::path folder = fs::is_directory(remembered, ec) ? remembered : home;
    // The callers give either a folder or a file to suggest in one.
    const bool namesFile = !start.empty() && !fs::is_directory(start, ec) && start.has_filename();
    return namesFile ? folder / start.filename() : folder;
}

RememberingChooser::RememberingChooser(std::function<FileChooser&()> inner, std::function<Path()> remembered,
                                       std::function<void(const Path&)> remember, Path home)
    : inner_(std::move(inner)),
      remembered_(std::move(remembered)),
      remember_(std::move(remember)),
      home_(std::move(home)) {}

fs::path RememberingChooser::start(const Path& given) const { return RememberedStart(given, remembered_(), home_); }

std::optional<fs::path> RememberingChooser::chosen(std::optional<Path> file) {
    if (file && file->has_parent_path()) remember_(file->parent_path());
    return file;
}

std::optional<fs::path> RememberingChooser::openSettingsFile(QWidget* parent, const Path& start) {
    return chosen(inner_().openSettingsFile(parent, this->start(start)));
}

std::optional<fs::path> RememberingChooser::saveSettingsFile(QWidget* parent, const Path& start) {
    return chosen(inner_().saveSettingsFile(parent, this->start(start)));
}

std::optional<fs::path> RememberingChooser::openMacroFile(QWidget* parent, const Path& startFolder) {
    return chosen(inner_().openMacroFile(parent, this->start(startFolder)));
}

std::optional<fs::path> RememberingChooser::saveMacroFile(QWidget* parent, const Path& start) {
    return chosen(inner_().saveMacroFile(parent, this->start(start)));
}

}  // namespace kx700::ui
