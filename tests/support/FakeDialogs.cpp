#include "support/FakeDialogs.h"

namespace testing_support {

FakeMessageBoxes::FakeMessageBoxes() : previous_(&platform::messageBoxes())
{
    platform::setMessageBoxes(this);
}

FakeMessageBoxes::~FakeMessageBoxes() { platform::setMessageBoxes(previous_); }

platform::MsgAnswer FakeMessageBoxes::show(platform::MsgKind kind, const QString& text, const QString& caption)
{
    shown_.push_back({kind, text, caption});
    if (!answers_.empty()) {
        const platform::MsgAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    switch (kind) {
    case platform::MsgKind::Error:
    case platform::MsgKind::Information: return platform::MsgAnswer::Ok;
    case platform::MsgKind::ConfirmCancel: return platform::MsgAnswer::Cancel;
    default: return platform::MsgAnswer::No;
    }
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList l;
    for (const ShownBox& b : shown_)
        l << b.text;
    return l;
}

FakeFileDialogs::FakeFileDialogs() : previous_(&platform::fileDialogs()) { platform::setFileDialogs(this); }

FakeFileDialogs::~FakeFileDialogs() { platform::setFileDialogs(previous_); }

QString FakeFileDialogs::openFile(const platform::FileDialogRequest& r)
{
    requests_.push_back(r);
    return next();
}

QString FakeFileDialogs::saveFile(const platform::FileDialogRequest& r)
{
    requests_.push_back(r);
    return next();
}

QString FakeFileDialogs::next()
{
    if (answers_.empty())
        return {};
    QString a = answers_.front();
    answers_.pop_front();
    return a;
}

} // namespace testing_support
