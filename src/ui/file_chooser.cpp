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

}  // namespace kx700::ui
