// The single owner of the tool's state: characterizations, validation, edited part, modes.
#pragma once

#include "characterization.h"
#include "characterizationvalidation.h"
#include "matchingsettings.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class IDCCHub;
class QTimer;
class ToolPaths;

// Owns every characterization the tool knows, which one is current, the validation of the
// current one, the edited part and the mirror mode. Views, the tool command and the file code
// read and change characterizations only through it; every change that affects validity ends
// in a validation run and ModelChanged().
//
// The hub and the tool paths are not owned. Without a hub the model is a plain editor of
// characterizations: nothing is sampled (rest states stay as stored), no geometry timer runs,
// no host is told anything, and validation runs on the stored rest states. Without tool paths
// the built-in matching settings are used.
class CharacterizationModel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kGeometryIntervalMs = 1000;

    CharacterizationModel(IDCCHub* hub, ToolPaths* toolPaths);
    ~CharacterizationModel() override;

    // Binds `joint` to node `id` of the current characterization, moves the hub's watches
    // and tells the host. No validation.
    void AssignNode(NodeId id, const QString& joint);
    // AssignNode, then, in mirror mode, looks for the partner joint in the scene through the
    // mirror keyword pairs; `mirrorNode` is -1 when there is none. Does not bind the partner.
    // Revalidates.
    void AssignNodeMirrored(NodeId id, const QString& joint, NodeId& mirrorNode,
                            QString& mirrorJoint);
    void ClearNode(NodeId id);
    void ClearNodes(const std::vector<NodeId>& ids);
    // The lowest used node whose joint is exactly `joint`.
    bool FindNodeOfJoint(const QString& joint, NodeId& node) const;
    QString JointOfNode(NodeId id) const;
    // Appends, in id order, every used node whose joint is not in `sceneJoints`.
    void FindUnsyncNodes(const QStringList& sceneJoints, std::vector<int>& out) const;

    const NodeValidation& NodeValidationOf(NodeId id) const;
    const NodeValidation& OverallValidation() const;
    ValidationStatus CombinedStatus(const std::vector<NodeId>& ids) const;
    bool IsRequiredNode(NodeId id) const;
    NodeId InlineRollNodeOf(NodeId id) const;

    bool IsMirrorMode() const { return m_mirrorMode; }
    // Emits EditedPartChanged when the part or the flag changes.
    void SetEditedPart(int part, bool readWrite);
    int EditedPart() const { return m_editedPart; }
    bool IsEditedPartReadWrite() const { return m_editedPartReadWrite; }

    bool IsLocked() const;
    Characterization* CurrentCharacterization() const { return m_current; }
    // Null when `index` is outside the list.
    Characterization* CharacterizationAt(int index) const;
    int CharacterizationCount() const { return int(m_characterizations.size()); }
    // Takes shared ownership, renames it to a unique name and makes it current.
    void AddCharacterization(const CharacterizationPtr& characterization);
    // Removes the current characterization from the list only; the caller makes another one
    // current next.
    void RemoveCurrentCharacterization();
    // Flips the inversion flag of a knee or elbow node (3, 6, 10 or 13); any other: nothing.
    void ToggleInversion(int part);
    QString LastOperationMessage() const { return m_lastOperation; }
    void SetLastOperationMessage(const QString& message) { m_lastOperation = message; }
    // The host hub, not owned; null for a model without host.
    IDCCHub* Hub() const { return m_hub; }

    // Unlocked: samples the host and validates. Locked: only ModelChanged().
    void Revalidate();
    // Validates the given character; see CharacterizationValidation::Run.
    void RunValidation(const std::uint32_t* usage, const kinetra::Character* character);

    const MatchingSettings& Matching() const { return m_matching; }
    MatchingSettings& Matching() { return m_matching; }
    void ReloadMirrorPairs();
    void AddMirrorPair(const QString& left, const QString& right);

    // True while the geometry timer samples the host.
    bool IsSamplingHost() const;

public slots:
    void RenameBone(const QString& newName, const QString& oldName);
    void RemoveBone(const QString& Name, const bool sceneBeingReset = false);
    void RemoveCharacterizationNode(const QString& Name);
    void RenameCharacterization(const QString& newName, const QString& oldName);
    void ClearAll();
    // Binds every selected joint whose name ends with a node name.
    void AutoMatch();
    void SetCurrentCharacterization(int index);
    // Locks (readOnly) or unlocks the current characterization; unlocking first clears the
    // listed nodes.
    void SetEditMode(bool readOnly, std::vector<int> unsyncNodeToClear = {});
    // Sets mirror mode without a signal: for a caller that switches it off around one step.
    void SetMirrorMode(bool on) { m_mirrorMode = on; }
    // The user's switch: sets mirror mode and emits MirrorModeChanged when it changed.
    void ChangeMirrorMode(bool on);
    void CreateNewCharacterization();

signals:
    void ModelChanged();
    void EditedPartChanged(int oldEditedPartId, int newEditedPartId, bool isReadWrite);
    // The user switched mirror mode; nothing else of the characterization changed.
    void MirrorModeChanged(bool on);

private slots:
    void CheckGeometry();

private:
    bool RefreshRestPose();
    void RebuildAndValidate(Characterization* characterization, IDCCHub* hub);
    void AssignByNodeName(const QString& joint);
    void UnassignNode(NodeId id, bool removedFromScene, bool sceneBeingReset);
    bool FindMirrorJoint(const QString& joint, QString& mirrorJoint) const;
    QString UniqueName(const QString& base) const;
    int IndexOf(const Characterization* characterization) const;
    QString SettingsPath() const;

    IDCCHub* m_hub;
    ToolPaths* m_toolPaths;
    std::vector<CharacterizationPtr> m_characterizations;
    Characterization* m_current = nullptr;
    CharacterizationValidation m_validation;
    int m_editedPart = -1;
    bool m_mirrorMode = false;
    MatchingSettings m_matching;
    QTimer* m_timer; // child
    bool m_editedPartReadWrite = false;
    QString m_lastOperation;
    bool m_busy = false; // set while a node is cleared: sampling then reports no change
};
