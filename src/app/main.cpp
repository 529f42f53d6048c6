#include "app/form1.h"
#include "app/mainwindow.h"
#include "app/projectdocument.h"
#include "base/licence.h"
#include "platform/desktop.h"
#include "platform/translations.h"

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QIcon>

using namespace Qt::StringLiterals;

namespace {

const char usage[] = "usage: tavrin [PICTURE | PROJECT.tavrin]\n"
                     "  PICTURE     a BMP, JPG, GIF or PNG file to start with in picture mode\n"
                     "  PROJECT     a Tavrin project to open\n"
                     "  --version   print the version and the licence and exit\n"
                     "  --help      print this help and exit\n"
                     "Qt's own options (-platform, -display, -style ...) are accepted too.\n";

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(u":/icons/%1/%2.png"_s.arg(size).arg(QLatin1StringView(TAVRIN_APP_ID)));
    }
    return icon;
}

} // namespace

int main(int argc, char *argv[]) {
    // Answered before the window system is reached, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tavrin %s\n%s", TAVRIN_VERSION, tavrin::base::licenceNotice);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    tavrin::platform::prepareFontDrawing();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tavrin"_s);
    QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVRIN_APP_ID));
    QApplication::setWindowIcon(applicationIcon());

    // Qt has taken its own options out; what is left is at most one picture or project.
    const QStringList arguments = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (i > 0 || arguments.at(i).startsWith(u'-')) {
            std::fprintf(stderr, "tavrin: unexpected argument \"%s\"\n%s", qPrintable(arguments.at(i)), usage);
            return 2;
        }
    }

    tavrin::platform::installFontSubstitutes();
    tavrin::platform::Translations translations;
    translations.install(tavrin::platform::languageFor(tavrin::platform::storedLanguageChoice()));
    tavrin::app::MainWindow window;
    window.show();
    if (!arguments.isEmpty()) {
        const QString &file = arguments.constFirst();
        if (file.endsWith(u".tavrin"_s, Qt::CaseInsensitive)) {
            window.project()->openFile(file);
        } else {
            window.form()->openPictureFile(file);
        }
    }
    return QApplication::exec();
}
