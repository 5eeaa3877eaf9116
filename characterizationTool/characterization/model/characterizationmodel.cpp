#include "characterizationmodel.h"

#include "files/toolpaths.h"
#include "host/idcchub.h"
#include "solver/nodenames.h"

#include <QTimer>

#include <cstdlib>
#include <cstring>

CharacterizationModel::CharacterizationModel(IDCCHub* hub, ToolPaths* toolPaths)
    : QObject(nullptr)
    , m_hub(hub)
    , m_toolPaths(toolPaths)
    , m_timer(new QTimer(this))
{
    if (m_toolPaths) {
        m_matching.LoadNameMatching(SettingsPath());
        ReloadMirrorPairs();
    }
    // The first characterization is validated before the rules exist: its first verdict
    // comes from the host and the required-node rule alone.
    CreateNewCharacterization();
    m_validation.BuildValidators();
    if (m_hub) {
        connect(m_hub, &IDCCHub::NameChanged, this, &CharacterizationModel::RenameBone);
        connect(m_hub, &IDCCHub::NodeRemoved, this, &CharacterizationModel::RemoveBone);
        connect(m_hub, &IDCCHub::CharacterizationNodeRemoved, this,
                &CharacterizationModel::RemoveCharacterizationNode);
        connect(m_hub, &IDCCHub::CharacterizationNameChanged, this,
                &CharacterizationModel::RenameCharacterization);
        connect(m_timer, &QTimer::timeout, this, &CharacterizationModel::CheckGeometry);
        m_timer->start(kGeometryIntervalMs);
    }
    m_lastOperation = tr("No previous operation.");
}

CharacterizationModel::~CharacterizationModel() = default;

QString CharacterizationModel::SettingsPath() const
{
    return m_toolPaths ? m_toolPaths->SettingsFilePath() : QString();
}

void CharacterizationModel::AssignNode(NodeId id, const QString& joint)
{
    const QString old = m_current->JointName(id);
    if (m_hub && !old.isEmpty())
        m_hub->RemoveNodeCallbacks(old);
    m_current->SetJointName(id, joint);
    m_validation.SetNodeValidation(id, ValidationStatus::Valid, {});
    if (m_hub)
        m_hub->AddNodeCallbacks(joint);
    m_lastOperation = QStringLiteral("%1%2").arg(tr("Assigned node: "), joint);
    if (m_hub)
        m_hub->SetCharacterObject(old, joint, m_current->Name(), id, false);
}

void CharacterizationModel::AssignNodeMirrored(NodeId id, const QString& joint, NodeId& mirrorNode,
                                               QString& mirrorJoint)
{
    mirrorNode = -1;
    AssignNode(id, joint);
    if (m_mirrorMode && MirrorNodeOf(id) != 0 && FindMirrorJoint(joint, mirrorJoint))
        mirrorNode = MirrorNodeOf(id);
    Revalidate();
}

bool CharacterizationModel::FindMirrorJoint(const QString& joint, QString& mirrorJoint) const
{
    if (!m_hub)
        return false;
    for (const MatchingSettings::MirrorPair& pair : m_matching.MirrorPairs()) {
        if (!joint.contains(pair.first, Qt::CaseInsensitive))
            continue;
        const QString candidate =
            QString(joint).replace(pair.first, pair.second, Qt::CaseInsensitive);
        QStringList scene;
        m_hub->GetAllTransforms(scene);
        for (const QString& name : scene) {
            if (name.compare(candidate, Qt::CaseInsensitive) == 0) {
                mirrorJoint = name;
                return true;
            }
        }
        for (const QString& name : scene) {
            if (name.contains(candidate, Qt::CaseInsensitive)) {
                mirrorJoint = name;
                return true;
            }
        }
        // Only the first pair whose keyword the joint contains is tried.
        return false;
    }
    return false;
}

