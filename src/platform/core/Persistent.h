#pragma once
// The root classes of the settings objects, lists and graphics: a polymorphic object and the
// persistent base with the Assign pattern.
//
// Assign pattern: a.Assign(b) copies b's values into a. A class that knows how to copy from b
// overrides Assign and handles the sources it accepts (usually only its own class) before
// handing the rest to the inherited Assign; a class that knows how to copy itself into another
// overrides AssignTo. When neither side knows the pair, the default raises EConvertError
// "Cannot assign a <source class> to a <destination class>" ("nil" for no source). Classes whose
// Assign silently ignores foreign sources simply do not call the inherited Assign.
#include <QString>
#include <functional>

namespace platform {

class TObject {
public:
    virtual ~TObject() = default;
    // The class name without namespaces ("TStringList").
    QString ClassName() const;
    // True when the object is of class T or derives from it.
    template <typename T>
    bool InheritsFrom() const
    {
        return dynamic_cast<const T*>(this) != nullptr;
    }
};

// An event without arguments but its sender.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
public:
    virtual void Assign(const TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest) const;
    // Raises the EConvertError of an assignment from `source` to this object.
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

// The checked cast ("obj as T"): nullptr stays nullptr, an object of another class raises
// EInvalidCast "Invalid class typecast".
template <typename T>
T* As(TObject* obj);
template <typename T>
const T* As(const TObject* obj);

[[noreturn]] void RaiseInvalidCast();

template <typename T>
T* As(TObject* obj)
{
    if (!obj)
        return nullptr;
    if (auto* t = dynamic_cast<T*>(obj))
        return t;
    RaiseInvalidCast();
}

template <typename T>
const T* As(const TObject* obj)
{
    if (!obj)
        return nullptr;
    if (auto* t = dynamic_cast<const T*>(obj))
        return t;
    RaiseInvalidCast();
}

} // namespace platform
