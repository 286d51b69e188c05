// The owner-drawn menu: sizes and colours as the program draws them.
#include <gtest/gtest.h>

#include <QPainter>
#include <QStyleOptionMenuItem>

#include "ui/orv_menu.h"

namespace kx700 {
namespace {

QSize ItemSize(const QString& text, QStyleOptionMenuItem::MenuItemType type) {
    ui::OrvMenuStyle style;
    QStyleOptionMenuItem option;
    option.text = text;
    option.menuItemType = type;
    return style.sizeFromContents(QStyle::CT_MenuItem, &option, QSize());
}

TEST(OrvMenu, MeasuresEightPixelsACharacterByTwenty) {
    EXPECT_EQ(ItemSize("Show Window", QStyleOptionMenuItem::Normal), QSize(88, 20));
    EXPECT_EQ(ItemSize("", QStyleOptionMenuItem::Separator).height(), 1);
    EXPECT_EQ(ItemSize("显示窗口   ", QStyleOptionMenuItem::Normal), QSize(56, 20));
}

TEST(OrvMenu, SelectedGradientStepsAreTruncated) {
    // 18 lines: green rises by 255 / 18 = 14.17, taken as 14.
    EXPECT_EQ(ui::SelectedLineColour(0, 18), QColor(0, 0, 255));
    EXPECT_EQ(ui::SelectedLineColour(1, 18), QColor(0, 14, 255));
    EXPECT_EQ(ui::SelectedLineColour(17, 18), QColor(0, 238, 255));
}

TEST(OrvMenu, DrawsItemsInTheProgramsColours) {
    ui::OrvMenuStyle style;
    QImage img(100, 20, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    QStyleOptionMenuItem option;
    option.rect = QRect(0, 0, 100, 20);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = "x";
    style.drawControl(QStyle::CE_MenuItem, &option, &p);
    EXPECT_EQ(QColor(img.pixel(90, 2)), QColor(0, 120, 153));
    option.state |= QStyle::State_Selected;
    style.drawControl(QStyle::CE_MenuItem, &option, &p);
    EXPECT_EQ(QColor(img.pixel(90, 1)), QColor(0, 0, 255)) << "first gradient line";
    EXPECT_EQ(QColor(img.pixel(90, 18)), ui::SelectedLineColour(17, 18)) << "last gradient line";
    option.menuItemType = QStyleOptionMenuItem::Separator;
    option.rect = QRect(0, 0, 100, 1);
    img.fill(Qt::black);
    style.drawControl(QStyle::CE_MenuItem, &option, &p);
    EXPECT_EQ(QColor(img.pixel(10, 0)), QColor(Qt::black)) << "the frame starts 25 pixels in";
    EXPECT_NE(QColor(img.pixel(50, 0)), QColor(Qt::black));
}

TEST(OrvMenu, TrayMenusOfBothLanguages) {
    const auto en = ui::TrayMenuItems(true, true);
    const auto cn = ui::TrayMenuItems(false, false);
    ASSERT_EQ(en.size(), 3u);
    EXPECT_EQ(en[0].id, 32801);
    EXPECT_EQ(en[2].text, "Exit Driver");
    EXPECT_EQ(cn[0].text, "显示窗口   ");
    EXPECT_EQ(cn[2].id, 32838);
    ui::COrvMenu menu;
    menu.load(en);
    EXPECT_EQ(menu.itemCount(), 3);
    // The autostart item carries its tick.
    EXPECT_TRUE(menu.findAction({QStringLiteral("Start with the desktop")})->isChecked());
    menu.load(cn);
    EXPECT_FALSE(menu.findAction({QStringLiteral("登录时自动启动")})->isChecked());
}

}  // namespace
}  // namespace kx700