void CharacterizationModel::UnassignNode(NodeId id, bool removedFromScene, bool sceneBeingReset)
{
    m_busy = true;
    QString old;
    if (m_current->IsNodeAssigned(id)) {
        old = m_current->JointName(id);
        if (m_hub)
            m_hub->RemoveNodeCallbacks(old);
        m_lastOperation = QStringLiteral("%1%2").arg(tr("Unregistered node: "), old);
    }
    m_current->ClearNode(id);
    m_validation.SetNodeValidation(id, ValidationStatus::NotSet, {});
    m_current->ResetRestState(id);
    if (m_hub && !sceneBeingReset)
        m_hub->SetCharacterObject(old, QString(), m_current->Name(), id, removedFromScene);
    m_busy = false;
}

void CharacterizationModel::ClearNode(NodeId id)
{
    UnassignNode(id, false, false);
    m_lastOperation = QStringLiteral("%1").arg(tr("Cleared one or more nodes."));
    Revalidate();
}

void CharacterizationModel::ClearNodes(const std::vector<NodeId>& ids)
{
    for (NodeId id : ids)
        UnassignNode(id, false, false);
    Revalidate();
}

void CharacterizationModel::ClearAll()
{
    for (NodeId id = 0; id < NodeCount; ++id)
        UnassignNode(id, false, false);
    m_lastOperation = QStringLiteral("%1").arg(tr("Cleared all nodes."));
    Revalidate();
}

bool CharacterizationModel::FindNodeOfJoint(const QString& joint, NodeId& node) const
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (m_current->IsNodeAssigned(id) && m_current->JointName(id) == joint) {
            node = id;
            return true;
        }
    }
    return false;
}

QString CharacterizationModel::JointOfNode(NodeId id) const
{
    return m_current->JointName(id);
}

void CharacterizationModel::FindUnsyncNodes(const QStringList& sceneJoints,
                                            std::vector<int>& out) const
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (m_current->IsNodeAssigned(id) && !sceneJoints.contains(m_current->JointName(id)))
            out.push_back(id);
    }
}

const NodeValidation& CharacterizationModel::NodeValidationOf(NodeId id) const
{
    return m_validation.NodeValidationOf(id);
}

const NodeValidation& CharacterizationModel::OverallValidation() const
{
    return m_validation.OverallValidation();
}

ValidationStatus CharacterizationModel::CombinedStatus(const std::vector<NodeId>& ids) const
{
    return m_validation.CombinedStatus(ids);
}

bool CharacterizationModel::IsRequiredNode(NodeId id) const
{
    return ::IsRequiredNode(id);
}

NodeId CharacterizationModel::InlineRollNodeOf(NodeId id) const
{
    return ::InlineRollNodeOf(id);
}

void CharacterizationModel::SetEditedPart(int part, bool readWrite)
{
    const int old = m_editedPart;
    const bool changed = part != m_editedPart || readWrite != m_editedPartReadWrite;
    m_editedPart = part;
    m_editedPartReadWrite = readWrite;
    if (changed)
        emit EditedPartChanged(old, part, readWrite);
}

bool CharacterizationModel::IsLocked() const
{
    return m_current && m_current->IsLocked();
}

Characterization* CharacterizationModel::CharacterizationAt(int index) const
{
    if (index < 0 || index >= CharacterizationCount())
        return nullptr;
    return m_characterizations[index].get();
}

int CharacterizationModel::IndexOf(const Characterization* characterization) const
{
    for (int i = 0; i < CharacterizationCount(); ++i) {
        if (m_characterizations[i].get() == characterization)
            return i;
    }
    return -1;
}

void CharacterizationModel::AddCharacterization(const CharacterizationPtr& characterization)
{
    if (!characterization)
        return;
    characterization->SetName(UniqueName(characterization->Name()));
    m_characterizations.push_back(characterization);
    SetCurrentCharacterization(CharacterizationCount() - 1);
}

void CharacterizationModel::RemoveCurrentCharacterization()
{
    const int index = IndexOf(m_current);
    if (index >= 0)
        m_characterizations.erase(m_characterizations.begin() + index);
}

