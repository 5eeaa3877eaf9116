// The host command through which host scripts drive the tool.
#pragma once

#include "script/command.h"
#include "script/syntax.h"

#include <QString>

namespace kestrel {
class ParsedArguments;
}

// characterizationToolUICmd: without flags opens the panel; in edit mode runs tool actions
// (each flag at once, in a fixed order); in query mode answers questions about the current
// characterization. Works on the live hub; without one, actions do nothing and queries give
// their empty answers. One object per invocation.
class CharacterizationToolUICmd : public kestrel::Command
{
public:
    // The pending action: what Redo performs.
    enum Action
    {
        SetCharacterList = 0,
        ToggleMirror = 1,
        ConfigureMirror = 2,
        MapBones = 3,
        ExtractMapping = 4,
        DeleteCurrent = 5,
        DeleteAll = 6,
        AssignNode = 7,
        ToggleLock = 8,
        SetCurrentName = 9,
        InvertBone = 10,
        SaveCharacterization = 11,
        DeleteTool = 12,
        NoAction = 13,
    };

    static kestrel::Syntax BuildSyntax();

    kestrel::Status Run(const kestrel::ArgumentList& arguments) override;
    kestrel::Status Redo() override;
    // Takes back a mirror toggle; every other action stays.
    kestrel::Status Undo() override;
    bool IsUndoable() const override { return true; }

private:
    kestrel::Status OpenPanel();
    bool CheckArguments(const kestrel::ParsedArguments& parsed) const;
    kestrel::Status RunEditFlags(const kestrel::ParsedArguments& parsed);
    void AnswerQueries(const kestrel::ParsedArguments& parsed);
    kestrel::Status PerformAction();

    bool m_forceUpdate = false;
    int m_pendingAction = NoAction;
    QString m_characterList;
    QString m_characterName;
    int m_nodeId = -1;
    QString m_hostNodeName;
    int m_inversionIndex = -1;
    bool m_inversionState = false;
    bool m_mirrorUndo = false;
};
