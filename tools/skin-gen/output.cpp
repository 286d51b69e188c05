// Writing the generated skin: pictures, layout files, previews.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>

#include "pages.h"

namespace skingen {

namespace {

bool SaveJpeg(const QImage& img, const QString& path, int quality, QString* error) {
    QImageWriter w(path, "jpg");
    w.setQuality(quality);
    w.setOptimizedWrite(true);
    if (!w.write(img)) {
        *error = "cannot write " + path + ": " + w.errorString();
        return false;
    }
    return true;
}

QString Entry(const Area& a, bool english) {
    const QString label = english ? a.english : a.chinese;
    QString name = a.style.section(':', 0, 0);
    if (name.isEmpty()) name = "area";
    return QString("%1,%2,%3,%4,%5,%6,")
        .arg(name)
        .arg(a.rect.x())
        .arg(a.rect.y())
        .arg(a.rect.width())
        .arg(a.rect.height())
        .arg(label);
}

struct IniWriter {
    QByteArray text;
    void section(const char* name) { text += QByteArray("[") + name + "]\r\n"; }
    void key(int k, const QString& value) { text += QByteArray::number(k) + "=" + value.toUtf8() + "\r\n"; }
    bool save(const QString& path, QString* error) const {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size()) {
            *error = "cannot write " + path;
            return false;
        }
        return true;
    }
};

void Areas(IniWriter& w, const Source& s, const QStringList& tables, bool english) {
    for (const QString& t : tables) {
        for (const Area* a : s.table(t)) w.key(a->number, Entry(*a, english));
    }
}

bool WriteLayouts(const Source& s, const QString& skins, bool english, QString* error) {
    const QString dir = skins + (english ? "/INI_EN/" : "/INI_CN/");
    const QString suffix = english ? "_en.ini" : ".ini";
    QDir().mkpath(dir);

    IniWriter main;
    main.section("BUTTONPOS");
    Areas(main, s, {"header", "main"}, english);
    main.section("FUN_STRING");
    for (const Area* a : s.table("fun")) main.key(a->number, (english ? a->english : a->chinese) + ",,,,,,");
    main.section("EDIT");
    Areas(main, s, {"main-edit"}, english);

    IniWriter colour, advanced, macro, warning;
    colour.section("BUTTONPOS");
    Areas(colour, s, {"led"}, english);
    advanced.section("BUTTONPOS");
    Areas(advanced, s, {"advanced"}, english);
    macro.section("BUTTONPOS");
    Areas(macro, s, {"macro"}, english);
    macro.section("EDIT");
    Areas(macro, s, {"macro-edit"}, english);
    macro.section("MACRODISPLAY");
    Areas(macro, s, {"macro-list"}, english);
    warning.section("BUTTONPOS");
    Areas(warning, s, {"warning"}, english);

    return main.save(dir + "skin_main" + suffix, error) && colour.save(dir + "skin_color" + suffix, error) &&
           advanced.save(dir + "skin_advance" + suffix, error) && macro.save(dir + "skin_mac" + suffix, error) &&
           warning.save(dir + (english ? "LBWarning_en.ini" : "LBWarning.ini"), error);
}

}  // namespace

bool WriteSkin(const Source& s, const QString& skins, QString* error) {
    QDir().mkpath(skins);
    const QSize mainSize = s.window("main");
    if (!SaveJpeg(RenderMask(mainSize, WindowShape(mainSize)), skins + "/main_mask.jpg", 100, error)) return false;
    const struct {
        const char* page;
        const char* prefix;
    } pages[] = {{"main", "main"}, {"advanced", "advanced"}, {"macro", "mac"}, {"led", "led"}};
    const struct {
        State state;
        const char* suffix;
    } states[] = {{State::Normal, "_normal.jpg"}, {State::Over, "_over.jpg"}, {State::Down, "_down.jpg"}};
    for (const auto& pg : pages) {
        for (const auto& st : states) {
            if (!SaveJpeg(RenderPage(s, pg.page, st.state), skins + "/" + pg.prefix + st.suffix, 92, error))
                return false;
        }
    }
    if (!SaveJpeg(RenderLedNull(s), skins + "/led_null.jpg", 92, error)) return false;

    const struct {
        const char* name;
        const char* file;
        int rows;
        QList<int> chevrons;
        bool groups;
    } menus[] = {{"menu", "menu", 15, {}, false},
                 {"menu1", "menu1", 15, {7, 8, 9, 10, 11}, false},
                 {"more", "more", 3, {}, false},
                 {"menu", "Macro_menu", 15, {}, true}};
    for (const auto& m : menus) {
        const QSize size = s.window(m.name);
        const int h = size.height() / m.rows;
        if (!m.groups) {
            QImage mask(size, QImage::Format_RGB32);
            mask.fill(Qt::black);
            if (!SaveJpeg(mask, skins + "/" + m.file + "_mask.jpg", 100, error)) return false;
        }
        for (const auto& st : states) {
            if (!SaveJpeg(RenderMenu(size, h, st.state, m.chevrons, m.groups), skins + "/" + m.file + st.suffix, 92,
                          error))
                return false;
        }
    }
    const QSize warningSize = s.window("warning");
    if (!SaveJpeg(RenderMask(warningSize, WarningShape(warningSize)), skins + "/warning_mask.jpg", 100, error) ||
        !SaveJpeg(RenderWarning(s, State::Normal), skins + "/warning_normal.jpg", 92, error) ||
        !SaveJpeg(RenderWarning(s, State::Over), skins + "/warning_over.jpg", 92, error)) {
        return false;
    }
    if (!RenderProgramIcon(64).save(skins + "/kx700.png")) {
        *error = "cannot write " + skins + "/kx700.png";
        return false;
    }
    return WriteLayouts(s, skins, true, error) && WriteLayouts(s, skins, false, error);
}