void CharacterizationModel::ToggleInversion(int part)
{
    const InversionPart* inversion = InversionPartOfNode(part);
    if (!inversion)
        return;
    std::uint32_t& flag = m_current->InversionFlags().Values[inversion->FlagIndex];
    flag = flag == 0 ? 1 : 0;
    const std::uint32_t value = flag;
    // The toggled part is shown, not picked: the next host selection must not be bound to it.
    // The host hears first: revalidation reads the flags back from it, and would otherwise
    // restore the old one until the next check.
    if (m_hub)
        m_hub->InvertBone(part, value != 0);
    const int old = m_editedPart;
    m_editedPart = part;
    m_editedPartReadWrite = false;
    emit EditedPartChanged(old, part, false);
    Revalidate();
}

void CharacterizationModel::ChangeMirrorMode(bool on)
{
    if (on == m_mirrorMode)
        return;
    m_mirrorMode = on;
    emit MirrorModeChanged(on);
}

void CharacterizationModel::Revalidate()
{
    if (!m_current)
        return;
    if (m_current->IsLocked()) {
        emit ModelChanged();
        return;
    }
    RefreshRestPose();
    RebuildAndValidate(m_current, m_hub);
}

void CharacterizationModel::RunValidation(const std::uint32_t* usage,
                                          const kinetra::Character* character)
{
    m_validation.Run(usage, character, m_hub);
}

bool CharacterizationModel::RefreshRestPose()
{
    if (m_busy || !m_current || !m_hub)
        return false;
    bool changed = false;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (!m_current->IsNodeAssigned(id))
            continue;
        NodeTransformRecord record;
        if (!m_hub->GetNodeTransform(m_current->JointName(id), id, record, true))
            continue;
        const kinetra::NodeRestState sample = ToRestState(record);
        if (!kinetra::CompareNodeRestState(sample, m_current->RestState(id))) {
            m_current->SetRestState(id, sample);
            changed = true;
        }
    }
    // The host answers true whenever it holds the character's node; only flags that really
    // changed call for a new validation.
    const kinetra::InversionFlags before = m_current->InversionFlags();
    if (m_hub->LoadInversionStates(m_current->Name()) &&
        std::memcmp(&before, &m_current->InversionFlags(), sizeof before) != 0)
        changed = true;
    return changed;
}

void CharacterizationModel::RebuildAndValidate(Characterization* characterization, IDCCHub* hub)
{
    Characterization::UsageArray usage;
    kinetra::Character* character =
        characterization->CreateSolverCharacter(usage, true, std::malloc, hub);
    if (character) {
        RunValidation(usage.data(), character);
        kinetra::DestroyCharacter(character, std::free);
    }
    emit ModelChanged();
}

void CharacterizationModel::CheckGeometry()
{
    if (RefreshRestPose())
        RebuildAndValidate(m_current, m_hub);
}

bool CharacterizationModel::IsSamplingHost() const
{
    return m_timer->isActive();
}

void CharacterizationModel::AutoMatch()
{
    if (m_hub) {
        const QStringList selected = m_hub->GetSelectedTransforms();
        for (const QString& joint : selected)
            AssignByNodeName(joint);
    }
    Revalidate();
}

void CharacterizationModel::AssignByNodeName(const QString& joint)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (joint.endsWith(QLatin1String(kinetra::NodeName(id)), Qt::CaseSensitive)) {
            AssignNode(id, joint);
            return;
        }
    }
}

void CharacterizationModel::RenameBone(const QString& newName, const QString& oldName)
{
    if (IsLocked())
        return;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (m_current->IsNodeAssigned(id) && m_current->JointName(id) == oldName)
            AssignNode(id, newName);
    }
    Revalidate();
}

