#include "pluginhosttest.h"

#include "script/textlog.h"

using namespace kestrel;

QStringList PluginHostTest::RunOkList(const QString& text)
{
    return RunOkValue(text).ToStringArray();
}

QStringList PluginHostTest::Sent()
{
    const QStringList& entries = host.GetScriptLog().Entries();
    const QStringList sent = entries.mid(m_sentMark);
    m_sentMark = entries.size();
    return sent;
}

QStringList PluginHostTest::SentChanges()
{
    QStringList changes;
    for (const QString& text : Sent()) {
        if (!text.startsWith(QLatin1String("ls ")))
            changes << text;
    }
    return changes;
}

Value PluginHostTest::Attribute(const QString& node, const QString& attribute)
{
    const Node* found = Find(node);
    const kestrel::Attribute* value = found ? found->FindAttribute(attribute) : nullptr;
    return value ? value->value : Value();
}

QString PluginHostTest::JointInSlot(const QString& character, const QString& slot)
{
    const Node* found = Find(character);
    if (!found)
        return QString();
    for (const Connection& connection : scene().ConnectionsTo(found, slot))
        return connection.fromNode->Name();
    return QString();
}

QString SamplePath(const QString& name)
{
    return QStringLiteral(CT_SAMPLES_DIR "/") + name;
}
