// The editing menu and edit guard the body diagram and the node tree share.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class CharacterizationModel;
class IDCCHub;
class QObject;
class QPoint;
class QWidget;

// One job: what both views offer on a right click, and what both refuse (with the same boxes)
// while the current characterization cannot be edited. The views differ only in what a slot
// is to them and in their one extra entry, so they pass those in.
class MappingEditMenu
{
    Q_DECLARE_TR_FUNCTIONS(MappingEditMenu)

public:
    // What the click landed on and what the panel allows.
    struct State
    {
        bool editable = false;     // unlocked, and not the placeholder characterization
        bool onSlot = false;       // the click is on a slot that can take a joint
        bool clearable = false;    // the click is on something Clear works on
        bool hasSelection = false; // the host has a selected transform to assign
        bool invertible = false;   // the slot is a knee or an elbow
    };

    // What each entry does. `clearView` is left empty by views that have no page to clear;
    // `otherView` names the entry that switches to the other view.
    struct Actions
    {
        std::function<void()> assign, change, autoCharacterize, fixStance, clear, clearView,
            clearAll, invert, otherView;
        QString otherViewTitle;
    };

    // Runs the menu at `globalPosition`. The entries reach `context`'s functions only while it
    // lives: the host may close the panel while the menu runs its own event loop.
    static void Exec(QObject* context, const State& state, const Actions& actions,
                     const QPoint& globalPosition);

    // True when the current characterization is the placeholder that stands for none (only a
    // panel with a hub has one).
    static bool IsPlaceholder(const IDCCHub* hub, const CharacterizationModel& model);

    // True when the current characterization may be edited; otherwise shows why in a box over
    // `parent` and answers false. `notCreatedText` is the view's own wording for the
    // placeholder case.
    static bool MayEdit(QWidget* parent, const IDCCHub* hub, const CharacterizationModel& model,
                        const QString& notCreatedText);
};
