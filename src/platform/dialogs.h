#pragma once

#include <QString>

class QWidget;

// Modal boxes and file dialogs of the window. Message boxes have no icon; a box given no title
// shows the application's title.
namespace tavrin::platform {

inline constexpr auto applicationTitle = "Tavrin";

enum class Answer { Ok, Yes, No, Cancel, Save, Discard };

void showMessage(QWidget *parent, const QString &text, const QString &title = {});
Answer askYesNoCancel(QWidget *parent, const QString &text, const QString &title);
// Save, Discard or Cancel, with Save the default; closing the box answers Cancel.
Answer askSaveDiscardCancel(QWidget *parent, const QString &text, const QString &title = {});
// Yes or No; closing the box answers No.
Answer askYesNo(QWidget *parent, const QString &text, const QString &title = {});

// Turns "description|pattern|description|pattern…" into the dialog's name filters. The dialog
// shows each description as it stands and matches its pattern ("All Files(*.*)|*" matches every
// name, dot or none).
QStringList nameFilters(const QString &filter);

// Open and save dialogs sharing one remembered folder. filterIndex counts from 1. An empty text
// means the user cancelled.
class FileDialogs {
public:
    QString openFile(QWidget *parent, const QString &filter, int filterIndex);
    // The chosen name, with defaultSuffix added when the user typed none while the filter
    // whose pattern is "*.<defaultSuffix>" was selected.
    // proposedName is offered in the folder last used.
    QString saveFile(QWidget *parent, const QString &filter, int filterIndex, const QString &defaultSuffix = {},
                     const QString &proposedName = {});

private:
    QString m_folder;
};

} // namespace tavrin::platform
