#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace kx700::testing {

// Font measuring needs a GUI application object; tests run it offscreen.
class QtGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "skin_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace kx700::testing
