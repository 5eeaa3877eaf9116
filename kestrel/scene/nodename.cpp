#include "scene/nodename.h"

#include <QVector>

namespace kestrel {

namespace {

constexpr bool IsNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':';
}

// IsNameByte for every ASCII code, looked up: every node of a file read is checked more than
// once on its way into the scene.
struct NameBytes
{
    bool allowed[128] = {};
    constexpr NameBytes()
    {
        for (int c = 0; c < 128; ++c)
            allowed[c] = IsNameByte(static_cast<char>(c));
    }
};
constexpr NameBytes kNameBytes;

} // namespace

QString WorldName()
{
    return QStringLiteral("world");
}

bool IsValidNodeName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (c.unicode() > 127 || !kNameBytes.allowed[c.unicode()])
            return false;
    }
    return name.size() != 5 || name != QLatin1String("world");
}

QString EscapeNodeName(const QString& name)
{
    if (name == WorldName())
        return QStringLiteral("_world");
    QString result;
    for (const uint code : name.toUcs4())
        result.append(code < 128 && IsNameByte(static_cast<char>(code)) ? QChar(code)
                                                                        : QLatin1Char('_'));
    return result;
}

bool IsValidAttributeName(const QString& name)
{
    if (name.isEmpty() || name.at(0).isDigit())
        return false;
    for (QChar c : name) {
        const ushort u = c.unicode();
        const bool ok =
            (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace kestrel
