// The file-name suffixes that pick a diagram image for a validation status and an interaction.
#pragma once

#include <QMap>
#include <QString>

// Maps an image-state key to the suffix appended to an image base to name its file:
//
//   key  suffix             status   interaction      key  suffix             status   interaction
//    0   ".png"             not set  none              6   "_Warn_Sel.png"    warning  selected
//    1   "_Valid.png"       valid    none              7   "_Warn_Pick.png"   warning  picked
//    2   "_Warn.png"        warning  none              8   "_Valid_Sel.png"   valid    selected
//    3   "_Err.png"         error    none              9   "_Valid_Pick.png"  valid    picked
//    4   "_Err_Sel.png"     error    selected         10   "_Sel.png"         not set  selected
//    5   "_Err_Pick.png"    error    picked           11   "_Pick.png"        not set  picked
//
// Keys 0-3 equal the validation status values, so a status is its own base-image key. Selected
// is the read-only edited part, picked the read-write one. Copied by value into every item.
class StateRepresentation
{
public:
    // Interaction states of a diagram item.
    static constexpr int kNoInteraction = 0;
    static constexpr int kSelected = 1;
    static constexpr int kPicked = 2;
    // Number of keys; also the "no image yet" validation state of a new item.
    static constexpr int kKeyCount = 12;

    // Fills the twelve entries above.
    StateRepresentation();
    virtual ~StateRepresentation();

    // Suffix of key; "" for any key outside 0-11.
    QString Suffix(int key) const;

    // imageBase + Suffix(key); "" when the key has no suffix.
    QString ImageName(const QString& imageBase, int key) const;

    // Key of the overlay drawn over the base image of a part in validation state
    // validationState (0-3) with interaction (kSelected or kPicked); -1 when nothing is drawn
    // over the base image (no interaction, or a state outside 0-3).
    static int OverlayKey(int validationState, int interaction);

private:
    QMap<int, QString> m_suffixes;
};
