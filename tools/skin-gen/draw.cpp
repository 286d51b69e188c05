#include "draw.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace skingen {
using namespace palette;

namespace {

QColor Alpha(QColor c, int a) {
    c.setAlpha(a);
    return c;
}

void RoundBox(QPainter& p, const QRectF& r, qreal radius, const QBrush& fill, const QColor& border, qreal width = 1.0) {
    p.setPen(border.alpha() == 0 ? Qt::NoPen : QPen(border, width));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(width / 2, width / 2, -width / 2, -width / 2), radius, radius);
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// The three looks most controls share: a raised plate, a lit edge on hover,
// a deep teal plate with a bright edge when pressed or selected.
void Plate(QPainter& p, const QRectF& r, qreal radius, State s) {
    switch (s) {
        case State::Normal: RoundBox(p, r, radius, Vertical(r, QColor(22, 38, 44), QColor(15, 28, 33)), kEdge); break;
        case State::Over:
            RoundBox(p, r, radius, Vertical(r, QColor(24, 52, 60), QColor(17, 40, 47)), Alpha(kAccent, 170));
            break;
        case State::Down:
            RoundBox(p, r, radius, Vertical(r, QColor(9, 84, 86), QColor(5, 52, 54)), kAccent, 1.5);
            break;
    }
}

void DrawIconGlyph(QPainter& p, const QRectF& r, const QString& name, const QColor& c) {
    p.save();
    p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF m = r.center();
    const qreal u = std::min(r.width(), r.height()) / 6.0;
    auto arrow = [&](QPointF from, QPointF to) {
        p.drawLine(from, to);
        const QPointF d = to - from;
        const qreal len = std::hypot(d.x(), d.y());
        const QPointF n = d / len;
        const QPointF side(-n.y(), n.x());
        p.drawLine(to, to - n * u * 1.2 + side * u * 0.9);
        p.drawLine(to, to - n * u * 1.2 - side * u * 0.9);
    };
    if (name == "right") {
        arrow(m - QPointF(2.2 * u, 0), m + QPointF(2.2 * u, 0));
    } else if (name == "left") {
        arrow(m + QPointF(2.2 * u, 0), m - QPointF(2.2 * u, 0));
    } else if (name == "outward") {
        arrow(m - QPointF(0.4 * u, 0), m - QPointF(2.4 * u, 0));
        arrow(m + QPointF(0.4 * u, 0), m + QPointF(2.4 * u, 0));
    } else if (name == "rotate") {
        const QRectF arc(m.x() - 1.8 * u, m.y() - 1.8 * u, 3.6 * u, 3.6 * u);
        p.drawArc(arc, 30 * 16, 280 * 16);
        const QPointF tip(m.x() + 1.8 * u * std::cos(0.5236), m.y() - 1.8 * u * std::sin(0.5236));
        p.drawLine(tip, tip + QPointF(-1.3 * u, -0.2 * u));
        p.drawLine(tip, tip + QPointF(0.1 * u, -1.3 * u));
    } else if (name == "chevron") {
        QPainterPath path;
        path.moveTo(m + QPointF(-1.4 * u, -0.6 * u));
        path.lineTo(m + QPointF(0, 0.8 * u));
        path.lineTo(m + QPointF(1.4 * u, -0.6 * u));
        p.drawPath(path);
    } else if (name == "minimise") {
        p.drawLine(m + QPointF(-1.5 * u, 0.9 * u), m + QPointF(1.5 * u, 0.9 * u));
    } else if (name == "hide") {
        QPainterPath path;
        path.moveTo(m + QPointF(-1.5 * u, -0.9 * u));
        path.lineTo(m + QPointF(0, 0.7 * u));
        path.lineTo(m + QPointF(1.5 * u, -0.9 * u));
        p.drawPath(path);
        p.drawLine(m + QPointF(-1.5 * u, 1.5 * u), m + QPointF(1.5 * u, 1.5 * u));
    } else if (name == "close") {
        p.drawLine(m + QPointF(-1.3 * u, -1.3 * u), m + QPointF(1.3 * u, 1.3 * u));
        p.drawLine(m + QPointF(1.3 * u, -1.3 * u), m + QPointF(-1.3 * u, 1.3 * u));
    }
    p.restore();
}

QPainterPath MouseBody(const QRectF& r) {
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    QPainterPath path;
    path.moveTo(x + 0.5 * w, y);
    path.cubicTo(x + 0.92 * w, y, x + w, y + 0.12 * h, x + w, y + 0.32 * h);
    path.cubicTo(x + w, y + 0.52 * h, x + 0.9 * w, y + 0.6 * h, x + 0.94 * w, y + 0.78 * h);
    path.cubicTo(x + 0.98 * w, y + 0.96 * h, x + 0.72 * w, y + h, x + 0.5 * w, y + h);
    path.cubicTo(x + 0.28 * w, y + h, x + 0.02 * w, y + 0.96 * h, x + 0.06 * w, y + 0.78 * h);
    path.cubicTo(x + 0.1 * w, y + 0.6 * h, x, y + 0.52 * h, x, y + 0.32 * h);
    path.cubicTo(x, y + 0.12 * h, x + 0.08 * w, y, x + 0.5 * w, y);
    path.closeSubpath();
    return path;
}

// The main buttons are the body's front, split in two; the small buttons are
// plain shapes. In unit coordinates of the body rectangle.
QPainterPath MouseButton(const QRectF& r, int b) {
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    QPainterPath path;
    if (b == 0 || b == 1) {
        QPainterPath half;
        half.addRect(b == 0 ? QRectF(x - 1, y - 1, 0.5 * w - 1, 0.36 * h + 1)
                            : QRectF(x + 0.5 * w + 2, y - 1, 0.5 * w, 0.36 * h + 1));
        return MouseBody(r).intersected(half).simplified();
    }
    switch (b) {
        case 2:  // wheel
            path.addRoundedRect(QRectF(x + 0.43 * w, y + 0.08 * h, 0.14 * w, 0.15 * h), 0.07 * w, 0.07 * w);
            break;
        case 3:  // forward, on the left side
            path.addRoundedRect(QRectF(x - 0.02 * w, y + 0.4 * h, 0.09 * w, 0.1 * h), 4, 4);
            break;
        case 4:  // back
            path.addRoundedRect(QRectF(x - 0.02 * w, y + 0.53 * h, 0.09 * w, 0.1 * h), 4, 4);
            break;
        case 5:  // CPI, behind the wheel
            path.addRoundedRect(QRectF(x + 0.44 * w, y + 0.27 * h, 0.12 * w, 0.06 * h), 4, 4);
            break;
        case 6:  // the top button beside the left button
            path.addRoundedRect(QRectF(x + 0.16 * w, y + 0.17 * h, 0.1 * w, 0.1 * h), 5, 5);
            break;
        default: break;
    }
    return path;
}

void DrawMouse(QPainter& p, const QRectF& r, int lit, bool small) {
    p.save();
    const QPainterPath body = MouseBody(r);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(34, 50, 56));
    g.setColorAt(1, QColor(12, 20, 24));
    p.setPen(QPen(small ? kEdge : Alpha(kAccent, 120), small ? 1.0 : 1.5));
    p.setBrush(g);
    p.drawPath(body);
    if (!small) {
        // Light strip along the back: the mouse's own lighting.
        QLinearGradient strip(r.topLeft(), r.topRight());
        strip.setColorAt(0, Alpha(kAccent, 0));
        strip.setColorAt(0.5, Alpha(kAccent, 150));
        strip.setColorAt(1, Alpha(kAccent, 0));
        p.setPen(QPen(QBrush(strip), 3));
        p.drawLine(QPointF(r.x() + 0.2 * r.width(), r.y() + 0.86 * r.height()),
                   QPointF(r.x() + 0.8 * r.width(), r.y() + 0.86 * r.height()));
        p.setPen(QPen(Alpha(kAccent, 60), 1));
        p.drawLine(QPointF(r.center().x(), r.y() + 0.36 * r.height()),
                   QPointF(r.center().x(), r.y() + 0.7 * r.height()));
    }
    for (int b = 0; b < 7; ++b) {
        const QPainterPath button = MouseButton(r, b);
        const bool on = lit < 0 || lit == b;
        p.setPen(QPen(on ? Alpha(kAccent, small ? 255 : 200) : kEdge, small ? 1.0 : 1.4));
        p.setBrush(on ? (small ? QBrush(Alpha(kAccent, 200)) : QBrush(QColor(20, 60, 64)))
                      : QBrush(QColor(26, 40, 45)));
        p.drawPath(button);
    }
    p.restore();
}

}  // namespace

