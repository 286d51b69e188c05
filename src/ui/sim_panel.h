#pragma once

// The simulated mouse, shown and played by hand: its seven buttons, the
// profile and CPI switches, the correction requests, its status bits and fault
// knobs, its memory in words and the tail of its protocol log. A newcomer sees
// the host side at work without the hardware; xdotool drives it end to end.
// Everything it does goes through SimulatedMouse's own locked calls, so the
// monitor's threads reading the same mouse need nothing more.

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "device/simulated_mouse.h"

namespace kx700::ui {

class SimPanel : public QWidget {
    Q_OBJECT
public:
    // Where the controls sit (fixed, so that a script can click them).
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 560;
    static constexpr int kButtonRowY = 30;
    static constexpr int kProfileRowY = 88;
    static constexpr int kPitch = 88;  // from one button's left edge to the next
    static constexpr int kButtonWidth = 82;
    static constexpr int kRowHeight = 28;
    static constexpr int kLeft = 10;
    // The centre of button b (0-6) and of profile switch p (0-2), in the panel.
    static QPoint ButtonCentre(int b) { return {kLeft + b * kPitch + kButtonWidth / 2, kButtonRowY + kRowHeight / 2}; }
    static QPoint ProfileCentre(int p) {
        return {kLeft + p * kPitch + kButtonWidth / 2, kProfileRowY + kRowHeight / 2};
    }

    // cpiButtonCode: the hardware code of the button the current profile
    // reports CPI levels with (-1 when it has none).
    SimPanel(std::shared_ptr<device::SimulatedMouse> mouse, bool english, std::function<int()> cpiButtonCode,
             QWidget* parent = nullptr);

    void setEnglish(bool english);
    // Reads the mouse again (the timer does this while the panel is shown).
    void refresh();
    QString logText() const { return log_->toPlainText(); }
    QString memoryText() const { return memory_->toPlainText(); }
    QString countersText() const { return counters_->text(); }

Q_SIGNALS:
    // The user closed the panel.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void retranslate();
    QPushButton* addButton(int x, int y, int width);

    std::shared_ptr<device::SimulatedMouse> mouse_;
    bool english_;
    std::function<int()> cpiButtonCode_;
    std::array<QPushButton*, 7> buttons_{};
    std::array<QPushButton*, 3> profiles_{};
    QSpinBox* cpiLevel_ = nullptr;
    QPushButton* cpiSwitch_ = nullptr;
    QPushButton* correctionUp_ = nullptr;
    QPushButton* correctionDown_ = nullptr;
    QCheckBox* bank_ = nullptr;
    QSpinBox* nibble_ = nullptr;
    QPushButton* unplug_ = nullptr;
    QPushButton* deny_ = nullptr;
    QPushButton* failReads_ = nullptr;
    QPushButton* drop_ = nullptr;
    QSpinBox* dropCount_ = nullptr;
    std::vector<QLabel*> captions_;
    QPlainTextEdit* memory_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QLabel* counters_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer timer_;
    std::vector<std::uint8_t> shownMemory_;
    std::vector<device::SimLogEntry> shownLog_;
};

}  // namespace kx700::ui
