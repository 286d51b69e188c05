#pragma once

// Skin pictures and the window shapes cut from mask pictures.

#include <QImage>
#include <QRegion>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace kx700 {

// Decoded skin pictures, kept while their file is unchanged: the window paints
// its full-size faces on every repaint, and decoding them each time would cost
// more than the paint itself. A missing or undecodable file gives an empty
// picture (0 x 0) and no message.
class SkinImageCache {
public:
    explicit SkinImageCache(std::filesystem::path skinsFolder) : folder_(std::move(skinsFolder)) {}

    // The picture `name` of the skins folder, as 32-bit RGB.
    QImage load(std::string_view name);

    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
        QImage image;
    };
    std::filesystem::path folder_;
    std::map<std::string, Entry, std::less<>> entries_;
};

// One-shot load without a cache.
QImage LoadSkinImage(const std::filesystem::path& skinsFolder, std::string_view name);

// A mask pixel is a hole in the window when its red, green and blue are all
// above 100.
inline bool IsMaskHole(QRgb p) { return qRed(p) > 100 && qGreen(p) > 100 && qBlue(p) > 100; }

// The window region of a mask: its rectangle without the hole pixels, built
// from horizontal runs, rows with equal runs merged into bands.
QRegion MaskToRegion(const QImage& mask);

}  // namespace kx700
