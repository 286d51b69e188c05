#include "pages.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <algorithm>

namespace skingen {
using namespace palette;

namespace {

QStringList TablesOf(const QString& page) {
    if (page == "main") return {"header", "main", "main-edit"};
    if (page == "advanced") return {"header", "advanced"};
    if (page == "macro") return {"header", "macro", "macro-edit", "macro-list"};
    return {"header", "led"};
}

std::vector<const Area*> PageAreas(const Source& s, const QString& page) {
    std::vector<const Area*> out;
    for (const QString& t : TablesOf(page)) {
        for (const Area* a : s.table(t)) out.push_back(a);
    }
    // Panels first: they hold other elements.
    std::stable_sort(out.begin(), out.end(),
                     [](const Area* a, const Area* b) { return (a->style == "panel") > (b->style == "panel"); });
    return out;
}

bool IsBackdrop(const Decor& d) {
    return d.kind == "section" || d.kind == "stage" || d.kind == "headerbar" || d.kind == "footerbar";
}

void DrawBackground(QPainter& p, const Source& s, const QString& page, const QPainterPath& shape) {
    const QRectF r = shape.boundingRect();
    p.fillRect(r, Qt::black);
    p.setClipPath(shape);
    QLinearGradient bg(r.topLeft(), r.bottomRight());
    bg.setColorAt(0, QColor(12, 20, 24));
    bg.setColorAt(1, QColor(6, 10, 13));
    p.fillRect(r, bg);
    // A faint diagonal texture keeps the large dark planes from looking flat.
    p.setPen(QPen(QColor(255, 255, 255, 6), 1));
    for (int x = -static_cast<int>(r.height()); x < r.width(); x += 6) {
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    }
    for (const Decor& d : s.decors) {
        if ((d.page == "all" || d.page == page) && IsBackdrop(d)) DrawDecor(p, d.rect, d.kind);
    }
}

// Pictures that sit on panels: drawn after the panels, left out of empty ones.
void DrawForegroundDecor(QPainter& p, const Source& s, const QString& page, bool skipInsidePanels) {
    for (const Decor& d : s.decors) {
        if ((d.page != "all" && d.page != page) || IsBackdrop(d)) continue;
        bool inside = false;
        for (const Area* panel : s.table(page)) {
            if (panel->style == "panel" && panel->rect.contains(d.rect)) inside = true;
        }
        if (!(skipInsidePanels && inside)) DrawDecor(p, d.rect, d.kind);
    }
}

void DrawEdge(QPainter& p, const QPainterPath& shape) {
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(1, 255, 246, 110), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

// Lines from each button of the mouse drawing to its assignment field.
void DrawLeaders(QPainter& p, const Source& s) {
    const Decor* mouse = nullptr;
    for (const Decor& d : s.decors) {
        if (d.page == "main" && d.kind == "mouse") mouse = &d;
    }
    if (!mouse) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int b = 0; b < 7; ++b) {
        const Area* field = s.find("main", 20 + b);
        if (!field) continue;
        const QPoint anchor = MouseButtonAnchor(mouse->rect, b);
        const bool left = field->rect.center().x() < mouse->rect.center().x();
        const QPointF start(left ? field->rect.right() + 1 : field->rect.left(), field->rect.center().y());
        const QPointF elbow(left ? mouse->rect.left() - 28 : mouse->rect.right() + 28, start.y());
        p.setPen(QPen(QColor(1, 255, 246, 110), 1.2));
        p.drawLine(start, elbow);
        p.drawLine(elbow, anchor);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(anchor), 3, 3);
        p.drawEllipse(start, 2, 2);
    }
    p.restore();
}

bool IsInsidePanel(const Source& s, const Area& a) {
    if (a.style == "panel") return false;
    for (const Area* panel : s.table("led")) {
        if (panel->style == "panel" && panel->rect.contains(a.rect)) return true;
    }
    return false;
}

}  // namespace

