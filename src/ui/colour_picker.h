#pragma once

// The colour picker of the Lighting page's swatches: three bars of the 16
// levels per channel that the settings file keeps, a sample, a row of ready
// colours, OK and Cancel. Every level is shown as the swatch paints it, so
// what the user picks is what the page shows afterwards. On X11 it is a modal
// dialog; on Wayland a popup under the swatch that takes the keyboard (as the
// warning dialog), where closing it cancels.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>
#include <array>
#include <optional>

#include "settings/mouse_settings.h"

class QLabel;
class QPushButton;

namespace kx700::ui {

// The words of the picker in the interface language.
struct ColourPickerTexts {
    QString title;  // "Colour 1"
    QString ok;     // the program's own "OK" and "Cancel"
    QString cancel;
    std::array<QString, 3> channels;  // the bars' names: red, green, blue
};

// How the Lighting page asks for a colour. Tests answer without a dialog;
// nullopt is a cancelled or closed picker.
class ColourChooser {
public:
    virtual ~ColourChooser() = default;
    // `anchor`: where the picker's top left corner goes, in screen points.
    virtual std::optional<Rgb4> chooseColour(QWidget* parent, QPoint anchor, const Rgb4& current,
                                             const ColourPickerTexts& texts, const QFont& font) = 0;
};

// The picker below.
class DialogColourChooser final : public ColourChooser {
public:
    std::optional<Rgb4> chooseColour(QWidget* parent, QPoint anchor, const Rgb4& current,
                                     const ColourPickerTexts& texts, const QFont& font) override;
};

class LevelBar;
class ColourSample;

class ColourPickerDlg : public QDialog {
    Q_OBJECT
public:
    ColourPickerDlg(QWidget* parent, const Rgb4& start, const ColourPickerTexts& texts, const QFont& font);
    // Shows the picker until it is answered: the levels on OK, nullopt on
    // Cancel, Escape or when it was closed otherwise.
    std::optional<Rgb4> ask();

    Rgb4 levels() const { return levels_; }
    // Channel 0 red, 1 green, 2 blue; the level is held to 0..15.
    void setLevel(int channel, int level);
    void setLevels(const Rgb4& levels);
    // The ready colours of the row under the bars.
    static const std::array<Rgb4, 8>& presets();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    Rgb4 levels_;
    std::array<LevelBar*, 3> bars_{};
    std::array<QLabel*, 3> values_{};
    ColourSample* sample_ = nullptr;
};

}  // namespace kx700::ui
