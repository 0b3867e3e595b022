#pragma once
// Doubles for the message boxes and file dialogs: they record what the program asked and
// answer from a queue, so a test plays the user. Each installs itself for its lifetime.
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "platform/ui/Dialogs.h"

namespace testing_support {

struct ShownBox {
    platform::MsgKind kind;
    QString text;
    QString caption;
};

class FakeMessageBoxes final : public platform::MessageBoxes {
public:
    FakeMessageBoxes();
    ~FakeMessageBoxes() override;
    FakeMessageBoxes(const FakeMessageBoxes&) = delete;
    FakeMessageBoxes& operator=(const FakeMessageBoxes&) = delete;

    platform::MsgAnswer show(platform::MsgKind kind, const QString& text, const QString& caption) override;

    // Answers for the next boxes, in order. Without a queued answer: Ok for error and
    // information boxes, the answer that changes nothing for questions (Cancel where the box
    // has one, else No).
    void answer(platform::MsgAnswer a) { answers_.push_back(a); }

    const std::vector<ShownBox>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    std::vector<ShownBox> shown_;
    std::deque<platform::MsgAnswer> answers_;
    platform::MessageBoxes* previous_;
};

class FakeFileDialogs final : public platform::FileDialogs {
public:
    FakeFileDialogs();
    ~FakeFileDialogs() override;
    FakeFileDialogs(const FakeFileDialogs&) = delete;
    FakeFileDialogs& operator=(const FakeFileDialogs&) = delete;

    QString openFile(const platform::FileDialogRequest& r) override;
    QString saveFile(const platform::FileDialogRequest& r) override;

    // The paths the next dialogs return, in order; an empty path (or none queued) cancels.
    void choose(const QString& path) { answers_.push_back(path); }
    const std::vector<platform::FileDialogRequest>& requests() const { return requests_; }

private:
    QString next();
    std::vector<platform::FileDialogRequest> requests_;
    std::deque<QString> answers_;
    platform::FileDialogs* previous_;
};

} // namespace testing_support
