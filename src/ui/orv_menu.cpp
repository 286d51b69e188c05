#include "ui/orv_menu.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace kx700::ui {

std::vector<MenuItem> TrayMenuItems(bool english) {
    if (english) return {{32801, QStringLiteral("Show Window")}, {32800, QStringLiteral("Exit Driver")}};
    return {{32837, QStringLiteral("显示窗口   ")}, {32838, QStringLiteral("关闭驱动")}};
}

QColor SelectedLineColour(int y, int lines) {
    if (lines <= 0) return QColor(0, 0, 255);
    auto channel = [&](int start, int end) {
        const int step = static_cast<int>(static_cast<double>(end - start) / lines);
        return (start + step * y) & 0xFF;
    };
    return QColor(channel(0, 0), channel(0, 255), channel(255, 255));
}

void OrvMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                               const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || item == nullptr) {
        QProxyStyle::drawControl(element, option, p, widget);
        return;
    }
    const QRect r = item->rect;
    p->save();
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        // A three-dimensional frame: red top and left, blue bottom and right.
        const QRect f = r.adjusted(25, 0, 0, 0);
        p->setPen(QColor(255, 0, 0));
        p->drawLine(f.topLeft(), f.topRight());
        p->drawLine(f.topLeft(), f.bottomLeft());
        p->setPen(QColor(0, 0, 255));
        p->drawLine(f.bottomLeft(), f.bottomRight());
        p->drawLine(f.topRight(), f.bottomRight());
        p->restore();
        return;
    }
    if (item->state & State_Selected) {
        p->setPen(Qt::black);
        p->setBrush(Qt::white);
        p->drawRect(r.adjusted(0, 0, -1, -1));
        const QRect inner = r.adjusted(1, 1, -1, -1);
        for (int y = 0; y < inner.height(); ++y) {
            p->setPen(SelectedLineColour(y, inner.height()));
            p->drawLine(inner.left(), inner.top() + y, inner.right(), inner.top() + y);
        }
    } else {
        p->fillRect(r, QColor(0, 120, 153));
    }
    p->setPen(Qt::white);
    p->setFont(item->font);
    p->drawText(r.adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item->text);
    p->restore();
}

QSize OrvMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || item == nullptr) return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) return QSize(8, 1);
    return QSize(8 * static_cast<int>(item->text.size()), 20);
}

int OrvMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

COrvMenu::COrvMenu(QWidget* parent) : QMenu(parent), style_(new OrvMenuStyle) {
    style_->setParent(this);
    setStyle(style_);
    connect(this, &QMenu::triggered, this, [this](QAction* a) { Q_EMIT command(a->data().toInt()); });
}

void COrvMenu::load(const std::vector<MenuItem>& items) {
    clear();
    int n = 0;
    for (const MenuItem& item : items) {
        if (++n > 50) break;
        if (item.id == 0) {
            addSeparator();
        } else {
            QAction* a = addAction(item.text);
            a->setData(item.id);
        }
    }
}

}  // namespace kx700::ui
