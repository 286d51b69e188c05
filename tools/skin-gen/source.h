#pragma once

// The layout source of the default skin: every window, area and decoration.

#include <QRect>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace skingen {

struct Area {
    QString table;  // header, main, main-edit, fun, advanced, macro, macro-edit, macro-list, led, warning
    int number = 0;
    QRect rect;
    QString style;
    QString english;
    QString chinese;
    QString role;
};

struct Decor {
    QString page;  // main, advanced, macro, led, all
    QRect rect;
    QString kind;
    QString what;
};

struct Source {
    std::map<QString, QSize> windows;
    std::vector<Area> areas;
    std::vector<Decor> decors;

    // Areas of a table, in number order.
    std::vector<const Area*> table(const QString& name) const;
    const Area* find(const QString& table, int number) const;
    QSize window(const QString& name) const;
};

// Parses the source; on a malformed line returns nullopt and sets error.
std::optional<Source> ParseSource(const QString& path, QString* error);

}  // namespace skingen
