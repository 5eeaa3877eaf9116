// The one interface through which the tool reaches the host scene, and its signals back.
#pragma once

#include "nodetransformrecord.h"

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class CharacterTool;
class ValidationResult;

namespace kinetra {
struct Character;
struct CharacterState;
} // namespace kinetra

using KNTCharacter = kinetra::Character;
using KNTCharacterState = kinetra::CharacterState;

// Everything the tool needs from the host goes through this interface, and everything the
// host tells the tool arrives as one of its signals, on the UI thread. The tool, its model
// and its views hold a plain non-owning pointer to the hub. The hub holds the tool it serves
// as a weak pointer (set by the tool's constructor); it never deletes it.
class IDCCHub : public QObject
{
    Q_OBJECT

public:
    explicit IDCCHub(QObject* parent = nullptr);
    ~IDCCHub() override;

    // Display name of the host application.
    virtual const QString& GetHostName() const = 0;
    // Re-reads the selected transform nodes in selection order. The list is the hub's and is
    // replaced on the next call.
    virtual const QStringList& GetSelectedTransforms() = 0;
    // True when a node of that name exists and is a transform (joints are transforms).
    virtual bool IsTransform(const QString& node) = 0;
    // Fills `record` for the node (world space when `worldSpace`); `nodeId` is the slot the
    // node is bound to or -1. Non-zero when filled; the record is untouched otherwise.
    virtual int GetNodeTransform(const QString& node, int nodeId, NodeTransformRecord& record,
                                 bool worldSpace) = 0;
    // True with the parent's name; false with an empty name for a non-transform or a node
    // directly under the scene root.
    virtual bool GetParentName(const QString& node, QString& parent) = 0;
    // Watch the node: a rename emits NameChanged, a removal NodeRemoved.
    virtual void AddNodeCallbacks(const QString& node) = 0;
    // Drop every watch on that node name.
    virtual void RemoveNodeCallbacks(const QString& node) = 0;
    // Clears `names` and fills it with every transform of the scene.
    virtual void GetAllTransforms(QStringList& names) = 0;
    // Makes the node the only selection; nothing when it does not exist.
    virtual void SelectNode(const QString& node) = 0;
    // The host's own verdict on the characterization. The caller hands in a Valid result with
    // no message; the default keeps it.
    virtual void HostValidate(ValidationResult& result);
    // Whether the host offers solver node `nodeId`.
    virtual bool IsNodeSupported(int nodeId);
    // Slot `nodeId` of character `characterName` is now bound to `object` ("" = unbound);
    // `previousObject` is what it held before; `flag` is passed through to the host.
    virtual void SetCharacterObject(const QString& previousObject, const QString& object,
                                    const QString& characterName, int nodeId, bool flag);
    // The tool deleted the named characterization.
    virtual void DeleteCharacter(const QString& characterName);
    // Asks the host to refresh its character controls.
    virtual void UpdateCharacterControlsUI();
    // Watch the characterization's host node for renames and removal.
    virtual void AddCharacterizationNodeCallbacks(const QString& characterName);
    virtual void RemoveCharacterizationNodeCallbacks(const QString& characterName);
    // The knee or elbow of node 3, 6, 10 or 13 is now inverted or not.
    virtual void InvertBone(int partNodeId, bool inverted);
    // Reads the four inversion flags of the characterization from the host into the model;
    // true when the host node was found.
    virtual bool LoadInversionStates(const QString& characterName);
    // The short name the tool shows and matches for a host node name.
    virtual QString CleanNodeName(const QString& hostName);
    // A file the tool meant to write could not be written: one line on the host's warning
    // output naming the absolute path. Hubs without such an output drop it.
    virtual void WarnFileNotWritten(const QString& path);
    // Binds each (node id, host joint) pair in the named characterization as one step the host
    // can take back. False when this hub has no such step, and the caller binds them itself.
    virtual bool BindAsOneStep(const QString& characterName,
                               const QVector<QPair<int, QString>>& bindings);

