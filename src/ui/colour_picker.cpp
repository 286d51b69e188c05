#include "ui/colour_picker.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "ui/page_painter.h"
#include "ui/skin_palette.h"
#include "ui/wayland.h"

namespace kx700::ui {

namespace {

// The skin's colours (tools/skin-gen): the cyan accent, the edges of its
// controls and panels, the dark plates, the muted grey of its icons.
const QColor& kAccent = palette::kAccent;
const QColor kEdge(42, 71, 77);
const QColor kPanelTop(15, 25, 30);
const QColor kPanelBottom(11, 18, 22);
const QColor kTrough(6, 16, 19);
const QColor kMuted(138, 163, 168);

constexpr int kLevels = 16;

std::int32_t& Channel(Rgb4& c, int channel) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; }
std::int32_t ChannelOf(const Rgb4& c, int channel) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; }

QString ButtonStyle() {
    // The dark message boxes' buttons (app/gui_messages.cpp).
    return QStringLiteral(
        "QPushButton { color: rgb(255,255,255); background: rgb(22,38,44); border: 1px solid rgb(42,71,77); "
        "border-radius: 4px; padding: 5px 18px; min-width: 64px; }"
        "QPushButton:hover, QPushButton:focus { border-color: rgb(1,255,246); }"
        "QPushButton:pressed, QPushButton:default { background: rgb(9,84,86); }");
}

}  // namespace

// One channel's 16 levels side by side, each cell in the colour the swatch
// would show with that level; the chosen cell is framed. A press or drag
// chooses the cell under the pointer, the arrow keys step.
class LevelBar final : public QWidget {
public:
    static constexpr int kCell = 16;
    static constexpr int kGap = 2;
    static constexpr int kHeight = 26;

    LevelBar(int channel, std::function<Rgb4()> levels, std::function<void(int)> choose, QWidget* parent)
        : QWidget(parent), channel_(channel), levels_(std::move(levels)), choose_(std::move(choose)) {
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(kLevels * kCell + (kLevels - 1) * kGap + 8, kHeight);
        setCursor(Qt::PointingHandCursor);
    }
    // Cell i's rectangle.
    QRect cell(int i) const { return QRect(4 + i * (kCell + kGap), 5, kCell, kHeight - 10); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(hasFocus() ? kAccent : kEdge, 1));
        p.setBrush(kTrough);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        const Rgb4 now = levels_();
        const int chosen = ChannelOf(now, channel_);
        for (int i = 0; i < kLevels; ++i) {
            Rgb4 candidate = now;
            Channel(candidate, channel_) = i;
            p.fillRect(cell(i), SwatchColour(candidate));
        }
        if (chosen >= 0 && chosen < kLevels) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 1));
            p.drawRect(QRectF(cell(chosen)).adjusted(0.5, 0.5, -0.5, -0.5));
            p.setPen(QPen(kAccent, 2));
            p.drawRoundedRect(QRectF(cell(chosen)).adjusted(-2, -3, 2, 3), 2, 2);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) chooseAt(e->position().toPoint().x());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (e->buttons() & Qt::LeftButton) chooseAt(e->position().toPoint().x());
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int now = ChannelOf(levels_(), channel_);
        switch (e->key()) {
            case Qt::Key_Left:
            case Qt::Key_Down: choose_(now - 1); break;
            case Qt::Key_Right:
            case Qt::Key_Up: choose_(now + 1); break;
            case Qt::Key_Home: choose_(0); break;
            case Qt::Key_End: choose_(kLevels - 1); break;
            default: QWidget::keyPressEvent(e); return;  // Enter, Escape, Tab: the dialog's
        }
    }
    void focusInEvent(QFocusEvent* e) override {
        update();
        QWidget::focusInEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override {
        update();
        QWidget::focusOutEvent(e);
    }

private:
    void chooseAt(int x) { choose_(std::clamp((x - 4 + kGap / 2) / (kCell + kGap), 0, kLevels - 1)); }

    int channel_;
    std::function<Rgb4()> levels_;
    std::function<void(int)> choose_;
};

// The chosen colour as the swatch will show it.
class ColourSample final : public QWidget {
public:
    explicit ColourSample(QWidget* parent) : QWidget(parent) { setFixedSize(104, 104); }
    void setColour(const QColor& c) {
        colour_ = c;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kEdge, 1));
        p.setBrush(kTrough);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillRect(rect().adjusted(6, 6, -6, -6), colour_);
    }

private:
    QColor colour_;
};

const std::array<Rgb4, 8>& ColourPickerDlg::presets() {
    // Red, orange, yellow, green, cyan, blue, purple, white, as levels: the
    // swatch shows level v as 255 - 16 v.
    static const std::array<Rgb4, 8> kPresets = {Rgb4{0, 15, 15}, Rgb4{0, 7, 15},  Rgb4{0, 0, 15}, Rgb4{15, 0, 15},
                                                 Rgb4{15, 0, 0},  Rgb4{15, 15, 0}, Rgb4{7, 15, 0}, Rgb4{0, 0, 0}};
    return kPresets;
}

