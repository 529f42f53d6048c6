#include "platform/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

QString titleOr(const QString &title) {
    return title.isEmpty() ? QString::fromLatin1(applicationTitle) : title;
}

// Messages carry file names, port names and the vendor's texts: a "<" in them is shown as written,
// never read as markup.
void showPlain(QMessageBox &box) {
    box.setTextFormat(Qt::PlainText);
}

} // namespace

void showMessage(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Ok, parent);
    showPlain(box);
    box.exec();
}

Answer askYesNoCancel(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent);
    showPlain(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Answer askSaveDiscardCancel(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    showPlain(box);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    default:
        return Answer::Cancel;
    }
}

Answer askYesNo(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setEscapeButton(QMessageBox::No);
    showPlain(box);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QStringList nameFilters(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        // The dialog matches the patterns in the last parentheses and, hiding them, shows the description.
        filters.append(description + u" ("_s + patterns + u")"_s);
    }
    return filters;
}

namespace {

QString runDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter, int filterIndex,
                  QString &folder, const QString &defaultSuffix, const QString &proposedName) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Saving replaces a file of the chosen name without a question: an export is written again
    // under the same name after each change while a board is being tried out.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = nameFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters.at(filterIndex - 1));
    }
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    if (!defaultSuffix.isEmpty()) {
        // Only while the matching filter is chosen: "All Files" keeps the name as typed.
        const QString wanted = u"*."_s + defaultSuffix;
        auto follow = [&dialog, wanted, defaultSuffix](const QString &chosen) {
            dialog.setDefaultSuffix(chosen.contains(wanted, Qt::CaseInsensitive) ? defaultSuffix : QString());
        };
        follow(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

} // namespace

QString FileDialogs::openFile(QWidget *parent, const QString &filter, int filterIndex) {
    return runDialog(parent, QFileDialog::AcceptOpen, filter, filterIndex, m_folder, {}, {});
}

QString FileDialogs::saveFile(QWidget *parent, const QString &filter, int filterIndex, const QString &defaultSuffix,
                              const QString &proposedName) {
    return runDialog(parent, QFileDialog::AcceptSave, filter, filterIndex, m_folder, defaultSuffix, proposedName);
}

} // namespace tavrin::platform
