#include "source.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>

#include "draw.h"

namespace skingen {

std::vector<const Area*> Source::table(const QString& name) const {
    std::vector<const Area*> out;
    for (const Area& a : areas) {
        if (a.table == name) out.push_back(&a);
    }
    std::sort(out.begin(), out.end(), [](const Area* x, const Area* y) { return x->number < y->number; });
    return out;
}

const Area* Source::find(const QString& t, int number) const {
    for (const Area& a : areas) {
        if (a.table == t && a.number == number) return &a;
    }
    return nullptr;
}

QSize Source::window(const QString& name) const {
    const auto it = windows.find(name);
    return it == windows.end() ? QSize() : it->second;
}

namespace {

bool ParseRect(const QString& text, QRect* out) {
    const QStringList n = text.split(' ', Qt::SkipEmptyParts);
    if (n.size() != 4) return false;
    bool ok[4];
    const int v[4] = {n[0].toInt(&ok[0]), n[1].toInt(&ok[1]), n[2].toInt(&ok[2]), n[3].toInt(&ok[3])};
    if (!(ok[0] && ok[1] && ok[2] && ok[3])) return false;
    *out = QRect(v[0], v[1], v[2], v[3]);
    return true;
}

// "@marks <table> <first> <x> <y> | labels": value marks along a bar.
bool ExpandMarks(const QStringList& head, const QString& labels, Source& s) {
    if (head.size() != 5) return false;
    const QStringList names = labels.split(' ', Qt::SkipEmptyParts);
    const int first = head[2].toInt(), x = head[3].toInt(), y = head[4].toInt();
    for (int i = 0; i < names.size(); ++i) {
        Area a;
        a.table = head[1];
        a.number = first + i;
        // 48 wide and alternating rows: each label has two steps of room.
        a.rect = QRect(x + 24 * i - 12, (i % 2 == 0) ? y : y + 46, 48, 20);
        a.style = "chip";
        a.english = a.chinese = names[i];
        a.role = "value mark " + names[i];
        s.areas.push_back(a);
    }
    return true;
}

// "@reactions <table> <first switch> <first type> <x> <y> <step>": the seven
// key-reaction rows: a picture of the button, its switch, its reaction type.
bool ExpandReactions(const QStringList& head, Source& s) {
    if (head.size() != 7) return false;
    const int firstSwitch = head[2].toInt(), firstType = head[3].toInt();
    const int x = head[4].toInt(), y = head[5].toInt(), step = head[6].toInt();
    for (int i = 0; i < 7; ++i) {
        const int top = y + step * i;
        if (i < 6)
            s.decors.push_back(Decor{"led", QRect(x - 4, top, 44, 44), "mouse" + QString::number(i), "button picture"});
        s.areas.push_back(Area{head[1], firstSwitch + i, QRect(x + 52, top + 10, 48, 24), "toggle", "", "",
                               "key reaction of button " + QString::number(i + 1)});
        s.areas.push_back(Area{head[1], firstType + i, QRect(x + 112, top + 6, 150, 32), "text", "", "",
                               "reaction type of button " + QString::number(i + 1) + ", written by the program"});
    }
    return true;
}

// "@preview <table> <first> <x> <y> <w> <h>": the mouse of the live preview
// and its lamps: the light strip, the seven buttons, the logo, the light
// under the mouse.
bool ExpandPreview(const QStringList& head, Source& s) {
    if (head.size() != 7) return false;
    const int first = head[2].toInt();
    const QRect body(head[3].toInt(), head[4].toInt(), head[5].toInt(), head[6].toInt());
    if (body.isEmpty()) return false;
    s.decors.push_back(Decor{"led", body, "mouse", "the mouse of the live preview"});
    s.areas.push_back(Area{head[1], first, MouseLampRect(body, -1), "lamp", "", "", "preview: the light strip"});
    for (int b = 0; b < 7; ++b) {
        s.areas.push_back(Area{head[1], first + 1 + b, MouseLampRect(body, b), "lamp", "", "",
                               "preview: the lamp of button " + QString::number(b + 1)});
    }
    s.areas.push_back(Area{head[1], first + 8, MouseLampRect(body, 7), "lamp", "", "", "preview: the logo"});
    s.areas.push_back(
        Area{head[1], first + 9, MouseLampRect(body, 8), "lamp", "", "", "preview: the light under the mouse"});
    return true;
}

}  // namespace

std::optional<Source> ParseSource(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = "cannot open " + path;
        return std::nullopt;
    }
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    Source s;
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QStringList parts = line.split('|');
        const QStringList head = parts[0].split(' ', Qt::SkipEmptyParts);
        auto fail = [&](const QString& why) {
            *error = QString("%1:%2: %3").arg(path).arg(lineNo).arg(why);
            return std::nullopt;
        };
        if (head.isEmpty()) return fail("empty head");
        if (head[0] == "@marks") {
            if (parts.size() != 2 || !ExpandMarks(head, parts[1], s)) return fail("bad @marks");
            continue;
        }
        if (head[0] == "@reactions") {
            if (!ExpandReactions(head, s)) return fail("bad @reactions");
            continue;
        }
        if (head[0] == "@preview") {
            if (!ExpandPreview(head, s)) return fail("bad @preview");
            continue;
        }
        if (head[0] == "window") {
            const QStringList wh = parts.size() > 1 ? parts[1].split(' ', Qt::SkipEmptyParts) : QStringList();
            if (head.size() != 2 || wh.size() != 2) return fail("bad window");
            s.windows[head[1]] = QSize(wh[0].toInt(), wh[1].toInt());
            continue;
        }
        if (parts.size() != 6 || head.size() != 2) return fail("expected 6 fields separated by |");
        if (head[0] == "decor") {
            Decor d;
            d.page = head[1];
            if (!ParseRect(parts[1].trimmed(), &d.rect)) return fail("bad rectangle");
            d.kind = parts[2].trimmed();
            d.what = parts[5].trimmed();
            s.decors.push_back(d);
            continue;
        }
        Area a;
        a.table = head[0];
        bool ok = false;
        a.number = head[1].toInt(&ok);
        if (!ok) return fail("bad area number");
        if (a.table != "fun" && !ParseRect(parts[1].trimmed(), &a.rect)) return fail("bad rectangle");
        a.style = parts[2].trimmed();
        a.english = parts[3].trimmed();
        a.chinese = parts[4].trimmed();
        a.role = parts[5].trimmed();
        if (a.english.contains(',') || a.chinese.contains(',')) return fail("labels cannot hold commas");
        if (s.find(a.table, a.number)) return fail("area defined twice");
        s.areas.push_back(a);
    }
    return s;
}

}  // namespace skingen
