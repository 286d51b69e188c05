#pragma once

// The file dialogs of the settings and macro-group import and export.

#include <filesystem>
#include <functional>
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

// Where a dialog opens when a folder was remembered: that folder while it
// exists, else `home`; a start that names a file keeps its name there. With
// nothing remembered, the caller's start.
std::filesystem::path RememberedStart(const std::filesystem::path& start, const std::filesystem::path& remembered,
                                      const std::filesystem::path& home);

// Any chooser, opened in the folder used last; a chosen file's folder is
// handed to `remember` (the window keeps it across runs).
class RememberingChooser final : public FileChooser {
public:
    using Path = std::filesystem::path;
    RememberingChooser(std::function<FileChooser&()> inner, std::function<Path()> remembered,
                       std::function<void(const Path&)> remember, Path home);
    std::optional<Path> openSettingsFile(QWidget* parent, const Path& start) override;
    std::optional<Path> saveSettingsFile(QWidget* parent, const Path& start) override;
    std::optional<Path> openMacroFile(QWidget* parent, const Path& startFolder) override;
    std::optional<Path> saveMacroFile(QWidget* parent, const Path& start) override;

private:
    Path start(const Path& given) const;
    std::optional<Path> chosen(std::optional<Path> file);

    std::function<FileChooser&()> inner_;
    std::function<Path()> remembered_;
    std::function<void(const Path&)> remember_;
    Path home_;
};

}  // namespace kx700::ui
