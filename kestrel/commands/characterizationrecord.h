// What a characterization holds, read from the scene's character nodes or from the tool.
#pragma once

#include "kestrelexport.h"

#include <QString>

#include <array>
#include <map>
#include <vector>

namespace kestrel {

class CharacterNodes;
class Scene;

// One characterization: its bound slots (slot id 0..211 -> joint name), its four inversion
// flags (left knee, right knee, left elbow, right elbow) and its lock.
struct CharacterRecord
{
    QString name;
    std::map<int, QString> bindings;
    std::array<bool, 4> inverted{};
    bool locked = false;

    // Nothing bound, inverted or locked: such a characterization needs no character node.
    bool IsEmpty() const;
    bool SameContent(const CharacterRecord& other) const;
};

// Every characterization and which one is current. The scene's record lists its character
// nodes in scene order; the tool's lists its characterizations in list order and carries the
// tool's mirror switch, which has no place in the scene.
class KESTREL_EXPORT CharacterizationRecord
{
public:
    std::vector<CharacterRecord> characters;
    QString current;
    bool mirror = false;

    // The record the scene's character nodes hold; `current` is the host's current character.
    static CharacterizationRecord FromScene(const Scene& scene, const CharacterNodes& nodes);
    // Reads the tool's answer to characterizationToolRecord. False for an empty or broken text
    // (no tool is open).
    static bool FromToolAnswer(const QString& json, CharacterizationRecord* record);

    // The characterization of that name, or nullptr.
    const CharacterRecord* Find(const QString& name) const;
    // The characterization of that name, or an empty one of that name.
    CharacterRecord Or(const QString& name) const;
    // True when both hold the same non-empty characterizations, order aside. Empty ones are
    // not compared: the tool keeps some (its placeholder, names from scripts) that never need
    // a node.
    bool Agrees(const CharacterizationRecord& other) const;
    // One line per non-empty characterization, for messages: "Hero locked inv=0100 1:Hips ...".
    QString Describe() const;
};

} // namespace kestrel
