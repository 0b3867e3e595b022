#pragma once
// A small DOM over pugixml with the operations the program's file readers and writers use:
// load a whole file, the document's first node, children by index or by name, element text,
// attributes (an absent attribute can be told from an empty one), create, save whole.
//
// Declarations and comments are kept as nodes, so "the first node" of a document means what
// it says; `rootElement()` gives the first element for readers that want to look past them.
// No DTD or external entity is ever loaded.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace pugi {
class xml_document;
class xml_node;
struct xml_node_struct;
} // namespace pugi

namespace platform {

enum class XmlNodeKind { Null, Element, Text, Comment, Declaration, Other };

// An attribute as the document's own zero-terminated UTF-8 text, without a copy: valid while
// the document is neither changed nor cleared.
struct XmlAttributeView {
    const char* name;
    const char* value;
};

class XmlNode {
public:
    XmlNode() = default;
    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    XmlNodeKind kind() const;
    bool isElement() const { return kind() == XmlNodeKind::Element; }

    QString name() const;
    // Text of an element: its first text or CDATA child; empty when there is none.
    QString text() const;
    void setText(const QString& text);

    // Child nodes of every kind, in document order.
    int childCount() const;
    XmlNode child(int index) const;
    // The first child element with this name, matched exactly (letter case included).
    XmlNode element(const QString& name) const;
    // Text of the first child element with this name; no value when the element is missing.
    std::optional<QString> elementText(const QString& name) const;
    int elementCount() const;          // child elements only
    XmlNode elementAt(int index) const; // child elements only

    std::optional<QString> attribute(const QString& name) const;
    QString attributeOr(const QString& name, const QString& def) const;
    bool hasAttribute(const QString& name) const { return attribute(name).has_value(); }
    void setAttribute(const QString& name, const QString& value);
    int attributeCount() const;
    // The first `max` attributes in document order into `out`; returns how many were stored.
    // For readers of tables with thousands of rows, which convert values without copying them.
    int attributeViews(XmlAttributeView* out, int max) const;
    QString attributeName(int index) const;
    QString attributeValue(int index) const;

    XmlNode appendElement(const QString& name);
    // Appends an element holding only text: <name>text</name>.
    XmlNode appendTextElement(const QString& name, const QString& text);
    void appendComment(const QString& text);
    void removeChild(const XmlNode& child);
    void removeAllChildren();

    XmlNode parent() const;
    XmlNode nextSibling() const;
    bool operator==(const XmlNode& o) const { return node_ == o.node_; }

private:
    friend class XmlDocument;
    explicit XmlNode(pugi::xml_node_struct* n) : node_(n) {}
    pugi::xml_node_struct* node_ = nullptr;
};

struct XmlSaveOptions {
    // Empty: no line breaks and no indentation. Otherwise one line per node, indented with it.
    QString indent;
    // "<?xml ...?>" before the first node.
    bool declaration = false;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the contents with a file. False, with a message, when the file is missing,
    // unreadable or not well-formed; the document is then empty.
    bool load(const QString& path, QString* error = nullptr);
    bool loadBytes(const QByteArray& bytes, QString* error = nullptr);
    // Removes every node.
    void clear();

    XmlNode firstNode() const;   // the document's first child node of any kind
    XmlNode rootElement() const; // the first element child
    int childCount() const;
    XmlNode child(int index) const;

    XmlNode appendElement(const QString& name);
    void appendComment(const QString& text);

    QByteArray toBytes(const XmlSaveOptions& options = {}) const;
    // Writes the whole document through a temporary file and rename.
    bool save(const QString& path, const XmlSaveOptions& options = {}, QString* error = nullptr) const;

private:
    std::unique_ptr<pugi::xml_document> doc_;
};

} // namespace platform