bool WriteIcons(const QString& folder, const QString& name, QString* error) {
    for (const int size : {48, 128, 256}) {
        const QString dir = QString("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = dir + "/" + name + ".png";
        if (!QDir().mkpath(dir) || !RenderProgramIcon(size).save(file)) {
            *error = "cannot write " + file;
            return false;
        }
    }
    return true;
}

namespace {

// Writes a label the way the window does: centred in its area, in the label
// font of the language.
void DrawLabel(QPainter& p, const QRect& r, const QString& text, const QFont& font, const QColor& colour,
               bool leftAligned) {
    if (text.isEmpty()) return;
    p.setFont(font);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(text);
    const int h = fm.height();
    const int left = leftAligned ? r.x() + 5 : r.x() + (r.width() - w) / 2;
    const int top = r.y() + (r.height() - h) / 2;
    p.setPen(colour);
    p.drawText(QPoint(left, top + fm.ascent()), text);
}

}  // namespace

bool WritePreview(const Source& s, const QString& skins, const QString& out, QString* error) {
    QDir().mkpath(out);
    for (bool english : {true, false}) {
        QFont label(english ? "Arial" : "微软雅黑");
        label.setPointSizeF(8.5);
        QFont large = label;
        large.setPointSizeF(9.5);
        const char* lang = english ? "en" : "cn";
        const struct {
            const char* page;
            const char* prefix;
        } pages[] = {{"main", "main"}, {"advanced", "advanced"}, {"macro", "mac"}, {"led", "led"}};
        for (const auto& pg : pages) {
            for (const char* state : {"normal", "over", "down"}) {
                QImage img(skins + "/" + pg.prefix + "_" + state + ".jpg");
                if (img.isNull()) {
                    *error = "missing picture for " + QString(pg.page);
                    return false;
                }
                QPainter p(&img);
                p.setRenderHint(QPainter::TextAntialiasing, true);
                const QColor white(255, 255, 255);
                for (const Area* a : s.table("header")) {
                    if (a->number <= 9 || QString(pg.page) == "main") {
                        const bool tab = a->number == 6;
                        DrawLabel(p, a->rect, english ? a->english : a->chinese, tab ? large : label,
                                  tab ? QColor(1, 255, 246) : white, false);
                    }
                }
                const QString table = QString(pg.page);
                for (const Area* a : s.table(table)) {
                    QString text = english ? a->english : a->chinese;
                    if (table == "main" && a->number >= 20 && a->number <= 26) {
                        const int sample[] = {1, 2, 3, 4, 5, 6, 16};
                        const Area* fn = s.find("fun", sample[a->number - 20]);
                        text = fn ? (english ? fn->english : fn->chinese) : QString();
                    }
                    if (table == "advanced" && (a->number == 2 || a->number == 19)) text = a->number == 2 ? "5" : "2";
                    if (table == "advanced" && a->number == 32) text = "50ms";
                    if (table == "macro" && a->number == 5) text = english ? "Record" : "录制";
                    if (table == "led" && a->number == 35) text = english ? "Cycle breath" : "循环呼吸";
                    const bool left = table == "advanced" &&
                                      (a->number == 0 || a->number == 17 || a->number == 30 || a->number == 33);
                    const bool big = table == "macro" && !(a->number >= 14 && a->number <= 16);
                    DrawLabel(p, a->rect, text, big ? large : label, white, left);
                }
                p.end();
                const QString file = QString("%1/%2_%3_%4.png").arg(out, pg.page, lang, state);
                if (!img.save(file)) {
                    *error = "cannot write " + file;
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace skingen
