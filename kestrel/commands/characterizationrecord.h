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
};

} // namespace kestrel