QPainterPath WindowShape(const QSize& size) {
    const qreal w = size.width(), h = size.height();
    const qreal big = 28, small = 14;
    QPolygonF poly;
    poly << QPointF(big, 0) << QPointF(w - small, 0) << QPointF(w, small) << QPointF(w, h - big) << QPointF(w - big, h)
         << QPointF(small, h) << QPointF(0, h - small) << QPointF(0, big);
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath WarningShape(const QSize& size) {
    const qreal w = size.width(), h = size.height(), c = 12;
    QPolygonF poly;
    poly << QPointF(c, 0) << QPointF(w - c, 0) << QPointF(w, c) << QPointF(w, h - c) << QPointF(w - c, h)
         << QPointF(c, h) << QPointF(0, h - c) << QPointF(0, c);
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QImage RenderMask(const QSize& size, const QPainterPath& shape) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(shape);
    return img;
}

QImage RenderPage(const Source& s, const QString& page, State state) {
    const QSize size = s.window("main");
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    const QPainterPath shape = WindowShape(size);
    DrawBackground(p, s, page, shape);
    bool decorDrawn = false;
    for (const Area* a : PageAreas(s, page)) {
        if (a->style != "panel" && !decorDrawn) {
            DrawForegroundDecor(p, s, page, false);
            if (page == "main") DrawLeaders(p, s);
            decorDrawn = true;
        }
        DrawElement(p, a->rect, a->style, state);
    }
    DrawEdge(p, shape);
    return img;
}

QImage RenderLedNull(const Source& s) {
    // What the program copies from here: the panels a lighting mode does not
    // use, and the brightness bar and swatches where the mode has no use for
    // them. They show in an inactive look, never as empty frames; a panel on
    // the stage is left out and the stage shows through.
    const QSize size = s.window("main");
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    const QPainterPath shape = WindowShape(size);
    DrawBackground(p, s, "led", shape);
    DrawForegroundDecor(p, s, "led", true);
    std::vector<QRect> stages;
    for (const Decor& d : s.decors) {
        if (d.page == "led" && d.kind == "stage") stages.push_back(d.rect);
    }
    auto onStage = [&](const QRect& r) {
        return std::any_of(stages.begin(), stages.end(), [&](const QRect& st) { return st.contains(r); });
    };
    for (const Area* panel : PageAreas(s, "led")) {
        if (panel->style != "panel" || onStage(panel->rect)) continue;
        DrawElement(p, panel->rect, "panel", State::Normal);
        for (const Decor& d : s.decors) {
            if (d.page == "led" && !IsBackdrop(d) && panel->rect.contains(d.rect)) DrawDecor(p, d.rect, d.kind);
        }
        for (const Area* a : s.table("led")) {
            if (a->style != "panel" && panel->rect.contains(a->rect)) DrawElement(p, a->rect, a->style, State::Normal);
        }
        DrawInactive(p, panel->rect, 10);
    }
    for (const Area* a : PageAreas(s, "led")) {
        if (a->style == "panel" || IsInsidePanel(s, *a) || onStage(a->rect)) continue;
        DrawElement(p, a->rect, a->style, State::Normal);
        if (a->style == "bar" || a->style.startsWith("swatch:")) DrawInactive(p, a->rect.adjusted(-1, -1, 1, 1), 8);
    }
    DrawEdge(p, shape);
    return img;
}

QImage RenderMenu(const QSize& size, int rowHeight, State state, const QList<int>& chevronRows, bool groups) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor base = groups ? QColor(13, 24, 34) : QColor(14, 23, 28);
    p.fillRect(img.rect(), base);
    const int rows = rowHeight > 0 ? size.height() / rowHeight : 0;
    for (int r = 0; r < rows; ++r) {
        const QRectF band(0, r * rowHeight, size.width(), rowHeight);
        if (state != State::Normal) {
            QLinearGradient g(band.topLeft(), band.topRight());
            const QColor c = state == State::Down ? QColor(9, 90, 92) : QColor(18, 56, 64);
            g.setColorAt(0, c);
            g.setColorAt(1, c.darker(140));
            p.fillRect(band, g);
            p.fillRect(QRectF(0, band.top(), 3, rowHeight), state == State::Down ? kAccent : QColor(1, 255, 246, 170));
        }
        p.fillRect(QRectF(6, band.bottom(), size.width() - 12, 1), QColor(30, 48, 54));
        if (chevronRows.contains(r + 1) || groups) {
            p.setPen(QPen(state == State::Normal ? kIcon : kAccent, 1.8, Qt::SolidLine, Qt::RoundCap));
            const QPointF c(size.width() - 12, band.center().y());
            p.drawLine(c + QPointF(-3, -4), c + QPointF(1, 0));
            p.drawLine(c + QPointF(1, 0), c + QPointF(-3, 4));
        }
    }
    p.setPen(QPen(QColor(42, 71, 77), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, size.height()));
    p.drawLine(QPointF(size.width() - 0.5, 0), QPointF(size.width() - 0.5, size.height()));
    p.drawLine(QPointF(0, 0.5), QPointF(size.width(), 0.5));
    return img;
}

QImage RenderWarning(const Source& s, State state) {
    const QSize size = s.window("warning");
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath shape = WarningShape(size);
    p.setClipPath(shape);
    // The window's dark theme, deep enough that the program's red labels
    // keep a good contrast on the card and on the buttons.
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(20, 26, 30));
    bg.setColorAt(1, QColor(10, 14, 17));
    p.fillRect(img.rect(), bg);
    p.fillRect(QRectF(0, 0, size.width(), 6), QColor(255, 176, 0));
    // Warning triangle.
    QPolygonF tri;
    tri << QPointF(size.width() / 2.0, 14) << QPointF(size.width() / 2.0 + 14, 38)
        << QPointF(size.width() / 2.0 - 14, 38);
    p.setPen(QPen(QColor(60, 40, 0), 1.2));
    p.setBrush(QColor(255, 176, 0));
    p.drawPolygon(tri);
    p.setPen(QPen(QColor(40, 30, 0), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(size.width() / 2.0, 22), QPointF(size.width() / 2.0, 30));
    p.drawPoint(QPointF(size.width() / 2.0, 34));
    for (int k = 0; k < 2; ++k) {
        const Area* a = s.find("warning", k);
        if (!a) continue;
        const QRectF r(a->rect);
        const QColor fill = state == State::Over ? QColor(40, 20, 22) : QColor(22, 26, 29);
        p.setPen(QPen(state == State::Over ? QColor(255, 70, 70) : QColor(70, 84, 90), state == State::Over ? 1.6 : 1));
        p.setBrush(fill);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
    }
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 176, 0, 150), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return img;
}

QImage RenderProgramIcon(int size) {
    // Drawn on the 64-pixel grid the window's icon was designed on and scaled
    // as a whole, so that strokes and edges keep their weight at every size.
    constexpr qreal kGrid = 64;
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.scale(size / kGrid, size / kGrid);
    DrawElement(p, QRect(0, -2, 64, 68), "logo", State::Over);
    return icon;
}

}  // namespace skingen
