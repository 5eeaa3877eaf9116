#include "pluginhosttest.h"

#include "script/textlog.h"

#include "solver/nodenames.h"

#include <QFileInfo>

#include <utility>

using namespace kestrel;

const QString kToolCmd = QStringLiteral("characterizationToolUICmd");
const QString kToolPanel =
    QStringLiteral("kestrelMainWindow|kntCharacterizationScrollControl|CharacterizationTool1");

QStringList PluginHostTest::RunOkList(const QString& text)
{
    return RunOkValue(text).ToStringArray();
}

void PluginHostTest::OpenWithPlugin(const QString& path, bool panel)
{
    RunOk(QStringLiteral("openScene \"%1\"").arg(path));
    if (std::exchange(m_loaded, true))
        return;
    ASSERT_EQ(RunOk("loadPlugin \"characterizationTool\""), "characterizationTool");
    if (!panel)
        return;
    RunOk("createLayout \"kntCharacterizationScrollControl\"");
    ASSERT_EQ(RunOk(kToolCmd), kToolPanel);
}

QStringList PluginHostTest::Sent()
{
    QStringList sent;
    for (const QString& text : AllSent()) {
        if (!text.startsWith(kToolCmd + ' '))
            sent << text;
    }
    return sent;
}

QStringList PluginHostTest::AllSent()
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

void PluginHostTest::BindSample(const QString& character, int lastSlot)
{
    for (int id = 0; id <= lastSlot; ++id) {
        const QString joint = QStringLiteral("Char1:") + kinetra::NodeName(id);
        if (Find(joint))
            RunOk(QStringLiteral("setCharacterObject(\"%2\",\"%1\",%3,0); %4 -e "
                                 "-characternodeassign %1 -nodeid %3 -kestrelnodename %2")
                      .arg(character, joint, QString::number(id), kToolCmd));
    }
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

QString SharedSkeleton(const QString& file)
{
    // The folder beside the repository also serves when the test runs outside CTest.
    QString folder = SharedSkeletonFolder();
    if (folder.isEmpty())
        folder = QStringLiteral(CT_SHARED_DIR "/skeletons");
    const QString path = folder + QLatin1Char('/') + file;
    return QFileInfo::exists(path) ? path : QString();
}
