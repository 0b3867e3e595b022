#pragma once
// Support classes of the tree: two append-only text builders over one growing buffer (UTF-16
// characters and 8-bit characters), a critical section, and the tree's exceptions.
#include "platform/core/Errors.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <mutex>

namespace controls {

// The tree's run-time error (stream format, moving between trees).
class ELazyTreeError : public platform::Exception {
public:
    ELazyTreeError(const QString& message, int helpContext = 0)
        : Exception(message), m_helpContext(helpContext) {}
    int HelpContext() const { return m_helpContext; }

private:
    int m_helpContext;
};

// A broken contract of the tree ("Node must not be nil."). The message is the fixed English
// text; Source() names the unit that checked it.
class ELazyTreeAssertion : public platform::Exception {
public:
    ELazyTreeAssertion(const QString& message, const QString& source)
        : Exception(message), m_source(source) {}
    const QString& Source() const { return m_source; }

private:
    QString m_source;
};

// Throws ELazyTreeAssertion with `message` unless `condition` holds.
void LtAssert(bool condition, const char* message, const char* source = "LazyTrees");
void LtAssert(bool condition, const QString& message, const char* source = "LazyTrees");

// Append-only UTF-16 text. The buffer grows by the added length rounded up to whole 4096
// characters whenever the free room is not larger than what is added.
class TBufferedString {
public:
    void Add(const QString& s);
    void AddNewLine();
    QString AsString() const;
    // Characters allocated so far.
    qsizetype Capacity() const { return FEnd - FStart; }

private:
    void Grow(qsizetype by);

    std::unique_ptr<char16_t[]> FBuffer;
    qsizetype FStart = 0;
    qsizetype FPosition = 0;
    qsizetype FEnd = 0;
};

// The same in 8-bit characters.
class TBufferedRawByteString {
public:
    void Add(const QByteArray& s);
    void AddNewLine();
    QByteArray AsString() const;
    qsizetype Capacity() const { return FEnd - FStart; }

private:
    void Grow(qsizetype by);

    std::unique_ptr<char[]> FBuffer;
    qsizetype FStart = 0;
    qsizetype FPosition = 0;
    qsizetype FEnd = 0;
};

class TCriticalSection {
public:
    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

} // namespace controls
