#include "platform/core/Errors.h"
#include "platform/core/Persistent.h"
#include "platform/core/StringList.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A settings class in the usual shape: copies from its own class, ignores nothing else.
class TSample : public TPersistent {
public:
    int value = 0;
    void Assign(const TPersistent* source) override
    {
        if (const auto* s = dynamic_cast<const TSample*>(source)) {
            value = s->value;
            return;
        }
        TPersistent::Assign(source);
    }
};

// One that copies itself into TSample through AssignTo.
class TExporter : public TPersistent {
public:
    int payload = 5;

protected:
    void AssignTo(TPersistent* dest) const override
    {
        if (auto* s = dynamic_cast<TSample*>(dest)) {
            s->value = payload * 10;
            return;
        }
        TPersistent::AssignTo(dest);
    }
};

class TOther : public TPersistent {};

} // namespace

TEST(Persistent, AssignCopiesKnownPairsAndRaisesForOthers)
{
    TSample a, b;
    b.value = 7;
    a.Assign(&b);
    EXPECT_EQ(a.value, 7);

    TExporter e;
    a.Assign(&e); // the source knows how to copy itself
    EXPECT_EQ(a.value, 50);

    TOther o;
    try {
        a.Assign(&o);
        FAIL() << "no error";
    } catch (const EConvertError& err) {
        EXPECT_EQ(err.message(), QStringLiteral("Cannot assign a TOther to a TSample"));
    }
    try {
        a.Assign(nullptr);
        FAIL() << "no error";
    } catch (const EConvertError& err) {
        EXPECT_EQ(err.message(), QStringLiteral("Cannot assign a nil to a TSample"));
    }
    TStringList list;
    EXPECT_THROW(list.Assign(&a), EConvertError);
    EXPECT_EQ(list.ClassName(), QStringLiteral("TStringList"));
    EXPECT_EQ(a.value, 50); // unchanged by the failed assignments
}

TEST(Persistent, CheckedCastAndErrorFamily)
{
    TSample s;
    TObject* obj = &s;
    EXPECT_EQ(As<TSample>(obj), &s);
    EXPECT_EQ(As<TPersistent>(obj), &s);
    EXPECT_EQ(As<TSample>(static_cast<TObject*>(nullptr)), nullptr);
    try {
        As<TStringList>(obj);
        FAIL() << "no error";
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid class typecast"));
    }
    EXPECT_TRUE(obj->InheritsFrom<TPersistent>());
    EXPECT_FALSE(obj->InheritsFrom<TStringList>());

    // Every error of the core reaches the window boundary as a user error with its message.
    auto message = [](auto&& raise) -> QString {
        try {
            raise();
        } catch (const UserError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(message([] { throw EExtGridError(QStringLiteral("Invalid row accessed")); }), QStringLiteral("Invalid row accessed"));
    EXPECT_EQ(message([] { throw EListError(QStringLiteral("x")); }), QStringLiteral("x"));
    EXPECT_EQ(message([] { throw Exception(QStringLiteral("Invalid cell")); }), QStringLiteral("Invalid cell"));
    EXPECT_THROW(throw EConvertError(QString()), Exception);
    EXPECT_THROW(throw EInvalidCast(QString()), Exception);
}