void CharacterizationModel::RemoveBone(const QString& Name, const bool sceneBeingReset)
{
    if (!m_current || m_characterizations.empty())
        return;
    // Indexes stay valid: nothing below adds or removes list entries.
    for (int index = 0; index < CharacterizationCount(); ++index) {
        Characterization* characterization = m_characterizations[index].get();
        if (!characterization)
            break;
        for (NodeId id = 0; id < NodeCount; ++id) {
            if (!characterization->IsNodeAssigned(id) || characterization->JointName(id) != Name)
                continue;
            characterization->SetLocked(false);
            // A scene being torn down is followed by a full reset of the tool to the new
            // scene's characterizations, so revalidating and redrawing the views for every
            // removed joint would only be thrown away.
            if (sceneBeingReset)
                m_current = characterization;
            else
                SetCurrentCharacterization(index);
            UnassignNode(id, true, sceneBeingReset);
        }
        if (!sceneBeingReset)
            Revalidate();
    }
}

void CharacterizationModel::RemoveCharacterizationNode(const QString& Name)
{
    if (!m_current)
        return;
    const Characterization* before = m_current;
    // Every entry is examined, also the one right after a removed entry.
    for (int index = 0; index < CharacterizationCount();) {
        Characterization* characterization = m_characterizations[index].get();
        if (!characterization)
            break;
        if (characterization->Name() != Name) {
            ++index;
            continue;
        }
        SetCurrentCharacterization(index);
        RemoveCurrentCharacterization();
    }
    if (m_characterizations.empty()) {
        CreateNewCharacterization();
    } else {
        const int beforeIndex = IndexOf(before);
        SetCurrentCharacterization(beforeIndex >= 0 ? beforeIndex : 0);
    }
    if (m_hub)
        m_hub->UpdateCharacterControlsUI();
}

void CharacterizationModel::RenameCharacterization(const QString& newName, const QString& oldName)
{
    for (const CharacterizationPtr& characterization : m_characterizations) {
        if (characterization && characterization->Name() == oldName) {
            characterization->SetName(newName);
            return;
        }
    }
}

void CharacterizationModel::SetCurrentCharacterization(int index)
{
    Characterization* characterization = CharacterizationAt(index);
    if (!characterization)
        return;
    m_current = characterization;
    if (characterization->IsLocked())
        RebuildAndValidate(characterization, nullptr);
    SetEditMode(characterization->IsLocked());
}

void CharacterizationModel::SetEditMode(bool readOnly, std::vector<int> unsyncNodeToClear)
{
    const bool lockChanged = m_current->IsLocked() != readOnly;
    m_current->SetLocked(readOnly);
    if (readOnly) {
        m_timer->stop();
    } else {
        for (int id : unsyncNodeToClear) {
            if (IsNodeId(id))
                UnassignNode(id, false, false);
        }
        if (m_hub)
            m_timer->start(kGeometryIntervalMs);
    }
    Revalidate();
    // The host keeps the lock in the scene; nothing else tells it that the lock moved.
    if (lockChanged && m_hub)
        m_hub->UpdateCharacterControlsUI();
}

void CharacterizationModel::CreateNewCharacterization()
{
    const QString base = m_hub ? m_hub->GetNoneName() : IDCCHub::GetNoneName();
    m_characterizations.push_back(std::make_shared<Characterization>(UniqueName(base)));
    SetCurrentCharacterization(CharacterizationCount() - 1);
}

QString CharacterizationModel::UniqueName(const QString& base) const
{
    auto taken = [this](const QString& name) {
        for (const CharacterizationPtr& characterization : m_characterizations) {
            if (characterization && characterization->Name() == name)
                return true;
        }
        return false;
    };
    QString result = base;
    for (int counter = 1; taken(result); ++counter)
        // One substitution pass: a base holding "%1" must not take the counter.
        result = QStringLiteral("%1 (%2)").arg(base, QString::number(counter));
    return result;
}

void CharacterizationModel::ReloadMirrorPairs()
{
    if (m_toolPaths)
        m_matching.ReloadMirrorPairs(SettingsPath());
}

void CharacterizationModel::AddMirrorPair(const QString& left, const QString& right)
{
    m_matching.AddMirrorPair(left, right);
}