QPoint MouseButtonAnchor(const QRect& body, int b) {
    const qreal x = body.x(), y = body.y(), w = body.width(), h = body.height();
    switch (b) {
        case 0: return QPointF(x + 0.3 * w, y + 0.12 * h).toPoint();
        case 1: return QPointF(x + 0.72 * w, y + 0.2 * h).toPoint();
        default: return MouseButton(QRectF(body), b).boundingRect().center().toPoint();
    }
}

QRect MouseLampRect(const QRect& body, int b) {
    const qreal x = body.x(), y = body.y(), w = body.width(), h = body.height();
    if (b < 0) return QRectF(x + 0.2 * w, y + 0.86 * h - 4, 0.6 * w, 8).toAlignedRect();
    if (b == 7) return QRectF(x + 0.5 * w - 0.16 * w, y + 0.58 * h - 0.16 * w, 0.32 * w, 0.32 * w).toRect();
    if (b == 8) return QRectF(x - 0.4 * w, y + 0.92 * h, 1.8 * w, 0.16 * h).toRect();
    if (b == 0 || b == 1) {
        // The two main buttons: a pad in the middle of each half of the front.
        const qreal left = b == 0 ? x + 0.12 * w : x + 0.6 * w;
        return QRectF(left, y + 0.1 * h, 0.28 * w, 0.14 * h).toRect();
    }
    return MouseButton(QRectF(body), b).boundingRect().adjusted(1, 1, -1, -1).toRect();
}

