// skin-gen: renders the default skin's pictures and writes its layout files
// from the layout source, so that pictures and rectangles always agree.
//
//   skin-gen --source data/skin/layout.txt --out <skins folder> [--preview <folder>]
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "pages.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString source, out, preview;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--source" && i + 1 < args.size()) source = args[++i];
        else if (args[i] == "--out" && i + 1 < args.size()) out = args[++i];
        else if (args[i] == "--preview" && i + 1 < args.size()) preview = args[++i];
        else {
            std::fprintf(stderr, "usage: skin-gen --source FILE --out SKINS [--preview FOLDER]\n");
            return 2;
        }
    }
    if (source.isEmpty() || out.isEmpty()) {
        std::fprintf(stderr, "usage: skin-gen --source FILE --out SKINS [--preview FOLDER]\n");
        return 2;
    }
    QString error;
    const auto skin = skingen::ParseSource(source, &error);
    if (!skin || !skingen::WriteSkin(*skin, out, &error) ||
        (!preview.isEmpty() && !skingen::WritePreview(*skin, out, preview, &error))) {
        std::fprintf(stderr, "skin-gen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
