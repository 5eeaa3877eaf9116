#include "scene/node.h"

#include "scene/nodename.h"

namespace kestrel {

namespace {

const char* const kTypeNames[] = {"transform", "joint", "character"};

} // namespace

QString NodeTypeName(NodeType type)
{
    return QString::fromLatin1(kTypeNames[static_cast<int>(type)]);
}

bool ParseNodeType(const QString& name, NodeType* type)
{
    for (int i = 0; i < 3; ++i) {
        if (name == QLatin1String(kTypeNames[i])) {
            *type = static_cast<NodeType>(i);
            return true;
        }
    }
    return false;
}

Node::Node(quint64 id, NodeType type, QString name)
    : m_id(id)
    , m_type(type)
    , m_name(std::move(name))
{}

QString Node::ParentName() const
{
    if (!IsTransform())
        return QString();
    return m_parent ? m_parent->Name() : WorldName();
}

QString Node::FullPath() const
{
    if (!IsTransform())
        return m_name;
    QString path;
    for (const Node* node = this; node; node = node->m_parent)
        path.prepend(QLatin1Char('|') + node->m_name);
    return path;
}

const Attribute* Node::FindAttribute(const QString& name) const
{
    for (const Attribute& attribute : m_attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

Attribute* Node::FindAttributeForEdit(const QString& name)
{
    for (Attribute& attribute : m_attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

} // namespace kestrel