void DrawInactive(QPainter& p, const QRect& r, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(9, 14, 17, 160));
    p.drawRoundedRect(QRectF(r), radius, radius);
    p.restore();
}

void DrawDecor(QPainter& p, const QRect& r, const QString& kind) {
    const QRectF rf(r);
    if (kind == "section") {
        RoundBox(p, rf, 10, Vertical(rf, QColor(15, 25, 30), QColor(11, 18, 22)), kPanelBorder);
        p.setPen(QPen(Alpha(kAccent, 90), 2));
        p.drawLine(QPointF(rf.left() + 12, rf.top() + 1), QPointF(rf.left() + 60, rf.top() + 1));
    } else if (kind == "stage") {
        // The preview's stage: a section with a faint spotlight from above.
        RoundBox(p, rf, 10, Vertical(rf, QColor(15, 25, 30), QColor(9, 15, 18)), kPanelBorder);
        QRadialGradient spot(QPointF(rf.center().x(), rf.top() + 0.45 * rf.height()), 0.55 * rf.width());
        spot.setColorAt(0, Alpha(kAccent, 22));
        spot.setColorAt(1, Alpha(kAccent, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(spot);
        p.drawRoundedRect(rf.adjusted(1, 1, -1, -1), 10, 10);
        p.setPen(QPen(Alpha(kAccent, 90), 2));
        p.drawLine(QPointF(rf.left() + 12, rf.top() + 1), QPointF(rf.left() + 60, rf.top() + 1));
    } else if (kind == "headerbar") {
        p.fillRect(rf, Vertical(rf, QColor(18, 29, 34), QColor(10, 16, 20)));
        QLinearGradient line(rf.bottomLeft(), rf.bottomRight());
        line.setColorAt(0, Alpha(kAccent, 0));
        line.setColorAt(0.25, Alpha(kAccent, 140));
        line.setColorAt(0.75, Alpha(kAccent, 140));
        line.setColorAt(1, Alpha(kAccent, 0));
        p.fillRect(QRectF(rf.left(), rf.bottom(), rf.width(), 1), line);
    } else if (kind == "footerbar") {
        p.fillRect(QRectF(rf.left(), rf.top(), rf.width(), 1), QColor(24, 38, 43));
    } else if (kind == "mouse") {
        DrawMouse(p, rf, -1, false);
    } else if (kind.startsWith("mouse")) {
        DrawMouse(p, rf.adjusted(10, 3, -10, -3), kind.mid(5).toInt(), true);
    }
}

void DrawElement(QPainter& p, const QRect& r, const QString& style, State s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF rf(r);
    if (style == "button" || style == "lang") {
        Plate(p, rf, style == "lang" ? rf.height() / 2 : 6, s);
    } else if (style == "apply") {
        const QColor fill = s == State::Down   ? QColor(6, 120, 116)
                            : s == State::Over ? QColor(10, 88, 88)
                                               : QColor(9, 52, 54);
        RoundBox(p, rf, 8, Vertical(rf, fill.lighter(125), fill), kAccent, 1.5);
    } else if (style == "record") {
        Plate(p, rf, 6, s);
        const QPointF dot(rf.left() + 22, rf.center().y());
        p.setPen(Qt::NoPen);
        if (s == State::Down) {
            QRadialGradient glow(dot, 14);
            glow.setColorAt(0, QColor(255, 60, 60, 200));
            glow.setColorAt(1, QColor(255, 60, 60, 0));
            p.setBrush(glow);
            p.drawEllipse(dot, 14, 14);
        }
        p.setBrush(s == State::Normal ? QColor(170, 40, 40) : QColor(255, 70, 70));
        p.drawEllipse(dot, 6, 6);
    } else if (style == "tab") {
        if (s == State::Over) {
            p.fillRect(rf.adjusted(0, 0, 0, -3), Vertical(rf, Alpha(kAccent, 0), Alpha(kAccent, 28)));
            p.fillRect(QRectF(rf.left() + 8, rf.bottom() - 2, rf.width() - 16, 2), Alpha(kAccent, 140));
        } else if (s == State::Down) {
            p.fillRect(rf.adjusted(0, 0, 0, -3), Vertical(rf, Alpha(kAccent, 10), Alpha(kAccent, 55)));
            p.fillRect(QRectF(rf.left(), rf.bottom() - 3, rf.width(), 3), kAccent);
        }
    } else if (style.startsWith("win:")) {
        const QColor glyph = s == State::Normal ? kIcon : Qt::white;
        if (s != State::Normal) {
            p.setPen(Qt::NoPen);
            p.setBrush(style == "win:close" && s == State::Down ? QColor(170, 30, 40)
                       : s == State::Down                       ? QColor(9, 84, 86)
                                                                : QColor(30, 58, 64));
            p.drawEllipse(rf);
        }
        DrawIconGlyph(p, rf, style.mid(4), glyph);
    } else if (style == "logo") {
        // A hexagonal badge with a stylised K; its hover look only glows.
        const QRectF badge(rf.left(), rf.top() + 2, rf.height() - 4, rf.height() - 4);
        QPainterPath hex;
        for (int i = 0; i < 6; ++i) {
            const double a = M_PI / 3 * i + M_PI / 6;
            const QPointF pt(badge.center().x() + badge.width() / 2 * std::cos(a),
                             badge.center().y() + badge.height() / 2 * std::sin(a));
            i == 0 ? hex.moveTo(pt) : hex.lineTo(pt);
        }
        hex.closeSubpath();
        p.setPen(QPen(s == State::Normal ? Alpha(kAccent, 200) : kAccent, s == State::Normal ? 1.5 : 2.5));
        p.setBrush(Vertical(badge, QColor(12, 60, 62), QColor(6, 24, 28)));
        p.drawPath(hex);
        p.setPen(QPen(kAccent, 2.4, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = badge.center();
        const qreal u = badge.width() / 6;
        p.drawLine(c + QPointF(-1.2 * u, -1.6 * u), c + QPointF(-1.2 * u, 1.6 * u));
        p.drawLine(c + QPointF(1.4 * u, -1.6 * u), c + QPointF(-1.0 * u, 0));
        p.drawLine(c + QPointF(-1.0 * u, 0), c + QPointF(1.4 * u, 1.6 * u));
        if (rf.width() > 2 * rf.height()) {
            // The product name beside the badge: the same in both languages,
            // so it belongs to the picture and shows on every page.
            QFont name(QStringLiteral("Arial"));
            name.setPixelSize(static_cast<int>(rf.height() * 0.42));
            name.setBold(true);
            name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
            p.setFont(name);
            p.setPen(s == State::Normal ? QColor(236, 246, 246) : Qt::white);
            const QRectF text(badge.right() + 12, rf.top() + 2, rf.right() - badge.right() - 12, rf.height() * 0.55);
            p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("KX700"));
            QFont sub(QStringLiteral("Arial"));
            sub.setPixelSize(static_cast<int>(rf.height() * 0.24));
            sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
            p.setFont(sub);
            p.setPen(s == State::Normal ? kIcon : kAccent);
            p.drawText(QRectF(text.left(), text.bottom() + 1, text.width(), rf.height() * 0.35),
                       Qt::AlignLeft | Qt::AlignTop, QStringLiteral("GAMING MOUSE"));
        }
    } else if (style == "field") {
        const QColor border = s == State::Normal ? kEdge : kAccent;
        RoundBox(p, rf, 4, s == State::Down ? QColor(6, 48, 46) : kControl, border, s == State::Down ? 1.5 : 1.0);
        DrawIconGlyph(p, QRectF(rf.right() - rf.height(), rf.top(), rf.height(), rf.height()).adjusted(6, 6, -6, -6),
                      "chevron", s == State::Normal ? kIcon : kAccent);
    } else if (style == "bar") {
        const qreal radius = rf.height() / 2;
        if (s == State::Down) {
            QLinearGradient g(rf.topLeft(), rf.topRight());
            g.setColorAt(0, QColor(0, 110, 106));
            g.setColorAt(1, kAccent);
            RoundBox(p, rf, radius, g, Alpha(kAccent, 220));
            p.fillRect(QRectF(rf.left() + 3, rf.top() + 3, rf.width() - 6, 2), QColor(255, 255, 255, 60));
        } else {
            RoundBox(p, rf, radius, QColor(6, 16, 19), s == State::Over ? Alpha(kAccent, 170) : QColor(31, 54, 59));
            p.setPen(QPen(QColor(36, 60, 66), 1));
            for (int i = 1; i < 10; ++i) {
                const qreal x = rf.left() + rf.width() * i / 10;
                p.drawLine(QPointF(x, rf.top() + 4), QPointF(x, rf.bottom() - 4));
            }
        }
    } else if (style == "toggle") {
        const qreal radius = rf.height() / 2;
        const bool on = s == State::Down;
        RoundBox(p, rf, radius, on ? QBrush(QColor(0, 140, 134)) : QBrush(QColor(24, 38, 43)),
                 s == State::Normal ? kEdge : kAccent, on ? 1.5 : 1.0);
        const qreal d = rf.height() - 6;
        const QRectF knob(on ? rf.right() - d - 3 : rf.left() + 3, rf.top() + 3, d, d);
        p.setPen(Qt::NoPen);
        p.setBrush(on ? QColor(240, 255, 254) : (s == State::Over ? QColor(180, 200, 204) : QColor(120, 140, 146)));
        p.drawEllipse(knob);
    } else if (style == "radio") {
        p.setPen(QPen(s == State::Normal ? QColor(74, 106, 112) : kAccent, 1.6));
        p.setBrush(kControl);
        p.drawEllipse(rf.adjusted(1, 1, -1, -1));
        if (s == State::Down) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(rf.adjusted(6, 6, -6, -6));
        }
    } else if (style == "choice") {
        if (s != State::Normal)
            Plate(p, rf, 6, s);
        else
            RoundBox(p, rf, 6, QColor(15, 26, 31), QColor(30, 50, 56));
    } else if (style == "chip") {
        if (s == State::Normal) {
            p.setPen(QPen(QColor(46, 74, 80), 1));
            p.drawLine(QPointF(rf.center().x(), rf.top() + 2), QPointF(rf.center().x(), rf.top() + 4));
        } else {
            RoundBox(p, rf.adjusted(0, 1, 0, -1), 4, s == State::Down ? QColor(9, 77, 79) : QColor(18, 48, 58),
                     s == State::Down ? kAccent : Alpha(kAccent, 110));
        }
    } else if (style == "link") {
        if (s != State::Normal) {
            p.fillRect(QRectF(rf.left() + 10, rf.bottom() - 3, rf.width() - 20, 2),
                       s == State::Down ? kAccent : Alpha(kAccent, 150));
        }
    } else if (style == "caption") {
        p.fillRect(QRectF(rf.left(), rf.bottom(), rf.width(), 1), QColor(30, 50, 56));
    } else if (style == "value") {
        RoundBox(p, rf.adjusted(4, 4, -4, -4), 4, kControl, QColor(31, 54, 59));
    } else if (style == "edit" || style == "list") {
        // The child control paints its own inside; the frame sits just outside it.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(rf, kControl);
        p.setPen(QPen(kEdge, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rf.left() - 1, rf.top() - 1, rf.width() + 1, rf.height() + 1));
    } else if (style.startsWith("swatch:")) {
        const QColor colour(QString("#") + style.mid(7));
        if (s == State::Down) {
            RoundBox(p, rf, 8, Vertical(rf, colour.lighter(120), colour.darker(130)), Qt::white, 1.5);
            p.fillRect(QRectF(rf.left() + 6, rf.top() + 5, rf.width() - 12, 3), QColor(255, 255, 255, 70));
        } else {
            RoundBox(p, rf, 8, QColor(11, 19, 22), s == State::Over ? kAccent : kEdge);
            p.setPen(QPen(Alpha(colour, 90), 2));
            p.drawLine(QPointF(rf.left() + 10, rf.bottom() - 10), QPointF(rf.right() - 10, rf.top() + 10));
        }
    } else if (style.startsWith("icon:")) {
        const QString name = style.mid(5);
        if (name.startsWith("mouse")) {
            if (s != State::Normal) Plate(p, rf, 8, s);
            DrawDecor(p, r, name);
        } else {
            Plate(p, rf, 6, s);
            DrawIconGlyph(p, name == "chevron" ? rf.adjusted(4, 4, -4, -4) : rf, name,
                          s == State::Normal ? kIcon : kAccent);
        }
    } else if (style == "indicator") {
        p.setPen(QPen(kEdge, 1));
        if (s == State::Down) {
            QRadialGradient g(rf.center(), rf.width() / 2);
            g.setColorAt(0, Qt::white);
            g.setColorAt(0.35, kAccent);
            g.setColorAt(1, QColor(0, 90, 88));
            p.setBrush(g);
        } else {
            p.setBrush(s == State::Over ? QColor(24, 52, 58) : QColor(16, 30, 34));
        }
        p.drawEllipse(rf.adjusted(1, 1, -1, -1));
    } else if (style == "panel") {
        RoundBox(p, rf, 10, Vertical(rf, QColor(15, 25, 30), QColor(11, 18, 22)),
                 s == State::Normal ? kPanelBorder : Alpha(kAccent, 100));
    }
    // "text" has no look of its own: the program writes its label.
    p.restore();
}

}  // namespace skingen
