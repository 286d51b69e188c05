#pragma once

// The file dialogs of the settings and macro-group import and export.

#include <filesystem>
#include <optional>

class QWidget;

namespace kx700::ui {

// How the window asks the user for a settings file. Tests answer without a
// dialog; nullopt is a cancelled dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::filesystem::path> openSettingsFile(QWidget* parent,
                                                                  const std::filesystem::path& start) = 0;
    virtual std::optional<std::filesystem::path> saveSettingsFile(QWidget* parent,
                                                                  const std::filesystem::path& start) = 0;
    // Macro group files (*.dat): import and export.
    virtual std::optional<std::filesystem::path> openMacroFile(QWidget* parent,
                                                               const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> saveMacroFile(QWidget* parent, const std::filesystem::path& start) = 0;
};

// The ordinary file dialogs ("All Files(*.ini)", overwrite prompt on save).
class DialogFileChooser final : public FileChooser {
public:
    std::optional<std::filesystem::path> openSettingsFile(QWidget* parent, const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> saveSettingsFile(QWidget* parent, const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> openMacroFile(QWidget* parent,
                                                       const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> saveMacroFile(QWidget* parent, const std::filesystem::path& start) override;
};

}  // namespace kx700::ui
