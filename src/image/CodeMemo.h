#pragma once
// The code tables of the workspace (KNX priorities, APCI, conversions, SNMPv3 choices) take a
// QString; a table repeats the same few words row after row ("Write", "Normal", "AUTH PRIV"),
// so a reader keeps the last text of a column with its code and converts only a new text.
#include <QString>
#include <string>
#include <string_view>

namespace image {

class CodeMemo {
public:
    explicit CodeMemo(int (*code)(const QString&)) : code_(code) {}
    // The code of a row's UTF-8 text.
    int operator()(std::string_view text)
    {
        if (!valid_ || text != last_) {
            last_.assign(text.data(), text.size());
            value_ = code_(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            valid_ = true;
        }
        return value_;
    }

private:
    int (*code_)(const QString&);
    std::string last_;
    int value_ = 0;
    bool valid_ = false;
};

} // namespace image