    // The tool this hub serves; set by the tool's constructor, never owned. Null once the
    // tool is gone. Defined inline in charactertool.h, beside the one type they need.
    void SetTool(CharacterTool* tool);
    CharacterTool* Tool() const;

    // Name of the placeholder characterization that stands for "no character".
    static QString GetNoneName();

    // --- Helpers through which the tool command drives the tool ---
    // They reach the tool's model through Tool(). Without a tool, or with a tool that has no
    // model, each answers false, 0, an empty string or does nothing, unless stated otherwise.
    // Characterizations are found by exact name; the first of a name wins. Defined in
    // kestrel/idcchubhelpers.cpp (library characterizationKestrelHub), since they drive the
    // panel.

    // False for an empty name; true when some characterization has that name.
    bool HasCharacter(const QString& name) const;
    // Makes the first characterization of that name current; false when there is none.
    bool SetCurrentCharacter(const QString& name);
    // Replaces `names` with every characterization's name in list order; false only without
    // a model (`names` is then empty).
    bool GetCharacterList(QStringList& names) const;
    // Makes the list match `names`: keeps the characterizations named there, deletes the
    // others, adds the missing non-empty names and makes the last one current. An empty list
    // deletes all and leaves one new default characterization; so does a list of empty names.
    void SetCharacterList(const QStringList& names);
    // The current characterization's name; empty for none or for the placeholder name.
    QString GetCurrentCharacterName() const;
    // Records that the host bound `object` to slot `nodeId` of the named characterization
    // ("" unbinds it), moving the node watches; the host already made the change, so nothing is
    // sent back. With `refresh`, revalidates first. False for an empty or unknown name or a
    // node id outside 0..211.
    bool AssignNode(const QString& characterName, int nodeId, const QString& object, bool refresh);
    // Whether the current characterization is locked.
    bool IsLocked() const;
    // Whether mirrored assignment is on.
    bool GetMirrorToggle() const;
    // Flips mirrored assignment.
    void ToggleMirrorMatch();
    // The panel's mirror keyword dialog.
    void ConfigureMirrorMatch();
    // The panel's apply-template interaction.
    void MapBones();
    // The panel's auto-characterize interaction: propose, review, apply.
    void AutoCharacterize();
    // The panel's extract-template interaction.
    void ExtractMapping();
    // The panel's save interaction.
    void SaveCharacterization();
    // Locks or unlocks the current characterization as the panel would, boxes included. With
    // `refresh`, revalidates first.
    void ToggleLock(bool refresh);
    // Deletes the current characterization after the panel's question.
    void DeleteCurrentCharacter();
    // Deletes the named characterization, asking first when `confirm`; the current one stays
    // current unless it was the one deleted. False for an unknown name (nothing is deleted).
    bool DeleteCharacterByName(const QString& name, bool confirm);
    // Deletes every characterization in list order, stopping at the first failure; true when
    // all went. One new default characterization remains.
    bool DeleteAllCharacters(bool confirm);
    // Overall status for scripts: 0 valid, 1 nothing to judge (also without a model),
    // 2 warning, 3 error. With `refresh`, revalidates first.
    int GetStatus(bool refresh);
    // Sets inversion flag `index` (0 left knee, 1 right knee, 2 left elbow, 3 right elbow) of
    // the named characterization. True when it exists, whatever the index; an index outside
    // 0..3 changes nothing.
    bool SetInversionState(const QString& characterName, int index, bool inverted);

public slots:
    // Receives a solver character and its state; nothing in the tool emits to it.
    virtual void SetCharacterState(KNTCharacter* character, KNTCharacterState* characterState);

signals:
    void selectionChanged();
    void NodeRemoved(const QString& pNode, const bool sceneBeingReset = false);
    void NameChanged(const QString& pNewName, const QString& pOldName);
    void CharacterizationNodeRemoved(const QString& pNode);
    void CharacterizationNameChanged(const QString& pNewName, const QString& pOldName);

private:
    QPointer<CharacterTool> m_tool;
};
