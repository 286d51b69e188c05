#include "ui/orv_menu.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace kx700::ui {

std::vector<MenuItem> TrayMenuItems(bool english, bool autostart) {
    const MenuItem start{kAutostartCommand,
                         english ? QStringLiteral("Start with the desktop") : QStringLiteral("登录时自动启动"),
                         {},
                         true,
                         autostart};
    if (english) return {{32801, QStringLiteral("Show Window"), {}}, start, {32800, QStringLiteral("Exit Driver"), {}}};
    return {{32837, QStringLiteral("显示窗口   "), {}}, start, {32838, QStringLiteral("关闭驱动"), {}}};
}

std::vector<MenuItem> EditorMenuItems(bool english) {
    auto downUp = [](int down, const QString& d, const QString& u) {
        return std::vector<MenuItem>{{down, d, {}}, {down + 1, u, {}}};
    };
    if (english) {
        const QString down = QStringLiteral("Down"), up = QStringLiteral("Up");
        return {
            {-1,
             QStringLiteral("Insert before item"),
             {{-1, QStringLiteral("Left button"), downUp(32807, down, up)},
              {-1, QStringLiteral("Right button"), downUp(32809, down, up)},
              {-1, QStringLiteral("Middle button"), downUp(32811, down, up)}}},
            {-1,
             QStringLiteral("Insert after item"),
             {{-1, QStringLiteral("Left button"), downUp(32813, down, up)},
              {-1, QStringLiteral("Right button"), downUp(32815, down, up)},
              {-1, QStringLiteral("Mid button"), downUp(32850, QStringLiteral("↓"), QStringLiteral("↑"))}}},
            {-1,
             QStringLiteral("Insert XY"),
             {{32791, QStringLiteral("X-,Y-"), {}},
              {32792, QStringLiteral("X-,Y+"), {}},
              {32793, QStringLiteral("X+,Y-"), {}},
              {32794, QStringLiteral("X+,Y+"), {}}}},
            {-1,
             QStringLiteral("Insert CPI"),
             {{32797, QStringLiteral("Set CPI"), {}}, {32798, QStringLiteral("Reset CPI"), {}}}},
            {32799, QStringLiteral("Insert LED"), {}},
            {32803, QStringLiteral("Insert [delay]"), {}},
            {0, QString(), {}},
            {32804, QStringLiteral("Change parameters"), {}},
            {32805, QStringLiteral("Modifiy delay"), {}},
            {32806, QStringLiteral("Delete option"), {}},
        };
    }
    const QString down = QStringLiteral("向下"), up = QStringLiteral("向上");
    return {
        {-1,
         QStringLiteral("项前插入"),
         {{-1, QStringLiteral("左键"), downUp(32807, down, up)},
          {-1, QStringLiteral("右键"), downUp(32809, down, up)},
          {-1, QStringLiteral("中键"), downUp(32811, down, up)}}},
        {-1,
         QStringLiteral("项后插入"),
         {{-1, QStringLiteral("左键"), downUp(32813, down, up)},
          {-1, QStringLiteral("右键"), downUp(32815, down, up)},
          {-1, QStringLiteral("中键"), downUp(32847, down, up)}}},
        {-1,
         QStringLiteral("插入弹道修正"),
         {{32791, QStringLiteral("X负,Y负"), {}},
          {32792, QStringLiteral("X负,Y正"), {}},
          {32793, QStringLiteral("X正,Y负"), {}},
          {32794, QStringLiteral("X正,Y正"), {}}}},
        {-1,
         QStringLiteral("插入CPI"),
         {{32797, QStringLiteral("设定CPI"), {}}, {32798, QStringLiteral("返回CPI至执行前"), {}}}},
        {32799, QStringLiteral("插入LED"), {}},
        {32803, QStringLiteral("插入[延迟]"), {}},
        {0, QString(), {}},
        {32804, QStringLiteral("修改参数"), {}},
        {32805, QStringLiteral("修改延迟"), {}},
        {32806, QStringLiteral("删除选项"), {}},
    };
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
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        p->drawText(r.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("▸"));
    } else if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        p->drawText(r.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("✓"));
    }
    p->restore();
}

QSize OrvMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || item == nullptr) return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) return QSize(8, 1);
    // Room for the tick of a checkable item beside its text.
    const int mark = item->checkType != QStyleOptionMenuItem::NotCheckable ? 16 : 0;
    int width = 8 * static_cast<int>(item->text.size()) + mark;
    if (!fitText_) return QSize(width, 20);
    const int needed = QFontMetrics(item->font).horizontalAdvance(item->text) + 12 + mark +
                       (item->menuItemType == QStyleOptionMenuItem::SubMenu ? 16 : 0);
    if (needed > width) width = needed;
    return QSize(width, 20);
}

int OrvMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

COrvMenu::COrvMenu(QWidget* parent) : QMenu(parent), style_(new OrvMenuStyle) {
    style_->setParent(this);
    setStyle(style_);
    connect(this, &QMenu::triggered, this, [this](QAction* a) { Q_EMIT command(a->data().toInt()); });
}

namespace {

void AddItems(QMenu* menu, QStyle* style, const std::vector<MenuItem>& items, int& n) {
    for (const MenuItem& item : items) {
        if (++n > 50) return;
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id < 0) {
            QMenu* sub = menu->addMenu(item.text);
            sub->setStyle(style);
            sub->setFont(menu->font());
            AddItems(sub, style, item.children, n);
        } else {
            QAction* a = menu->addAction(item.text);
            a->setData(item.id);
            a->setCheckable(item.checkable);
            a->setChecked(item.checked);
        }
    }
}

}  // namespace

void COrvMenu::load(const std::vector<MenuItem>& items) {
    clear();
    for (QMenu* sub : findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) delete sub;
    int n = 0;
    AddItems(this, style_, items, n);
}

QAction* COrvMenu::findAction(const QStringList& path) const {
    const QMenu* menu = this;
    for (int i = 0; i < path.size(); ++i) {
        QAction* found = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->text() == path[i]) found = a;
        }
        if (!found) return nullptr;
        if (i + 1 == path.size()) return found;
        if (!found->menu()) return nullptr;
        menu = found->menu();
    }
    return nullptr;
}

}  // namespace kx700::ui
