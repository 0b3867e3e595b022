#pragma once
// Message boxes and file dialogs go through these services, so that tests answer a question
// without a person. The program installs the Qt implementations; tests install doubles
// (tests/support/FakeDialogs.h).
#include <QString>

namespace platform {

// The questions that guard data (Confirm, ConfirmCancel, Warning) open with the answer that
// changes nothing as the default button: the program asks them before it discards, deletes,
// replaces or overwrites something, so Enter keeps the data. With three answers both Yes and No
// may act (append or replace), so Cancel is that answer there. A question whose Yes loses
// nothing (Question) opens with Yes.
enum class MsgKind {
    Error,         // OK
    Confirm,       // Yes, No (No the default)
    ConfirmCancel, // Yes, No, Cancel (Cancel the default)
    Warning,       // Yes, No (No the default)
    Information,   // OK
    Question,      // Yes, No (Yes the default)
};

enum class MsgAnswer { Ok, Yes, No, Cancel };

// The answer of a box's default button, the one Enter gives.
MsgAnswer defaultAnswer(MsgKind kind);

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer show(MsgKind kind, const QString& text, const QString& caption = {}) = 0;
};

struct FileDialogRequest {
    QString caption;
    QString initialFolder;
    QString fileName; // proposed name (save) or initial selection (open)
    QString filter;   // "CSV files (*.csv)" style; several separated by ";;"
    QString defaultExtension; // without the dot; added when the user types none (save)
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or empty when the user cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
};

// The installed services; never null. Passing nullptr restores the default.
MessageBoxes& messageBoxes();
void setMessageBoxes(MessageBoxes* boxes);
FileDialogs& fileDialogs();
void setFileDialogs(FileDialogs* dialogs);

// The text a message box shows for `text`: a message may quote what a user's file holds, a
// megabyte on one line, which the box would lay out for many seconds into a window taller than
// any screen. Lines longer than maxLine characters end in "..." after their start.
QString boundedMessageText(const QString& text, qsizetype maxLine = 500);

// Shorthands.
inline void showError(const QString& text) { messageBoxes().show(MsgKind::Error, text); }
inline bool askYesNo(const QString& text) { return messageBoxes().show(MsgKind::Confirm, text) == MsgAnswer::Yes; }

} // namespace platform
