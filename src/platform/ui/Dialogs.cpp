#include "platform/ui/Dialogs.h"

#include "platform/ui/Form.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>

namespace platform {

namespace {

// Gives the window under a box its activation and keyboard focus back when the box closes:
// the window manager may activate another window (or none), and the button that opened the box
// holds the focus, so typing would go nowhere. The focus goes back to the control the user was
// typing in (Form::inputFocus), else to the control that had it when the box opened.
class FocusReturn {
public:
    FocusReturn() : window_(QApplication::activeWindow()), focus_(QApplication::focusWidget()) {}
    ~FocusReturn()
    {
        QWidget* w = window_.data();
        if (!w || !w->isVisible())
            return;
        w->activateWindow();
        QWidget* target = nullptr;
        if (auto* form = qobject_cast<Form*>(w))
            target = form->inputFocus();
        if (!target && focus_ && focus_->window() == w)
            target = focus_.data();
        if (target)
            target->setFocus(Qt::ActiveWindowFocusReason);
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;
    QWidget* window() const { return window_.data(); }

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

QString defaultCaption(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Error: return QStringLiteral("Error");
    case MsgKind::Confirm:
    case MsgKind::ConfirmCancel:
    case MsgKind::Question: return QStringLiteral("Confirm");
    case MsgKind::Warning: return QStringLiteral("Warning");
    case MsgKind::Information: return QStringLiteral("Information");
    }
    return {};
}

} // namespace

MsgAnswer defaultAnswer(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Error:
    case MsgKind::Information: return MsgAnswer::Ok;
    case MsgKind::Question: return MsgAnswer::Yes;
    case MsgKind::ConfirmCancel: return MsgAnswer::Cancel;
    case MsgKind::Confirm:
    case MsgKind::Warning: break;
    }
    return MsgAnswer::No;
}

QString boundedMessageText(const QString& text, qsizetype maxLine)
{
    if (text.size() <= maxLine)
        return text;
    QString out;
    out.reserve(std::min(text.size(), qsizetype(64 * 1024)));
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype length = (end < 0 ? text.size() : end) - start;
        if (length <= maxLine) {
            out += QStringView(text).mid(start, length);
        } else {
            qsizetype keep = std::max<qsizetype>(0, maxLine - 3);
            if (keep > 0 && text[start + keep - 1].isHighSurrogate())
                --keep;
            out += QStringView(text).mid(start, keep);
            out += QLatin1String("...");
        }
        if (end < 0)
            return out;
        out += QLatin1Char('\n');
        start = end + 1;
    }
}

namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    MsgAnswer show(MsgKind kind, const QString& text, const QString& caption) override
    {
        const FocusReturn focusReturn;
        QMessageBox box(focusReturn.window());
        keepRestored(&box);
        box.setWindowTitle(caption.isEmpty() ? defaultCaption(kind) : caption);
        box.setText(boundedMessageText(text));
        switch (kind) {
        case MsgKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgKind::Information:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgKind::Confirm:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgKind::ConfirmCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MsgKind::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgKind::Question:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        }
        // A reflex Enter must keep the data (see MsgKind).
        switch (defaultAnswer(kind)) {
        case MsgAnswer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
        case MsgAnswer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
        case MsgAnswer::No: box.setDefaultButton(QMessageBox::No); break;
        case MsgAnswer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
        }
        return toAnswer(kind, box.exec());
    }

    // The answer of a closed box. A box closed without a button (Escape, the window's close
    // button) gives the most careful answer of its kind.
    static MsgAnswer toAnswer(MsgKind kind, int button)
    {
        switch (button) {
        case QMessageBox::Ok: return MsgAnswer::Ok;
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: break;
        }
        switch (kind) {
        case MsgKind::Error:
        case MsgKind::Information: return MsgAnswer::Ok;
        case MsgKind::ConfirmCancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::No;
        }
    }
};

class QtFileDialogs final : public FileDialogs {
public:
    QString openFile(const FileDialogRequest& r) override { return run(r, QFileDialog::AcceptOpen); }
    QString saveFile(const FileDialogRequest& r) override { return run(r, QFileDialog::AcceptSave); }

private:
    static QString run(const FileDialogRequest& r, QFileDialog::AcceptMode mode)
    {
        const FocusReturn focusReturn;
        QFileDialog d(focusReturn.window(), r.caption, r.initialFolder, r.filter);
        d.setAcceptMode(mode);
        d.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        // Callers that must not overwrite a file ask their own question.
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!r.defaultExtension.isEmpty())
            d.setDefaultSuffix(r.defaultExtension);
        if (!r.fileName.isEmpty())
            d.selectFile(r.fileName);
        if (d.exec() != QDialog::Accepted)
            return {};
        const QStringList files = d.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }
};

QtMessageBoxes& qtBoxes()
{
    static QtMessageBoxes b;
    return b;
}
QtFileDialogs& qtFileDialogs()
{
    static QtFileDialogs d;
    return d;
}

MessageBoxes* g_boxes = nullptr;
FileDialogs* g_fileDialogs = nullptr;
} // namespace

MessageBoxes& messageBoxes() { return g_boxes ? *g_boxes : qtBoxes(); }
void setMessageBoxes(MessageBoxes* boxes) { g_boxes = boxes; }
FileDialogs& fileDialogs() { return g_fileDialogs ? *g_fileDialogs : qtFileDialogs(); }
void setFileDialogs(FileDialogs* dialogs) { g_fileDialogs = dialogs; }

} // namespace platform