ColourPickerDlg::ColourPickerDlg(QWidget* parent, const Rgb4& start, const ColourPickerTexts& texts, const QFont& font)
    : QDialog(parent, (OnWayland() ? Qt::Popup : Qt::Dialog) | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("colourPicker"));
    setModal(!OnWayland());
    setFont(font);
    setWindowTitle(texts.title);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setStyleSheet(QStringLiteral("QLabel { color: rgb(255,255,255); background: transparent; }") + ButtonStyle());

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 16, 20, 16);
    outer->setSpacing(14);
    auto* title = new QLabel(texts.title, this);
    title->setObjectName(QStringLiteral("title"));
    QFont large = font;
    if (font.pointSizeF() > 0) large.setPointSizeF(font.pointSizeF() * 1.2);
    large.setBold(true);
    title->setFont(large);
    outer->addWidget(title);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    sample_ = new ColourSample(this);
    sample_->setObjectName(QStringLiteral("colourSample"));
    body->addWidget(sample_, 0, Qt::AlignTop);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    static const char* const kBarNames[3] = {"levelR", "levelG", "levelB"};
    for (int c = 0; c < 3; ++c) {
        auto* name = new QLabel(texts.channels[static_cast<std::size_t>(c)], this);
        name->setStyleSheet(
            QStringLiteral("color: rgb(%1,%2,%3);").arg(kMuted.red()).arg(kMuted.green()).arg(kMuted.blue()));
        auto* bar = new LevelBar(
            c, [this] { return levels_; }, [this, c](int level) { setLevel(c, level); }, this);
        bar->setObjectName(QLatin1String(kBarNames[c]));
        bar->setAccessibleName(texts.channels[static_cast<std::size_t>(c)]);
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("value%1").arg(c));
        value->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("15")) + 4);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(name, c, 0);
        grid->addWidget(bar, c, 1);
        grid->addWidget(value, c, 2);
        bars_[static_cast<std::size_t>(c)] = bar;
        values_[static_cast<std::size_t>(c)] = value;
    }
    // The ready colours, under the bars.
    auto* chips = new QHBoxLayout;
    chips->setSpacing(LevelBar::kGap * 2);
    chips->setContentsMargins(0, 4, 0, 0);
    for (std::size_t i = 0; i < presets().size(); ++i) {
        const Rgb4 preset = presets()[i];
        auto* chip = new QPushButton(this);
        chip->setObjectName(QStringLiteral("preset%1").arg(i));
        chip->setAutoDefault(false);
        chip->setFixedSize(28, 22);
        chip->setCursor(Qt::PointingHandCursor);
        chip->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid rgb(42,71,77); "
                                           "border-radius: 4px; padding: 0; min-width: 0; }"
                                           "QPushButton:hover, QPushButton:focus { border: 2px solid rgb(1,255,246); }")
                                .arg(SwatchColour(preset).name()));
        connect(chip, &QPushButton::clicked, this, [this, preset] { setLevels(preset); });
        chips->addWidget(chip);
    }
    chips->addStretch();
    grid->addLayout(chips, 3, 1);
    body->addLayout(grid);
    outer->addLayout(body);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch();
    auto* ok = new QPushButton(texts.ok, this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(texts.cancel, this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setLevels(start);
    bars_[0]->setFocus();
}

void ColourPickerDlg::setLevel(int channel, int level) {
    if (channel < 0 || channel > 2) return;
    Channel(levels_, channel) = std::clamp(level, 0, kLevels - 1);
    changed();
}

void ColourPickerDlg::setLevels(const Rgb4& levels) {
    for (int c = 0; c < 3; ++c) Channel(levels_, c) = std::clamp(ChannelOf(levels, c), 0, kLevels - 1);
    changed();
}

void ColourPickerDlg::changed() {
    sample_->setColour(SwatchColour(levels_));
    for (int c = 0; c < 3; ++c) {
        values_[static_cast<std::size_t>(c)]->setText(QString::number(ChannelOf(levels_, c)));
        bars_[static_cast<std::size_t>(c)]->update();  // every candidate colour depends on the other channels
    }
}

std::optional<Rgb4> ColourPickerDlg::ask() {
    int answer = 0;
    if (!OnWayland()) {
        answer = exec();
    } else {
        // As the warning dialog: a modal window would leave the keyboard with
        // the main window on some compositors; a popup that is not modal
        // takes every key and press, and a press outside closes it.
        QEventLoop loop;
        connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
        setModal(false);
        show();
        loop.exec(QEventLoop::DialogExec);
        answer = result();
    }
    if (answer != QDialog::Accepted) return std::nullopt;
    return levels_;
}

void ColourPickerDlg::paintEvent(QPaintEvent*) {
    // A panel of the skin: a dark plate, its edge, and the short accent line
    // over its top left corner.
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, kPanelTop);
    g.setColorAt(1, kPanelBottom);
    p.fillRect(rect(), g);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    p.fillRect(QRect(12, 0, 50, 2), kAccent);
}

std::optional<Rgb4> DialogColourChooser::chooseColour(QWidget* parent, QPoint anchor, const Rgb4& current,
                                                      const ColourPickerTexts& texts, const QFont& font) {
    ColourPickerDlg dialog(parent, current, texts, font);
    dialog.adjustSize();
    // Kept on the screen of the window that asks.
    QPoint at = anchor;
    if (QScreen* screen = parent ? parent->screen() : nullptr) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - dialog.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - dialog.height())));
    }
    dialog.move(at);
    return dialog.ask();
}

}  // namespace kx700::ui
