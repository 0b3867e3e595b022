#include "parameters/ParGenFile.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"

namespace parameters {

ParGenFile::Status ParGenFile::load(const QString& path, QString* error)
{
    doc_.clear();
    if (path.isEmpty() || !platform::fileExists(path)) {
        status_ = Status::NoFile;
        return status_;
    }
    QString why;
    status_ = doc_.load(path, &why) ? Status::Loaded : Status::Damaged;
    if (status_ == Status::Damaged && error)
        *error = why;
    return status_;
}

ParGenFile::Status ParGenFile::loadBytes(const QByteArray& bytes, QString* error)
{
    QString why;
    status_ = doc_.loadBytes(bytes, &why) ? Status::Loaded : Status::Damaged;
    if (status_ == Status::Damaged && error)
        *error = why;
    return status_;
}

platform::XmlNode ParGenFile::root() const { return doc_.rootElement(); }

bool ParGenFile::hasRoot() const { return !root().isNull(); }

std::optional<QString> ParGenFile::keyText(const QString& name) const
{
    const platform::XmlNode r = root();
    if (r.isNull())
        return std::nullopt;
    return r.elementText(name);
}

QString ParGenFile::keyTextOr(const QString& name, const QString& def) const
{
    return keyText(name).value_or(def);
}

int32_t ParGenFile::keyInt(const QString& name, int32_t def) const
{
    const auto t = keyText(name);
    return t ? platform::toIntDef(*t, def) : def;
}

bool ParGenFile::keyFlag(const QString& name) const { return keyText(name) == QStringLiteral("1"); }

bool ParGenFile::setKeyText(const QString& name, const QString& text)
{
    platform::XmlNode r = root();
    if (r.isNull())
        return false;
    platform::XmlNode e = r.element(name);
    if (e.isNull())
        r.appendTextElement(name, text);
    else
        e.setText(text);
    return true;
}

bool ParGenFile::save(const QString& path, QString* error) const { return doc_.save(path, {}, error); }

} // namespace parameters
