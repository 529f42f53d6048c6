#include "app/form1.h"
#include "platform/desktop.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::platform::installFontSubstitutes();
    tavrin::app::Form1 form;
    form.show();
    return QApplication::exec();
}
