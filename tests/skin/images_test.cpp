// Skin pictures and the regions cut from masks.
#include "skin/images.h"

#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

// The rule as the window system applied it: the mask's rectangle, then every
// light pixel taken away one at a time, column by column.
QRegion PixelByPixel(const QImage& mask) {
    QRegion r(0, 0, mask.width(), mask.height());
    for (int x = 0; x < mask.width(); ++x) {
        for (int y = 0; y < mask.height(); ++y) {
            if (IsMaskHole(mask.pixel(x, y))) r ^= QRegion(x, y, 1, 1);
        }
    }
    return r;
}

TEST(MaskRegion, ThresholdIsAboveOneHundredInEveryChannel) {
    QImage mask(4, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(100, 100, 100));  // stays
    mask.setPixel(1, 0, qRgb(101, 101, 101));  // hole
    mask.setPixel(2, 0, qRgb(100, 255, 255));  // stays
    mask.setPixel(3, 0, qRgb(255, 255, 101));  // hole
    const QRegion r = MaskToRegion(mask);
    EXPECT_TRUE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(1, 0)));
    EXPECT_TRUE(r.contains(QPoint(2, 0)));
    EXPECT_FALSE(r.contains(QPoint(3, 0)));
    EXPECT_EQ(r, PixelByPixel(mask));
}

TEST(MaskRegion, EqualsThePixelRuleOnNoiseAndOnTheShippedMasks) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        QImage mask(37 + round, 23, QImage::Format_RGB32);
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const int v = 90 + static_cast<int>(rng() % 20);  // straddles the threshold
                mask.setPixel(x, y, qRgb(v, 95 + static_cast<int>(rng() % 10), v));
            }
        }
        EXPECT_EQ(MaskToRegion(mask), PixelByPixel(mask)) << "round " << round;
    }
    const char* stage = std::getenv("KX700_TEST_STAGE");
    ASSERT_NE(stage, nullptr);
    for (const char* name : {"main_mask.jpg", "warning_mask.jpg"}) {
        const QImage mask = LoadSkinImage(fs::path(stage) / "skins", name);
        ASSERT_FALSE(mask.isNull()) << name;
        EXPECT_EQ(MaskToRegion(mask), PixelByPixel(mask)) << name;
    }
    EXPECT_TRUE(MaskToRegion(QImage()).isEmpty());
}

TEST(SkinImages, MissingOrBrokenFilesGiveEmptyPictures) {
    testing::TempDir dir;
    testing::WriteBytes(dir / "broken.jpg", "not a picture");
    EXPECT_TRUE(LoadSkinImage(dir.path(), "none.jpg").isNull());
    EXPECT_TRUE(LoadSkinImage(dir.path(), "broken.jpg").isNull());
    SkinImageCache cache(dir.path());
    EXPECT_TRUE(cache.load("broken.jpg").isNull());

    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString((dir / "pic.png").string())));
    const QImage first = cache.load("pic.png");
    EXPECT_EQ(first.size(), QSize(8, 6));
    EXPECT_EQ(cache.load("pic.png").cacheKey(), first.cacheKey()) << "served from the cache";

    QImage blue(9, 6, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(blue.save(QString::fromStdString((dir / "pic.png").string())));
    EXPECT_EQ(cache.load("pic.png").size(), QSize(9, 6)) << "a changed file is decoded again";
    fs::remove(dir / "pic.png");
    EXPECT_TRUE(cache.load("pic.png").isNull());
}

}  // namespace
}  // namespace kx700
