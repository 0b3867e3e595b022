#include "platform/xml/XmlDom.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/xml/XmlEncoding.h"

#include <QRegularExpression>
#include <pugixml.hpp>
#include <sstream>

namespace platform {

namespace {

pugi::xml_node wrap(pugi::xml_node_struct* n) { return pugi::xml_node(n); }
std::string u8(const QString& s) { return s.toStdString(); }
// QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and drops it; in a node's text
// it is a character (pugixml has taken the document's mark off already).
QString qs(const char* s)
{
    QString lead;
    while (s[0] == '\xEF' && s[1] == '\xBB' && s[2] == '\xBF') {
        lead += QChar(0xFEFF);
        s += 3;
    }
    return lead + QString::fromUtf8(s);
}

// A value made only of blanks is still a value (a blank device name, a blank cell), so text that is
// an element's only child is kept even when it is all white space.
constexpr unsigned kParseFlags =
    pugi::parse_default | pugi::parse_comments | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

} // namespace

XmlNodeKind XmlNode::kind() const
{
    switch (wrap(node_).type()) {
    case pugi::node_null:
        return XmlNodeKind::Null;
    case pugi::node_element:
        return XmlNodeKind::Element;
    case pugi::node_pcdata:
    case pugi::node_cdata:
        return XmlNodeKind::Text;
    case pugi::node_comment:
        return XmlNodeKind::Comment;
    case pugi::node_declaration:
        return XmlNodeKind::Declaration;
    default:
        return XmlNodeKind::Other;
    }
}

QString XmlNode::name() const { return qs(wrap(node_).name()); }

QString XmlNode::text() const
{
    const pugi::xml_node n = wrap(node_);
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata || n.type() == pugi::node_comment)
        return qs(n.value());
    return qs(n.text().get());
}

void XmlNode::setText(const QString& text)
{
    pugi::xml_node n = wrap(node_);
    if (!n)
        return;
    if (n.type() == pugi::node_comment || n.type() == pugi::node_pcdata) {
        n.set_value(u8(text).c_str());
        return;
    }
    n.text().set(u8(text).c_str());
}

int XmlNode::childCount() const
{
    int c = 0;
    for (pugi::xml_node ch = wrap(node_).first_child(); ch; ch = ch.next_sibling())
        ++c;
    return c;
}

XmlNode XmlNode::child(int index) const
{
    if (index < 0)
        return {};
    pugi::xml_node ch = wrap(node_).first_child();
    for (int i = 0; ch && i < index; ++i)
        ch = ch.next_sibling();
    return XmlNode(ch.internal_object());
}

XmlNode XmlNode::element(const QString& name) const
{
    return XmlNode(wrap(node_).child(u8(name).c_str()).internal_object());
}

std::optional<QString> XmlNode::elementText(const QString& name) const
{
    const XmlNode e = element(name);
    if (!e)
        return std::nullopt;
    return e.text();
}

int XmlNode::elementCount() const
{
    int c = 0;
    for (pugi::xml_node ch = wrap(node_).first_child(); ch; ch = ch.next_sibling())
        if (ch.type() == pugi::node_element)
            ++c;
    return c;
}

XmlNode XmlNode::elementAt(int index) const
{
    if (index < 0)
        return {};
    int i = 0;
    for (pugi::xml_node ch = wrap(node_).first_child(); ch; ch = ch.next_sibling())
        if (ch.type() == pugi::node_element && i++ == index)
            return XmlNode(ch.internal_object());
    return {};
}

std::optional<QString> XmlNode::attribute(const QString& name) const
{
    const pugi::xml_attribute a = wrap(node_).attribute(u8(name).c_str());
    if (!a)
        return std::nullopt;
    return qs(a.value());
}

QString XmlNode::attributeOr(const QString& name, const QString& def) const
{
    auto v = attribute(name);
    return v ? *v : def;
}

void XmlNode::setAttribute(const QString& name, const QString& value)
{
    pugi::xml_node n = wrap(node_);
    if (!n)
        return;
    const std::string key = u8(name);
    pugi::xml_attribute a = n.attribute(key.c_str());
    if (!a)
        a = n.append_attribute(key.c_str());
    a.set_value(u8(value).c_str());
}

int XmlNode::attributeCount() const
{
    int c = 0;
    for (pugi::xml_attribute a = wrap(node_).first_attribute(); a; a = a.next_attribute())
        ++c;
    return c;
}

int XmlNode::attributeViews(XmlAttributeView* out, int max) const
{
    int n = 0;
    for (pugi::xml_attribute a = wrap(node_).first_attribute(); a && n < max; a = a.next_attribute())
        out[n++] = {a.name(), a.value()};
    return n;
}

QString XmlNode::attributeName(int index) const
{
    int i = 0;
    for (pugi::xml_attribute a = wrap(node_).first_attribute(); a; a = a.next_attribute())
        if (i++ == index)
            return qs(a.name());
    return {};
}

QString XmlNode::attributeValue(int index) const
{
    int i = 0;
    for (pugi::xml_attribute a = wrap(node_).first_attribute(); a; a = a.next_attribute())
        if (i++ == index)
            return qs(a.value());
    return {};
}

