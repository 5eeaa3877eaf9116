// The host's character nodes and the procedures that maintain them.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace kestrel {

class Node;
class Scene;

// A character node mirrors one characterization of the tool. It carries the bool attributes
// "InputCharacterizationLock", "leftKneeInverted", "rightKneeInverted", "leftElbowInverted"
// and "rightElbowInverted", and one message attribute per mapped slot, named after the
// solver's node name of the slot ("Hips", "LeftArm", ...). A mapped joint's message attribute
// "Character" is connected to that slot attribute.
//
// The host remembers a current character: the one last created or given to
// setCharacterObject; characterizationInvertBone works on it.
class KESTREL_EXPORT CharacterNodes
{
public:
    explicit CharacterNodes(Scene& scene);

    // The five bool attributes every character node carries, in order.
    static QStringList StandardAttributes();
    // The solver node name of a slot (0..211), or empty.
    static QString SlotName(int nodeId);
    // The slot (0..211) a slot attribute names, or -1.
    static int SlotId(const QString& slotName);
    // True when the character node has the bool attribute and it is on.
    static bool FlagSet(const Node& character, const QString& attribute);
    // "leftKneeInverted" for 3, "rightKneeInverted" for 6, "leftElbowInverted" for 10,
    // "rightElbowInverted" for 13; empty for any other slot.
    static QString InversionAttribute(int partNodeId);

    // A new character node with the standard attributes; it becomes current.
    Node* Create(const QString& name, QString* error);
    // The character node of that name, or nullptr (also for other node types).
    Node* Find(const QString& name) const;
    // The current character node, or nullptr.
    Node* Current() const;
    void ForgetCurrent() { m_currentId = 0; }
    // Makes a character node current (nullptr: none). Not a scene change: nothing to undo.
    void SetCurrent(const Node* character);
    // The character node a joint's "Character" attribute leads to (its first outgoing
    // connection), or nullptr.
    Node* CharacterOf(const Node& joint) const;
    // The joint mapped to a slot of a character node, or nullptr.
    Node* ObjectOf(const Node& character, int nodeId) const;

    // setCharacterObject("obj","char",nodeId,flag): maps slot `nodeId` of character `character`
    // (created when missing) to transform `object`, replacing whatever the slot held; an empty
    // object unmaps the slot. The joint gets a "Character" message attribute if it has none.
    // `flag` is accepted and not used. The character becomes current. A slot that already holds
    // exactly `object` is left as it is, so repeating a binding changes nothing in the scene.
    Status SetCharacterObject(const QString& object, const QString& character, int nodeId,
                              QString* error);
    // deleteCharacter("char"): removes the character node (and with it its connections).
    Status DeleteCharacter(const QString& character, QString* error);
    // characterizationInvertBone(nodeId, 0|1): sets the inversion attribute of slot 3, 6, 10
    // or 13 on the current character.
    Status InvertBone(int partNodeId, bool inverted, QString* error);
    // CreateCharacterFromCurrentCharacter(): a new character node "Character<n>" (lowest free
    // n), current from now on. Returns it, or nullptr with `error`.
    Node* CreateFromCurrent(QString* error);
    // lockCharacter("char", 0|1): sets "InputCharacterizationLock". Locking also stores, for
    // every mapped slot N, the mapped joint's world pose: doubles N+"Tx" N+"Ty" N+"Tz" (world
    // translation), N+"Rx" N+"Ry" N+"Rz" (Euler angles in radians of the joint's world
    // rotation, in its own rotation order), N+"Sx" N+"Sy" N+"Sz" (world scale), and the int
    // N+"RotateOrder" (0 xyz ... 5 zyx). Unlocking leaves the stored pose in place.
    Status Lock(const QString& character, bool locked, QString* error);

    // The host's character controls (a desktop's tool bar and menu) register here to be
    // refreshed whenever the tool reports a change (kntUpdateCharacterControlsUICallback).
    using RefreshCallback = std::function<void()>;
    int AddControlsRefreshCallback(RefreshCallback callback);
    void RemoveControlsRefreshCallback(int id);
    void RefreshControls();

private:
    Node* RequireCharacter(const QString& name, QString* error) const;
    Status StorePose(Node* character, QString* error);

    Scene& m_scene;
    quint64 m_currentId = 0;
    std::map<int, RefreshCallback> m_refreshCallbacks;
    int m_nextRefreshId = 1;
};

} // namespace kestrel
