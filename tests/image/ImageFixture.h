#pragma once
// A project folder in a temporary directory with the workspace paths of one device type, and
// small generators for the files the image builder reads.
#include "image/ImageState.h"
#include "platform/xml/XmlDom.h"
#include "support/TempDir.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace image_test {

using Attrs = std::vector<std::pair<QString, QString>>;
using Rows = std::vector<Attrs>;
struct Section {
    QString name;
    Rows rows;
};

// XML of a table file: a root with sections of `row` elements, or rows in the root.
inline QByteArray tableXml(const QString& root, const std::vector<Section>& sections, const Rows& rootRows = {})
{
    platform::XmlDocument d;
    platform::XmlNode r = d.appendElement(root);
    auto addRows = [](platform::XmlNode parent, const Rows& rows) {
        for (const Attrs& a : rows) {
            platform::XmlNode row = parent.appendElement(QStringLiteral("row"));
            for (const auto& [k, v] : a)
                row.setAttribute(k, v);
        }
    };
    for (const Section& s : sections)
        addRows(r.appendElement(s.name), s.rows);
    addRows(r, rootRows);
    d.appendComment(QStringLiteral("SW_VERSION = 1.405"));
    return d.toBytes();
}

inline QByteArray parGenXml(const std::vector<std::pair<QString, QString>>& keys)
{
    platform::XmlDocument d;
    platform::XmlNode r = d.appendElement(QStringLiteral("Par_Gen"));
    for (const auto& [k, v] : keys)
        r.appendTextElement(k, v);
    return d.toBytes();
}

class Project {
public:
    explicit Project(int32_t converterType, bool withBin = true)
        : ws_(converterType), st_(std::make_unique<image::ImageState>())
    {
        ws_->Project_Dir = dir_.path();
        workspace::Set_Files();
        if (withBin)
            dir_.write(QStringLiteral("bin/.keep"), {});
    }

    workspace::Workspace& ws() { return *ws_; }
    image::ImageState& st() { return *st_; }
    const testing_support::TempDir& dir() const { return dir_; }

    void parGen(const std::vector<std::pair<QString, QString>>& keys) { write(ws().Path_ParGen, parGenXml(keys)); }
    void objects(const Rows& readRows, const Rows& writeRows = {})
    {
        write(ws().Path_BACnet_SetAccess,
              tableXml(QStringLiteral("BACnet_to_Modbus"),
                       {{QStringLiteral("BACnet_in_Read"), readRows}, {QStringLiteral("BACnet_in_Write"), writeRows}}));
    }
    void modbus(const QString& path, const Rows& readRows, const Rows& writeRows = {})
    {
        write(path, tableXml(QStringLiteral("BACnet_to_Modbus"),
                             {{QStringLiteral("Modbus_Read"), readRows}, {QStringLiteral("Modbus_Write"), writeRows}}));
    }
    void bdt(const Rows& rows) { write(ws().Path_BACnet_BDT, tableXml(QStringLiteral("BACnet_BDT"), {}, rows)); }
    void write(const QString& path, const QByteArray& bytes)
    {
        dir_.write(path.mid(dir_.path().size() + 1), bytes);
    }

    // Bytes of bank1 as built.
    QByteArray bank1() const { return st_->bank1.filled(); }

private:
    testing_support::TempDir dir_;
    workspace::ScopedWorkspace ws_;
    std::unique_ptr<image::ImageState> st_;
};

// One BACnet object row.
inline Attrs objectRow(const QString& type, const QString& position, const QString& unit = QStringLiteral("95"),
                       const QString& length = QStringLiteral("4"), const QString& mnemonic = QString(),
                       const QString& bit = QStringLiteral("0"))
{
    return {{QStringLiteral("Data_Type"), type}, {QStringLiteral("Eng_Unit"), unit},
            {QStringLiteral("Position"), position}, {QStringLiteral("Bit"), bit},
            {QStringLiteral("Length"), length}, {QStringLiteral("Mnemonic"), mnemonic}};
}

} // namespace image_test