XmlNode XmlNode::appendElement(const QString& name)
{
    return XmlNode(wrap(node_).append_child(u8(name).c_str()).internal_object());
}

XmlNode XmlNode::appendTextElement(const QString& name, const QString& text)
{
    XmlNode e = appendElement(name);
    if (!text.isEmpty())
        e.setText(text);
    return e;
}

void XmlNode::appendComment(const QString& text)
{
    wrap(node_).append_child(pugi::node_comment).set_value(u8(text).c_str());
}

void XmlNode::removeChild(const XmlNode& child) { wrap(node_).remove_child(wrap(child.node_)); }

void XmlNode::removeAllChildren()
{
    pugi::xml_node n = wrap(node_);
    while (n.first_child())
        n.remove_child(n.first_child());
}

XmlNode XmlNode::parent() const { return XmlNode(wrap(node_).parent().internal_object()); }
XmlNode XmlNode::nextSibling() const { return XmlNode(wrap(node_).next_sibling().internal_object()); }

XmlDocument::XmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;

bool XmlDocument::load(const QString& path, QString* error)
{
    doc_->reset();
    QString readError;
    auto bytes = readWholeFile(path, &readError);
    if (!bytes) {
        if (error)
            *error = readError;
        return false;
    }
    return loadBytes(*bytes, error);
}

bool XmlDocument::loadBytes(const QByteArray& bytes, QString* error)
{
    doc_->reset();
    // 8-bit files are turned into UTF-8 here (platform/xml/XmlEncoding.h); a byte-order mark,
    // UTF-16 and every other declared encoding are left to the parser.
    const xml::EightBit eightBit = xml::eightBitEncoding(bytes);
    const QByteArray utf8 = xml::eightBitToUtf8(bytes, eightBit);
    const pugi::xml_encoding encoding = eightBit == xml::EightBit::None ? pugi::encoding_auto : pugi::encoding_utf8;
    const QByteArray& buffer = utf8;
    const pugi::xml_parse_result r =
        doc_->load_buffer(buffer.constData(), size_t(buffer.size()), kParseFlags, encoding);
    if (!r) {
        doc_->reset();
        if (error)
            *error = QStringLiteral("%1 at offset %2").arg(qs(r.description())).arg(qlonglong(r.offset));
        return false;
    }
    return true;
}

void XmlDocument::clear() { doc_->reset(); }

XmlNode XmlDocument::firstNode() const { return XmlNode(doc_->first_child().internal_object()); }

XmlNode XmlDocument::rootElement() const { return XmlNode(doc_->document_element().internal_object()); }

int XmlDocument::childCount() const { return XmlNode(doc_->internal_object()).childCount(); }

XmlNode XmlDocument::child(int index) const { return XmlNode(doc_->internal_object()).child(index); }

XmlNode XmlDocument::appendElement(const QString& name)
{
    return XmlNode(doc_->append_child(u8(name).c_str()).internal_object());
}

void XmlDocument::appendComment(const QString& text)
{
    doc_->append_child(pugi::node_comment).set_value(u8(text).c_str());
}

QByteArray XmlDocument::toBytes(const XmlSaveOptions& options) const
{
    std::ostringstream out;
    unsigned flags = pugi::format_no_declaration;
    if (options.declaration)
        flags = pugi::format_default;
    if (options.indent.isEmpty())
        flags |= pugi::format_raw;
    else
        flags |= pugi::format_indent;
    doc_->save(out, u8(options.indent).c_str(), flags, pugi::encoding_utf8);
    const std::string s = out.str();
    const QByteArray utf8(s.data(), qsizetype(s.size()));

    // A declaration kept from the file names the encoding the file is read in again: write in
    // that encoding, or, when the text does not fit it (or it is one this program does not
    // write), name UTF-8 in the declaration instead.
    const std::optional<std::string_view> declared = xml::declaredEncoding(utf8);
    if (!declared)
        return utf8;
    const QByteArray name = QByteArray(declared->data(), qsizetype(declared->size())).toLower();
    if (name == "utf-8" || name == "utf8")
        return utf8;
    const xml::EightBit charset = xml::eightBitOfName(*declared);
    const QString text = QString::fromUtf8(utf8);
    if (charset == xml::EightBit::Latin1) {
        const QByteArray latin1 = text.toLatin1();
        if (QString::fromLatin1(latin1) == text)
            return latin1;
    } else if (charset == xml::EightBit::Cp1252) {
        const QByteArray cp1252 = encodeCp1252(text);
        if (decodeCp1252(cp1252) == text)
            return cp1252;
    }
    static const QRegularExpression re(QStringLiteral("^(<\\?xml[^>]*?\\sencoding\\s*=\\s*)([\"'])[^\"']*\\2"));
    QString rewritten = text;
    rewritten.replace(re, QStringLiteral("\\1\"UTF-8\""));
    return rewritten.toUtf8();
}

bool XmlDocument::save(const QString& path, const XmlSaveOptions& options, QString* error) const
{
    return writeWholeFile(path, toBytes(options), error);
}

} // namespace platform
