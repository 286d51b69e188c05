// skin-gen: renders the default skin's pictures and writes its layout files
// from the layout source, so that pictures and rectangles always agree.
//
//   skin-gen --source data/skin/layout.txt --out <skins folder> [--preview <folder>]
//            [--icons <icon theme folder> --icon-name <name>]
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "pages.h"

namespace {
constexpr const char* kUsage =
    "usage: skin-gen --source FILE --out SKINS [--preview FOLDER] [--icons FOLDER --icon-name NAME]\n";
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString source, out, preview, icons, iconName;
    const QStringList args = app.arguments();
    const std::pair<QString, QString*> options[] = {{"--source", &source},
                                                    {"--out", &out},
                                                    {"--preview", &preview},
                                                    {"--icons", &icons},
                                                    {"--icon-name", &iconName}};
    for (int i = 1; i < args.size(); ++i) {
        const auto* option =
            std::find_if(std::begin(options), std::end(options), [&](const auto& o) { return o.first == args[i]; });
        if (option == std::end(options) || i + 1 >= args.size()) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        *option->second = args[++i];
    }
    if (source.isEmpty() || out.isEmpty() || icons.isEmpty() != iconName.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QString error;
    const auto skin = skingen::ParseSource(source, &error);
    if (!skin || !skingen::WriteSkin(*skin, out, &error) ||
        (!preview.isEmpty() && !skingen::WritePreview(*skin, out, preview, &error)) ||
        (!icons.isEmpty() && !skingen::WriteIcons(icons, iconName, &error))) {
        std::fprintf(stderr, "skin-gen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
