#pragma once
// A streaming reader for the project's table files.
//
// Why it exists: a table file holds thousands of rows of attributes and is read exactly once,
// front to back, to fill an image. Building a DOM for it and pulling every value back out of
// the tree costs more than the build itself; this reader walks the file's bytes in one pass and
// hands over each element as it comes (its depth, its name, its attributes), with nothing kept
// behind it but the stack of open element names.
//
// What it accepts is exactly what XmlDocument::load accepts, and the values it gives are the
// ones the DOM gives; the two readers are compared byte for byte by a differential test. That
// means the DOM's leniencies are kept on purpose, so that a file that loaded before still loads
// with the same values:
// - several elements at document level, and text beside them, are accepted (the first element
//   is the document's root); a document with no element at all is refused;
// - an attribute value may hold '<', a '&' that starts no reference and an unknown entity; they
//   stay as written. The five predefined entities and numeric character references are decoded;
//   a reference to character 0 ends the value there. Tab, CR and LF in a value become spaces
//   (CR LF as one space); characters written as references are not touched;
// - a repeated attribute name is kept twice, in document order;
// - declarations, processing instructions, comments and CDATA are checked for their end and
//   skipped; a DOCTYPE at document level is skipped, never loaded;
// - a zero byte ends the document, as the DOM's parser does.
// Refused: unbalanced or mismatched tags, a malformed start tag or attribute (missing '=' or
// quotes, an unterminated value), an unterminated comment, CDATA, processing instruction or
// DOCTYPE, markup that is no known kind of tag, a stray '<' at the end.
//
// Encodings: a UTF-8 byte-order mark is skipped; UTF-16 and UTF-32 files (by their mark, or by
// a leading '<' in that form) are converted to UTF-8 first, and so are the 8-bit files of
// platform/xml/XmlEncoding.h (ISO-8859-1 or Windows-1252 by their declaration, Windows-1252 for
// an undeclared file that is not UTF-8), as the DOM reads them; anything else is read as UTF-8
// as it stands.
//
// Values are decoded in place in the reader's own copy of the file, so every name and value view
// stays valid as long as the reader lives.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

struct XmlRowAttribute {
    std::string_view name;
    std::string_view value;
};

class XmlRowReader {
public:
    enum class Event { StartElement, EndElement, Done, Error };

    // Takes the whole file's bytes.
    explicit XmlRowReader(QByteArray bytes);
    XmlRowReader(const XmlRowReader&) = delete;
    XmlRowReader& operator=(const XmlRowReader&) = delete;

    // The next element start or end. An empty element gives a start and then an end. After
    // Done or Error every call gives the same again.
    Event next();

    // Of the element just started or ended: the number of elements open around it (0 for an
    // element at document level), its name and (for a start) its attributes in document order.
    int depth() const { return depth_; }
    std::string_view name() const { return name_; }
    const std::vector<XmlRowAttribute>& attributes() const { return attrs_; }

    // Why the document was refused, with the byte offset: "Start-end tags mismatch at offset 40".
    const QString& error() const { return error_; }

private:
    struct Open {
        std::string_view name;
        bool declaration; // a declaration closed by '>' opens a scope the DOM keeps as a node
    };
    enum Status : int;
    enum class TagEnd { Open, Closed, Failed };

    static const char* describe(int status);
    Event fail(Status status, const char* at);
    TagEnd attributesOf(char*& s);
    bool question(char*& s, Event& event);
    bool exclamation(char*& s);
    bool doctypeGroup(char*& s);
    Event finish();

    QByteArray buf_;
    char* begin_ = nullptr;
    char* s_ = nullptr;
    bool empty_ = false;
    bool pendingEnd_ = false;
    bool done_ = false;
    Event last_ = Event::Done;
    bool sawRoot_ = false;
    int depth_ = 0;
    std::string_view name_;
    std::vector<XmlRowAttribute> attrs_;
    std::vector<Open> open_;
    QString error_;
};

} // namespace platform
