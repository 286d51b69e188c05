#pragma once

// What the window paints about the apply: the macro memory gauge (how full
// the next apply would make the mouse's macro area) and the progress of a
// running apply over the Apply area.

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <filesystem>

#include "programming/macro_memory.h"
#include "ui/page.h"

namespace kx700::ui {

// Where the gauge sits, one place per page that shows it: the free space
// under the settings-file buttons of the Main page's left panel, and the
// footer of the Macro page (left of Apply). An empty rect: not on that page.
inline constexpr QRect kMainPageGaugeRect{40, 432, 252, 84};
inline constexpr QRect kMacroPageGaugeRect{40, 548, 520, 44};
constexpr QRect MacroGaugeRect(Page page) {
    return page == Page::Main ? kMainPageGaugeRect : page == Page::Macro ? kMacroPageGaugeRect : QRect();
}

struct MacroGauge {
    QString figure;  // "Macro memory: used / capacity bytes"
    QString over;    // empty while it fits: who pushes the area over its limit
    double fraction = 0;
    bool warning = false;
};

MacroGauge MakeMacroGauge(const programming::MacroMemoryUse& use, bool english,
                          const std::array<std::string, 3>& profileNames);

void PaintMacroGauge(QPainter& p, const QRect& where, const MacroGauge& gauge, const QFont& font);

// The Apply area turned into a progress bar: transactions sent of all, and
// `note` (a refused action) beside it when not empty, right of `noteLeftLimit`
// as PaintShortNote places it.
void PaintApplyProgress(QPainter& p, const QRect& applyArea, std::size_t done, std::size_t total, bool english,
                        const QString& note, const QFont& font, int noteLeftLimit = 16);

// The short note for an action refused while the apply writes.
QString ApplyBusyNote(bool english);

// What the window says for a few seconds after an action that succeeded.
// MacroReset is the Macro page's reset of the macro folder.
enum class DoneAction { Apply, Import, Export, Reset, MacroReset };
QString DoneNote(DoneAction action, bool english, const QString& file = {});
// A file as the notes name it: in the desktop's own separators.
QString ShownPath(const std::filesystem::path& file);

// A short note in a frame left of the Apply area: a refused action in the
// warning colour, a finished one in the accent. It keeps right of `leftLimit`
// (what the footer shows there stays readable), giving up its middle if need be.
void PaintShortNote(QPainter& p, const QRect& applyArea, const QString& note, bool warning, const QFont& font,
                    int leftLimit = 16);

// All that the progress bar and the short notes may cover: the Apply area and
// the row left of it. Repainting this is enough when only they change.
QRect ApplyIndicatorsRect(const QRect& applyArea);

}  // namespace kx700::ui
