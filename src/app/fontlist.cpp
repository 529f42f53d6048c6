#include "app/fontlist.h"

#include <QApplication>

namespace tavrin::app {

FontList::FontList(QWidget *parent)
    : QListWidget(parent) {}

void FontList::setFamilies(const QList<platform::FontFamily> &families) {
    clear();
    for (const platform::FontFamily &family : families) {
        auto *item = new QListWidgetItem(family.shownName, this);
        item->setData(Qt::UserRole, family.name);
        if (family.drawsItsName) {
            QFont face(family.name);
            face.setPointSizeF(font().pointSizeF());
            item->setFont(face);
        }
    }
}

QString FontList::chosenFamily() const {
    const QListWidgetItem *item = currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void FontList::keyboardSearch(const QString &search) {
    if (search.isEmpty()) {
        return;
    }
    // Keys typed in quick succession make one name, as in any list.
    if (!m_sinceTyped.isValid() || m_sinceTyped.elapsed() > QApplication::keyboardInputInterval()) {
        m_typed.clear();
    }
    m_sinceTyped.start();
    m_typed += search;

    auto matches = [this](auto &&test) -> QListWidgetItem * {
        for (int row = 0; row < count(); ++row) {
            QListWidgetItem *candidate = item(row);
            if (test(candidate->text()) || test(candidate->data(Qt::UserRole).toString())) {
                return candidate;
            }
        }
        return nullptr;
    };
    QListWidgetItem *found =
        matches([this](const QString &name) { return name.startsWith(m_typed, Qt::CaseInsensitive); });
    if (!found) {
        found = matches([this](const QString &name) { return name.contains(m_typed, Qt::CaseInsensitive); });
    }
    if (found) {
        setCurrentItem(found);
        scrollToItem(found);
    }
}

} // namespace tavrin::app
