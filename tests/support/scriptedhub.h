// A scripted host for tests and benchmarks: an in-memory scene behind the hub interface.
#pragma once

#include "host/idcchub.h"
#include "model/validationresult.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>

// Joints with names, parents and world-space samples; a selection; the watches the tool
// installed; and a log of every call that tells the host something. Renames and deletions
// emit the hub's signals for watched nodes, as a host would.
class ScriptedHub : public IDCCHub
{
    Q_OBJECT

public:
    struct Joint
    {
        QString parent;
        NodeTransformRecord world; // what GetNodeTransform answers
        bool isTransform = true;
    };

    // Scene editing. Joints keep insertion order in GetAllTransforms.
    void AddJoint(const QString& name, const QString& parent, float x, float y, float z);
    void AddNonTransform(const QString& name);
    void SetTranslation(const QString& name, float x, float y, float z);
    void SetRotation(const QString& name, float x, float y, float z, float w);
    void SetLimits(const QString& name, std::uint32_t flags);
    Joint& JointNamed(const QString& name) { return m_joints[name]; }
    void Select(const QStringList& names) { m_selection = names; }
    // Renames the joint and, when watched, emits NameChanged.
    void Rename(const QString& oldName, const QString& newName);
    // Emits NodeRemoved when watched, then removes the joint.
    void Delete(const QString& name, bool sceneBeingReset = false);

    // What the tool did to the host.
    bool IsWatched(const QString& name) const { return m_watched.contains(name); }
    const QSet<QString>& Watched() const { return m_watched; }
    const QSet<QString>& WatchedCharacters() const { return m_watchedCharacters; }
    QStringList Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    int SampleCount() const { return m_sampleCount; }
    void ResetSampleCount() { m_sampleCount = 0; }

    // Verdict the host adds to every validation run.
    void SetHostVerdict(ValidationStatus status, const std::string& message);
    // What LoadInversionStates does: by default nothing, answering false (no host node).
    void SetInversionLoader(std::function<bool(const QString&)> loader)
    {
        m_inversionLoader = std::move(loader);
    }
    // What InvertBone does besides logging the call: by default nothing.
    void SetInversionStore(std::function<void(int, bool)> store)
    {
        m_inversionStore = std::move(store);
    }

    const QString& GetHostName() const override;
    const QStringList& GetSelectedTransforms() override;
    bool IsTransform(const QString& node) override;
    int GetNodeTransform(const QString& node, int nodeId, NodeTransformRecord& record,
                         bool worldSpace) override;
    bool GetParentName(const QString& node, QString& parent) override;
    void AddNodeCallbacks(const QString& node) override;
    void RemoveNodeCallbacks(const QString& node) override;
    void GetAllTransforms(QStringList& names) override;
    void SelectNode(const QString& node) override;
    void HostValidate(ValidationResult& result) override;
    void SetCharacterObject(const QString& previousObject, const QString& object,
                            const QString& characterName, int nodeId, bool flag) override;
    void DeleteCharacter(const QString& characterName) override;
    void UpdateCharacterControlsUI() override;
    void AddCharacterizationNodeCallbacks(const QString& characterName) override;
    void RemoveCharacterizationNodeCallbacks(const QString& characterName) override;
    void InvertBone(int partNodeId, bool inverted) override;
    bool LoadInversionStates(const QString& characterName) override;
    void WarnFileNotWritten(const QString& path) override;

private:
    QMap<QString, Joint> m_joints;
    QStringList m_order;
    QStringList m_selection;
    QStringList m_selectedTransforms;
    QSet<QString> m_watched;
    QSet<QString> m_watchedCharacters;
    QStringList m_calls;
    int m_sampleCount = 0;
    std::function<bool(const QString&)> m_inversionLoader;
    std::function<void(int, bool)> m_inversionStore;
    bool m_hasVerdict = false;
    ValidationStatus m_verdictStatus = ValidationStatus::Valid;
    std::string m_verdictMessage;
};
