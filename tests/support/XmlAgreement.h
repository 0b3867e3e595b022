#pragma once
// The table files' streaming row reader against the DOM: both must accept and refuse the same
// documents and, when they accept, give the same elements at the same depths with the same
// attributes. Shared by the reader's tests and its fuzz harness, so both judge alike.
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlRowReader.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xml_agreement {

using namespace platform;

struct Element {
    int depth;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
    bool operator==(const Element&) const = default;
};

struct Outcome {
    bool ok = false;
    std::vector<Element> elements;
    std::string problem; // a fault of the event stream itself
};

inline std::string str(std::string_view v) { return std::string(v); }

inline void walk(const XmlNode& parent, int depth, std::vector<Element>& out)
{
    for (XmlNode n = parent.child(0); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement()) {
            Element e{depth, n.name().toStdString(), {}};
            std::vector<XmlAttributeView> views(static_cast<size_t>(n.attributeCount()));
            n.attributeViews(views.data(), static_cast<int>(views.size()));
            for (const XmlAttributeView& v : views)
                e.attrs.emplace_back(v.name, v.value);
            out.push_back(std::move(e));
        }
        walk(n, depth + 1, out); // a declaration left open by '>' holds nodes too
    }
}

inline Outcome viaDom(const QByteArray& bytes)
{
    Outcome o;
    XmlDocument d;
    o.ok = d.loadBytes(bytes);
    if (!o.ok)
        return o;
    for (int i = 0, n = d.childCount(); i < n; ++i) {
        const XmlNode c = d.child(i);
        if (c.isElement()) {
            Element e{0, c.name().toStdString(), {}};
            for (int k = 0; k < c.attributeCount(); ++k) {
                std::vector<XmlAttributeView> views(static_cast<size_t>(c.attributeCount()));
                c.attributeViews(views.data(), static_cast<int>(views.size()));
                e.attrs.emplace_back(views[size_t(k)].name, views[size_t(k)].value);
            }
            o.elements.push_back(std::move(e));
        }
        walk(c, 1, o.elements);
    }
    return o;
}

inline Outcome viaReader(const QByteArray& bytes)
{
    Outcome o;
    XmlRowReader r(bytes);
    std::vector<std::string> open;
    for (;;) {
        const XmlRowReader::Event ev = r.next();
        if (ev == XmlRowReader::Event::Error) {
            if (r.error().isEmpty())
                o.problem = "refused without a message";
            if (r.next() != XmlRowReader::Event::Error)
                o.problem = "an error does not stay";
            return o;
        }
        if (ev == XmlRowReader::Event::Done) {
            o.ok = true;
            if (!open.empty())
                o.problem = "done with elements open";
            if (r.next() != XmlRowReader::Event::Done)
                o.problem = "done does not stay";
            return o;
        }
        if (ev == XmlRowReader::Event::StartElement) {
            Element e{r.depth(), QString::fromUtf8(r.name().data(), qsizetype(r.name().size())).toStdString(), {}};
            for (const XmlRowAttribute& a : r.attributes())
                e.attrs.emplace_back(str(a.name), str(a.value));
            o.elements.push_back(std::move(e));
            open.push_back(str(r.name()));
        } else {
            if (open.empty() || open.back() != r.name())
                o.problem = "an end that closes no open element";
            else
                open.pop_back();
        }
    }
}

inline std::string show(const QByteArray& b)
{
    std::string s;
    for (const char c : b) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F)
            s += c;
        else
            s += "\\x" + std::string(1, "0123456789ABCDEF"[u >> 4]) + std::string(1, "0123456789ABCDEF"[u & 15]);
    }
    return s;
}

// The first difference between the two readers on a document, or an empty text when they
// agree. `domAccepted` (optional) tells whether the DOM accepted it.
inline std::string disagreement(const QByteArray& doc, bool* domAccepted = nullptr)
{
    const Outcome dom = viaDom(doc);
    const Outcome rd = viaReader(doc);
    if (domAccepted)
        *domAccepted = dom.ok;
    if (!rd.problem.empty())
        return "reader: " + rd.problem;
    if (rd.ok != dom.ok)
        return std::string(rd.ok ? "the reader accepts" : "the reader refuses") + ", the DOM " +
               (dom.ok ? "accepts" : "refuses");
    if (!rd.ok)
        return {};
    const size_t n = std::min(rd.elements.size(), dom.elements.size());
    for (size_t i = 0; i < n; ++i) {
        const Element& r = rd.elements[i];
        const Element& d = dom.elements[i];
        if (r.depth != d.depth)
            return "element " + std::to_string(i) + ": depth " + std::to_string(r.depth) + " against " +
                   std::to_string(d.depth);
        if (r.name != d.name)
            return "element " + std::to_string(i) + ": name " + r.name + " against " + d.name;
        if (r.attrs != d.attrs)
            return "element " + std::to_string(i) + " (" + r.name + "): attributes differ";
    }
    if (rd.elements.size() != dom.elements.size())
        return std::to_string(rd.elements.size()) + " elements against " + std::to_string(dom.elements.size());
    return {};
}

} // namespace xml_agreement
