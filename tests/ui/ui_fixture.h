#pragma once

// A started main window on the simulated mouse, over a private copy of the
// built data folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

#include "../support/temp_dir.h"
#include "device/simulated_backend.h"
#include "programming/session.h"
#include "ui/macro_page.h"
#include "ui/main_window.h"
#include "ui/popup_controller.h"

namespace kx700::testing {

class QtWidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ui_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

// Copies the staged data (skins, settings, macros) into a fresh folder.
inline void CopyStage(const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    const char* stage = std::getenv("KX700_TEST_STAGE");
    ASSERT_NE(stage, nullptr);
    fs::copy(fs::path(stage) / "skins", to / "skins", fs::copy_options::recursive);
    fs::copy_file(fs::path(stage) / "constMacro.dat", to / "constMacro.dat");
}

// Answers every file question with a fixed path, or as a cancelled dialog,
// and keeps where the last dialog would have opened.
class AnswerChooser : public ui::FileChooser {
public:
    using Path = std::filesystem::path;
    std::optional<Path> answer;
    Path lastStart;
    std::optional<Path> openSettingsFile(QWidget*, const Path& start) override { return ask(start); }
    std::optional<Path> saveSettingsFile(QWidget*, const Path& start) override { return ask(start); }
    std::optional<Path> openMacroFile(QWidget*, const Path& start) override { return ask(start); }
    std::optional<Path> saveMacroFile(QWidget*, const Path& start) override { return ask(start); }

private:
    std::optional<Path> ask(const Path& start) {
        lastStart = start;
        return answer;
    }
};

// No test opens a file dialog or a browser: the chooser cancels unless told
// otherwise, and opened addresses are only recorded.
struct WindowFixture {
    AnswerChooser chooser;
    std::vector<QString> openedAddresses;
    TempDir dir;
    Session session;
    RecordingMessageSink messages;
    std::shared_ptr<device::SimulatedMouse> mouse =
        std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
    device::SimulatedBackend backend{mouse};
    std::unique_ptr<ui::CORV_ZOvizaDlg> window;
    bool started = false;

    explicit WindowFixture(ui::StartOptions options = {}) {
        CopyStage(dir.path());
        session.folders = Folders::Portable(dir.path());
        session.messages = &messages;
        window = std::make_unique<ui::CORV_ZOvizaDlg>(session, backend, messages, options);
        window->setFileChooser(&chooser);
        window->setUrlOpener([this](const QString& address) { openedAddresses.push_back(address); });
    }
    bool start() {
        started = window->OnInitDialog();
        if (started) window->show();
        return started;
    }
    std::filesystem::path config() const { return dir / "skins" / "config" / "config.ini"; }
    // The window's Apply, waited for: its result, or nullopt when none started
    // or it did not end within a minute.
    std::optional<programming::ApplyResult> applyAndWait() {
        std::optional<programming::ApplyResult> result;
        if (!window->StartApply([&result](const programming::ApplyResult& r) { result = r; })) return std::nullopt;
        for (int i = 0; i < 60000 && !result; ++i) QTest::qWait(1);
        return result;
    }
};

}  // namespace kx700::testing
