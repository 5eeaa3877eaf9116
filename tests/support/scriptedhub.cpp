#include "scriptedhub.h"

#include "model/validationresult.h"

void ScriptedHub::AddJoint(const QString& name, const QString& parent, float x, float y, float z)
{
    Joint joint;
    joint.parent = parent;
    joint.world.Scale[0] = joint.world.Scale[1] = joint.world.Scale[2] = 1.0f;
    joint.world.Translate[0] = x;
    joint.world.Translate[1] = y;
    joint.world.Translate[2] = z;
    m_joints.insert(name, joint);
    m_order.append(name);
}

void ScriptedHub::AddNonTransform(const QString& name)
{
    Joint joint;
    joint.isTransform = false;
    m_joints.insert(name, joint);
    m_order.append(name);
}

void ScriptedHub::SetTranslation(const QString& name, float x, float y, float z)
{
    NodeTransformRecord& world = m_joints[name].world;
    world.Translate[0] = x;
    world.Translate[1] = y;
    world.Translate[2] = z;
}

void ScriptedHub::SetRotation(const QString& name, float x, float y, float z, float w)
{
    NodeTransformRecord& world = m_joints[name].world;
    world.Rotate[0] = x;
    world.Rotate[1] = y;
    world.Rotate[2] = z;
    world.Rotate[3] = w;
}

void ScriptedHub::SetLimits(const QString& name, std::uint32_t flags)
{
    m_joints[name].world.LimitFlags = flags;
}

void ScriptedHub::Rename(const QString& oldName, const QString& newName)
{
    const Joint joint = m_joints.take(oldName);
    m_joints.insert(newName, joint);
    m_order.replace(m_order.indexOf(oldName), newName);
    for (Joint& other : m_joints) {
        if (other.parent == oldName)
            other.parent = newName;
    }
    if (m_watched.contains(oldName))
        emit NameChanged(newName, oldName);
}

void ScriptedHub::Delete(const QString& name, bool sceneBeingReset)
{
    if (m_watched.contains(name))
        emit NodeRemoved(name, sceneBeingReset);
    m_joints.remove(name);
    m_order.removeAll(name);
    m_selection.removeAll(name);
}

void ScriptedHub::SetHostVerdict(ValidationStatus status, const std::string& message)
{
    m_hasVerdict = true;
    m_verdictStatus = status;
    m_verdictMessage = message;
}

const QString& ScriptedHub::GetHostName() const
{
    static const QString name = QStringLiteral("Scripted");
    return name;
}

const QStringList& ScriptedHub::GetSelectedTransforms()
{
    m_selectedTransforms.clear();
    for (const QString& name : m_selection) {
        if (IsTransform(name))
            m_selectedTransforms.append(name);
    }
    return m_selectedTransforms;
}

bool ScriptedHub::IsTransform(const QString& node)
{
    auto found = m_joints.constFind(node);
    return found != m_joints.constEnd() && found->isTransform;
}

int ScriptedHub::GetNodeTransform(const QString& node, int, NodeTransformRecord& record, bool)
{
    ++m_sampleCount;
    auto found = m_joints.constFind(node);
    if (found == m_joints.constEnd() || !found->isTransform)
        return 0;
    record = found->world;
    return 1;
}

bool ScriptedHub::GetParentName(const QString& node, QString& parent)
{
    parent.clear();
    auto found = m_joints.constFind(node);
    if (found == m_joints.constEnd() || !found->isTransform)
        return false;
    parent = found->parent;
    return !parent.isEmpty();
}

void ScriptedHub::AddNodeCallbacks(const QString& node)
{
    m_watched.insert(node);
}

void ScriptedHub::RemoveNodeCallbacks(const QString& node)
{
    m_watched.remove(node);
    m_watchedCharacters.remove(node);
}

void ScriptedHub::GetAllTransforms(QStringList& names)
{
    names.clear();
    for (const QString& name : m_order) {
        if (m_joints[name].isTransform)
            names.append(name);
    }
}

void ScriptedHub::SelectNode(const QString& node)
{
    if (m_joints.contains(node))
        m_selection = QStringList{node};
}

void ScriptedHub::HostValidate(ValidationResult& result)
{
    if (m_hasVerdict)
        result.SetStatus(m_verdictStatus, m_verdictMessage);
    else
        IDCCHub::HostValidate(result);
}

void ScriptedHub::SetCharacterObject(const QString& previousObject, const QString& object,
                                     const QString& characterName, int nodeId, bool flag)
{
    m_calls.append(QStringLiteral("SetCharacterObject %1 -> %2 in %3 node %4%5")
                       .arg(previousObject.isEmpty() ? QStringLiteral("''") : previousObject,
                            object.isEmpty() ? QStringLiteral("''") : object, characterName)
                       .arg(nodeId)
                       .arg(flag ? QStringLiteral(" removed") : QString()));
}

void ScriptedHub::DeleteCharacter(const QString& characterName)
{
    m_calls.append(QStringLiteral("DeleteCharacter %1").arg(characterName));
}

void ScriptedHub::UpdateCharacterControlsUI()
{
    m_calls.append(QStringLiteral("UpdateCharacterControlsUI"));
}

void ScriptedHub::AddCharacterizationNodeCallbacks(const QString& characterName)
{
    m_watchedCharacters.insert(characterName);
}

void ScriptedHub::RemoveCharacterizationNodeCallbacks(const QString& characterName)
{
    m_watchedCharacters.remove(characterName);
}

void ScriptedHub::InvertBone(int partNodeId, bool inverted)
{
    m_calls.append(QStringLiteral("InvertBone %1 %2").arg(partNodeId).arg(inverted ? 1 : 0));
    if (m_inversionStore)
        m_inversionStore(partNodeId, inverted);
}

bool ScriptedHub::LoadInversionStates(const QString& characterName)
{
    return m_inversionLoader && m_inversionLoader(characterName);
}

void ScriptedHub::WarnFileNotWritten(const QString& path)
{
    m_calls.append(QStringLiteral("WarnFileNotWritten %1").arg(path));
}
