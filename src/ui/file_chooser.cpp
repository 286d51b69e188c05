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

}  // namespace kx700::ui
