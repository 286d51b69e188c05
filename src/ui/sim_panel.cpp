#include "ui/sim_panel.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QScrollBar>
#include <sstream>

#include "device/memory_description.h"
#include "device/sim_state_file.h"
#include "settings/mouse_settings.h"
#include "ui/control_style.h"

namespace kx700::ui {
namespace {

constexpr int kLogLines = 40;

// The panel in the colours of the skin's boxes.
QString PanelStyle() {
    return ControlStyle() +
           QStringLiteral(
               "QWidget#simPanel { background: rgb(10,28,24); }"
               "QLabel { color: rgb(150,200,190); }"
               "QCheckBox { color: white; }"
               "QPlainTextEdit { color: rgb(210,235,230); background: rgb(2,18,14); "
               "border: 1px solid rgb(0,80,100); }"
               "QSpinBox { color: white; background: rgb(2,18,14); border: 1px solid rgb(0,120,153); }"
               "QPushButton { color: white; background: rgb(2,18,14); border: 1px solid rgb(0,120,153); "
               "border-radius: 3px; }"
               "QPushButton:hover { background: rgb(0,60,76); }"
               "QPushButton:pressed, QPushButton:checked { background: rgb(0,120,153); }");
}

}  // namespace

SimPanel::SimPanel(std::shared_ptr<device::SimulatedMouse> mouse, bool english, std::function<int()> cpiButtonCode,
                   QWidget* parent)
    : QWidget(parent, Qt::Tool), mouse_(std::move(mouse)), english_(english), cpiButtonCode_(std::move(cpiButtonCode)) {
    setObjectName(QStringLiteral("simPanel"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(PanelStyle());
    setFixedSize(kWidth, kHeight);
    build();
    retranslate();
    connect(&timer_, &QTimer::timeout, this, &SimPanel::refresh);
    timer_.start(250);
    refresh();
}

QPushButton* SimPanel::addButton(int x, int y, int width) {
    auto* b = new QPushButton(this);
    b->setGeometry(x, y, width, kRowHeight);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void SimPanel::build() {
    for (int i = 0; i < 7; ++i) {
        QPushButton* b = addButton(kLeft + i * kPitch, kButtonRowY, kButtonWidth);
        const int code = kHardwareButtonCode[static_cast<std::size_t>(i)];
        // Down and up as the hand does them: a click is a press and a release,
        // holding the button down holds the mouse's button.
        connect(b, &QPushButton::pressed, this, [this, code] { mouse_->pressButton(code); });
        connect(b, &QPushButton::released, this, [this, code] { mouse_->releaseButton(code); });
        buttons_[static_cast<std::size_t>(i)] = b;
    }
    for (int p = 0; p < 3; ++p) {
        QPushButton* b = addButton(kLeft + p * kPitch, kProfileRowY, kButtonWidth);
        // The window's three profiles live in the mouse's slots 0, 2 and 3.
        const int slot = kUserProfileSlots[static_cast<std::size_t>(p)];
        connect(b, &QPushButton::clicked, this, [this, slot] { mouse_->switchProfile(slot); });
        profiles_[static_cast<std::size_t>(p)] = b;
    }
    cpiLevel_ = new QSpinBox(this);
    cpiLevel_->setGeometry(kLeft + 3 * kPitch, kProfileRowY, 60, kRowHeight);
    cpiLevel_->setRange(1, 4);
    cpiSwitch_ = addButton(kLeft + 3 * kPitch + 66, kProfileRowY, 120);
    connect(cpiSwitch_, &QPushButton::clicked, this, [this] {
        const int code = cpiButtonCode_ ? cpiButtonCode_() : -1;
        // Without a CPI button in the profile the firmware has nothing to report with.
        if (code > 0) mouse_->reportCpiLevel(code, cpiLevel_->value() - 1);
    });

    const int rowC = 146;
    correctionUp_ = addButton(kLeft, rowC, kButtonWidth);
    correctionDown_ = addButton(kLeft + kPitch, rowC, kButtonWidth);
    connect(correctionUp_, &QPushButton::clicked, this, [this] { mouse_->requestCorrection(true); });
    connect(correctionDown_, &QPushButton::clicked, this, [this] { mouse_->requestCorrection(false); });
    bank_ = new QCheckBox(this);
    bank_->setGeometry(kLeft + 2 * kPitch, rowC, kButtonWidth, kRowHeight);
    nibble_ = new QSpinBox(this);
    nibble_->setGeometry(kLeft + 3 * kPitch, rowC, 60, kRowHeight);
    nibble_->setRange(0, 15);
    auto setStatus = [this] {
        mouse_->setStatus(bank_->isChecked() ? 1 : 0, mouse_->statusBits().profile, nibble_->value());
    };
    connect(bank_, &QCheckBox::toggled, this, setStatus);
    connect(nibble_, qOverload<int>(&QSpinBox::valueChanged), this, setStatus);
    status_ = new QLabel(this);
    status_->setGeometry(kLeft + 3 * kPitch + 66, rowC, 260, kRowHeight);

    const int rowF = 204;
    unplug_ = addButton(kLeft, rowF, kButtonWidth);
    unplug_->setCheckable(true);
    connect(unplug_, &QPushButton::toggled, this, [this](bool on) {
        if (on) {
            mouse_->disconnectAfter(0);
        } else {
            mouse_->reconnect();
        }
    });
    deny_ = addButton(kLeft + kPitch, rowF, 110);
    deny_->setCheckable(true);
    connect(deny_, &QPushButton::toggled, this, [this](bool on) { mouse_->denyAccess(on); });
    failReads_ = addButton(kLeft + kPitch + 116, rowF, 110);
    failReads_->setCheckable(true);
    connect(failReads_, &QPushButton::toggled, this, [this](bool on) { mouse_->failEveryRead(on); });
    drop_ = addButton(kLeft + kPitch + 232, rowF, 120);
    dropCount_ = new QSpinBox(this);
    dropCount_->setGeometry(kLeft + kPitch + 358, rowF, 60, kRowHeight);
    dropCount_->setRange(1, 1000);
    dropCount_->setValue(5);
    connect(drop_, &QPushButton::clicked, this, [this] { mouse_->dropFeatureReports(dropCount_->value()); });

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    memory_ = new QPlainTextEdit(this);
    memory_->setGeometry(kLeft, 262, 306, 288);
    log_ = new QPlainTextEdit(this);
    log_->setGeometry(kLeft + 316, 262, 304, 232);
    for (QPlainTextEdit* e : {memory_, log_}) {
        e->setReadOnly(true);
        e->setFont(fixed);
        e->setFocusPolicy(Qt::NoFocus);
    }
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    counters_ = new QLabel(this);
    counters_->setGeometry(kLeft + 316, 498, 304, 52);
    counters_->setWordWrap(true);
    counters_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Captions above the rows: buttons, profile and CPI, correction and
    // status, fault knobs, memory and log.
    const std::array<std::pair<int, int>, 9> at = {{{kLeft, 8},
                                                    {kLeft, 66},
                                                    {kLeft + 3 * kPitch, 66},
                                                    {kLeft, 124},
                                                    {kLeft + 2 * kPitch, 124},
                                                    {kLeft, 182},
                                                    {kLeft, 240},
                                                    {kLeft + 316, 240},
                                                    {kLeft + 3 * kPitch, 124}}};
    for (const auto& [x, y] : at) {
        auto* l = new QLabel(this);
        l->setGeometry(x, y, 300, 20);
        captions_.push_back(l);
    }
}

void SimPanel::retranslate() {
    const bool en = english_;
    setWindowTitle(en ? QStringLiteral("KX700 simulated mouse") : QStringLiteral("KX700 模拟鼠标"));
    for (int i = 0; i < 7; ++i)
        buttons_[static_cast<std::size_t>(i)]->setText(
            (en ? QStringLiteral("Button %1") : QStringLiteral("按键 %1")).arg(i + 1));
    for (int p = 0; p < 3; ++p)
        profiles_[static_cast<std::size_t>(p)]->setText(
            (en ? QStringLiteral("Profile %1") : QStringLiteral("配置 %1")).arg(p + 1));
    cpiSwitch_->setText(en ? QStringLiteral("Report level") : QStringLiteral("报告档位"));
    correctionUp_->setText(en ? QStringLiteral("Up") : QStringLiteral("上"));
    correctionDown_->setText(en ? QStringLiteral("Down") : QStringLiteral("下"));
    bank_->setText(en ? QStringLiteral("Bank bit") : QStringLiteral("存储区位"));
    unplug_->setText(en ? QStringLiteral("Unplug") : QStringLiteral("拔出"));
    deny_->setText(en ? QStringLiteral("Deny access") : QStringLiteral("拒绝访问"));
    failReads_->setText(en ? QStringLiteral("Fail reads") : QStringLiteral("读取失败"));
    drop_->setText(en ? QStringLiteral("Drop reports") : QStringLiteral("丢弃报告"));
    const std::array<QString, 9> captions =
        en ? std::array<QString, 9>{QStringLiteral("Buttons (click, or hold down)"),
                                    QStringLiteral("Profile switch"),
                                    QStringLiteral("CPI switch: level"),
                                    QStringLiteral("Correction"),
                                    QStringLiteral("Status reply"),
                                    QStringLiteral("Fault knobs (drop: the next feature reports)"),
                                    QStringLiteral("Memory"),
                                    QStringLiteral("Protocol log (newest last)"),
                                    QStringLiteral("Nibble")}
           : std::array<QString, 9>{QStringLiteral("按键（单击，或按住）"),
                                    QStringLiteral("配置切换"),
                                    QStringLiteral("CPI 切换：档位"),
                                    QStringLiteral("校正"),
                                    QStringLiteral("状态回复"),
                                    QStringLiteral("故障开关（丢弃：之后的特性报告）"),
                                    QStringLiteral("内存"),
                                    QStringLiteral("协议日志（最新在后）"),
                                    QStringLiteral("半字节")};
    for (std::size_t i = 0; i < captions.size(); ++i) captions_[i]->setText(captions[i]);
    shownLog_.clear();  // the counters line is rebuilt in the new language
    refresh();
}

void SimPanel::setEnglish(bool english) {
    if (english == english_) return;
    english_ = english;
    shownMemory_.clear();  // the description is in the language too
    retranslate();
}

void SimPanel::refresh() {
    const bool en = english_;
    const device::SimulatedMouse::StatusBits bits = mouse_->statusBits();
    status_->setText((en ? QStringLiteral("says: profile slot %1, bank %2, nibble %3")
                         : QStringLiteral("回复：配置槽 %1，存储区 %2，半字节 %3"))
                         .arg(bits.profile)
                         .arg(bits.bank)
                         .arg(bits.nibble));
    {
        const QSignalBlocker a(bank_), b(nibble_);
        bank_->setChecked(bits.bank != 0);
        nibble_->setValue(bits.nibble);
    }
    const device::SimFaultKnobs knobs = mouse_->faults();
    {
        const QSignalBlocker a(unplug_), b(deny_), c(failReads_);
        unplug_->setChecked(!mouse_->connected());
        deny_->setChecked(knobs.denyAccess);
        failReads_->setChecked(knobs.failReads);
    }

    std::vector<std::uint8_t> memory = mouse_->memory();
    if (memory != shownMemory_) {
        std::ostringstream words;
        device::DescribeMemory(words, memory, english_);
        memory_->setPlainText(QString::fromStdString(words.str()));
        shownMemory_ = std::move(memory);
    }

    std::vector<device::SimLogEntry> tail = mouse_->logTail(kLogLines);
    const auto same = [](const std::vector<device::SimLogEntry>& a, const std::vector<device::SimLogEntry>& b) {
        return a.size() == b.size() && (a.empty() || (a.back().at == b.back().at && a.back().bytes == b.back().bytes));
    };
    if (!same(tail, shownLog_) || shownLog_.empty()) {
        QString text;
        for (const device::SimLogEntry& e : tail) {
            text += QString::fromStdString(device::FormatLogEntry(e));
            text += QLatin1Char('\n');
        }
        log_->setPlainText(text);
        log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
        const device::SimViolations v = mouse_->violations();
        const device::SimFirmwareState f = mouse_->firmware();
        counters_->setText(
            (en ? QStringLiteral("protocol faults %1 (interleaved %2, incomplete %3, out of range %4, short pauses %5, "
                                 "unknown %6); consumer reports %7, last usage 0x%8; hold %9")
                : QStringLiteral("协议错误 %1（交错 %2，不完整 %3，越界 %4，间隔过短 %5，未知 %6）；"
                                 "多媒体报告 %7，最后用途 0x%8；按住 %9"))
                .arg(v.total())
                .arg(v.interleaved)
                .arg(v.incompleteBlocks)
                .arg(v.outOfRange)
                .arg(v.shortPauses)
                .arg(v.unknownReports)
                .arg(f.consumerReports)
                .arg(f.lastConsumerUsage, 4, 16, QLatin1Char('0'))
                .arg(f.held ? (en ? QStringLiteral("on") : QStringLiteral("开"))
                            : (en ? QStringLiteral("off") : QStringLiteral("关"))));
        shownLog_ = std::move(tail);
    }
}

void SimPanel::closeEvent(QCloseEvent* event) {
    Q_EMIT closed();
    event->accept();
}

}  // namespace kx700::ui
