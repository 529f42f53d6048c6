#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tavrin::app {

// The built-in guide: composing, port and LED count, write, erase, HEX export, the wiring.
QString guideHtml();
void showGuide(QWidget *parent);

// Version, Tavrin's licence and Qt's, and the vendor's contact fields, which are shown as the vendor wrote them.
QString aboutHtml(const QStringList &contact);
void showAbout(QWidget *parent, const QStringList &contact);

} // namespace tavrin::app
