#include "skin/images.h"

#include <QImageReader>
#include <QString>
#include <system_error>
#include <vector>

namespace kx700 {
namespace fs = std::filesystem;

namespace {

QImage Decode(const fs::path& file) {
    QImageReader reader(QString::fromStdString(file.string()));
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage SkinImageCache::load(std::string_view name) {
    const fs::path file = folder_ / fs::path(std::string(name));
    std::error_code ec;
    const auto time = fs::last_write_time(file, ec);
    const auto size = ec ? 0 : fs::file_size(file, ec);
    if (ec) {
        entries_.erase(std::string(name));
        return QImage();
    }
    auto it = entries_.find(name);
    if (it != entries_.end() && it->second.time == time && it->second.size == size) return it->second.image;
    QImage image = Decode(file);
    entries_[std::string(name)] = Entry{time, size, image};
    return image;
}

QImage LoadSkinImage(const fs::path& skinsFolder, std::string_view name) {
    std::error_code ec;
    const fs::path file = skinsFolder / fs::path(std::string(name));
    if (!fs::is_regular_file(file, ec)) return QImage();
    return Decode(file);
}

QRegion MaskToRegion(const QImage& maskIn) {
    if (maskIn.isNull()) return QRegion();
    const QImage mask = maskIn.format() == QImage::Format_RGB32 || maskIn.format() == QImage::Format_ARGB32
                            ? maskIn
                            : maskIn.convertToFormat(QImage::Format_RGB32);
    const int w = mask.width();
    const int h = mask.height();

    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> previous;  // runs [start, end) of the band being grown
    std::vector<std::pair<int, int>> runs;
    int bandTop = 0;

    auto flush = [&](int bandBottom) {
        for (const auto& [x0, x1] : previous) rects.emplace_back(x0, bandTop, x1 - x0, bandBottom - bandTop);
    };
    for (int y = 0; y < h; ++y) {
        runs.clear();
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && IsMaskHole(line[x])) ++x;
            const int start = x;
            while (x < w && !IsMaskHole(line[x])) ++x;
            if (x > start) runs.emplace_back(start, x);
        }
        if (y == 0 || runs != previous) {
            if (y > 0) flush(y);
            previous = runs;
            bandTop = y;
        }
    }
    flush(h);
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

}  // namespace kx700
