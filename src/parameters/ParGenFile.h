#pragma once
// ParGen.xml, the general parameters of a project, as raw keys.
//
// Every reader of the file looks a key up the same way: the first element of that name among
// the children of the root element, and its text. Each reader applies its own default
// when a key is missing or its text cannot be converted, so this class gives the text and a few
// conversions with a caller's default, nothing more.
//
// The root is the first element at document level, whatever its name (the writer names it
// `Par_Gen`); an XML declaration, comments or processing instructions before it are skipped,
// so a file saved by hand with a declaration keeps its values. A document without an element
// reads as one in which every key is missing.
//
// The typed model of the general parameters (one value per key, defaults, writing the whole
// file) is in parameters/ParGen.h.
#include "platform/xml/XmlDom.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace parameters {

class ParGenFile {
public:
    enum class Status {
        NoFile,  // no file at the path (or an empty path): every key is missing
        Loaded,  // read; keys are looked up under the root element
        Damaged, // the file exists but cannot be read or is not well-formed XML
    };

    ParGenFile() = default;
    ParGenFile(const ParGenFile&) = delete;
    ParGenFile& operator=(const ParGenFile&) = delete;

    // Replaces the contents with the file at `path`. On Damaged `error` (optional) gets the
    // reason and the document is empty, so every key reads as missing.
    Status load(const QString& path, QString* error = nullptr);
    Status loadBytes(const QByteArray& bytes, QString* error = nullptr);
    Status status() const { return status_; }

    // True when the document has a root element.
    bool hasRoot() const;

    // Text of the first element of this name under the root; no value when it is missing.
    // The text is unchanged (not trimmed); an empty element gives an empty text.
    std::optional<QString> keyText(const QString& name) const;
    QString keyTextOr(const QString& name, const QString& def) const;
    // The text read by the whole-integer rule (platform::toInt); `def` when missing or invalid.
    int32_t keyInt(const QString& name, int32_t def) const;
    // A flag is set only when its text is exactly "1".
    bool keyFlag(const QString& name) const;

    // Rewrites one key in place, keeping every other node (the version comment included);
    // a missing key is appended at the end of the root. False when the document has no root.
    bool setKeyText(const QString& name, const QString& text);
    // Writes the whole document (no declaration, no indentation) through a temp file + rename.
    bool save(const QString& path, QString* error = nullptr) const;

    const platform::XmlDocument& document() const { return doc_; }

private:
    platform::XmlNode root() const;

    platform::XmlDocument doc_;
    Status status_ = Status::NoFile;
};

} // namespace parameters
