// The hub's non-virtual helpers: the tool command's way into the tool and its model. They drive
// the panel, so they are built with the Kestrel hub on top of the UI library, not into the core.
#include "charactertool.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "solver/noderestate.h"

namespace {

CharacterizationModel* ModelOf(const CharacterTool* tool)
{
    return tool ? tool->Model() : nullptr;
}

// Index of the first characterization named exactly `name`, or -1.
int IndexOfCharacter(const CharacterizationModel& model, const QString& name)
{
    for (int i = 0; i < model.CharacterizationCount(); ++i) {
        if (model.CharacterizationAt(i)->Name() == name)
            return i;
    }
    return -1;
}

// Runs the panel's deletion of the current characterization with the question switched on or
// off for this one call. The box runs an event loop in which the host may end the tool.
void DeleteCurrentWithQuestion(const QPointer<CharacterTool>& tool, bool ask)
{
    tool->SetAskBeforeDelete(ask);
    tool->OnDelete();
    if (tool)
        tool->SetAskBeforeDelete(true);
}

} // namespace

bool IDCCHub::HasCharacter(const QString& name) const
{
    const CharacterizationModel* model = ModelOf(Tool());
    return model && !name.isEmpty() && IndexOfCharacter(*model, name) >= 0;
}

bool IDCCHub::SetCurrentCharacter(const QString& name)
{
    CharacterizationModel* model = ModelOf(Tool());
    if (!model || !HasCharacter(name))
        return false;
    model->SetCurrentCharacterization(IndexOfCharacter(*model, name));
    return true;
}

bool IDCCHub::GetCharacterList(QStringList& names) const
{
    names.clear();
    const CharacterizationModel* model = ModelOf(Tool());
    if (!model)
        return false;
    for (int i = 0; i < model->CharacterizationCount(); ++i)
        names << model->CharacterizationAt(i)->Name();
    return true;
}

void IDCCHub::SetCharacterList(const QStringList& names)
{
    CharacterTool* tool = Tool();
    CharacterizationModel* model = ModelOf(tool);
    if (!model)
        return;
    // Each one is made current before it goes, so the removal takes exactly that one.
    for (int i = model->CharacterizationCount() - 1; i >= 0; --i) {
        model->SetCurrentCharacterization(i);
        if (names.isEmpty() || !names.contains(model->CurrentCharacterization()->Name()))
            model->RemoveCurrentCharacterization();
    }
    for (const QString& name : names) {
        if (!name.isEmpty())
            tool->CreateCharacterization(name);
    }
    // The model must always have a current characterization; the removals above may have
    // left none.
    if (model->CharacterizationCount() == 0)
        model->CreateNewCharacterization();
    else
        model->SetCurrentCharacterization(model->CharacterizationCount() - 1);
}

QString IDCCHub::GetCurrentCharacterName() const
{
    const CharacterizationModel* model = ModelOf(Tool());
    const Characterization* current = model ? model->CurrentCharacterization() : nullptr;
    if (!current || current->Name() == GetNoneName())
        return QString();
    return current->Name();
}

bool IDCCHub::AssignNode(const QString& characterName, int nodeId, const QString& object,
                         bool refresh)
{
    CharacterizationModel* model = ModelOf(Tool());
    if (characterName.isEmpty() || !model || !IsNodeId(nodeId))
        return false;
    if (refresh)
        model->Revalidate();
    const int index = IndexOfCharacter(*model, characterName);
    if (index < 0)
        return false;
    Characterization* characterization = model->CharacterizationAt(index);
    const QString old = characterization->JointName(nodeId);
    if (!old.isEmpty())
        RemoveNodeCallbacks(old);
    if (object.isEmpty()) {
        characterization->ClearNode(nodeId);
    } else {
        characterization->SetJointName(nodeId, object);
        AddNodeCallbacks(object);
    }
    return true;
}

bool IDCCHub::IsLocked() const
{
    const CharacterizationModel* model = ModelOf(Tool());
    return model && model->IsLocked();
}

bool IDCCHub::GetMirrorToggle() const
{
    const CharacterizationModel* model = ModelOf(Tool());
    return model && model->IsMirrorMode();
}

void IDCCHub::ToggleMirrorMatch()
{
    if (ModelOf(Tool()))
        Tool()->ToggleMirrorMode();
}

void IDCCHub::ConfigureMirrorMatch()
{
    if (ModelOf(Tool()))
        Tool()->ConfigMirror();
}

void IDCCHub::MapBones()
{
    if (ModelOf(Tool()))
        Tool()->AutoMatch();
}

void IDCCHub::AutoCharacterize()
{
    if (ModelOf(Tool()))
        Tool()->AutoCharacterize();
}

void IDCCHub::ExtractMapping()
{
    if (ModelOf(Tool()))
        Tool()->ExtractTemplate();
}

void IDCCHub::SaveCharacterization()
{
    if (ModelOf(Tool()))
        Tool()->OnSave();
}

void IDCCHub::ToggleLock(bool refresh)
{
    CharacterizationModel* model = ModelOf(Tool());
    if (!model)
        return;
    if (refresh)
        model->Revalidate();
    Tool()->ToggleEditMode();
}

void IDCCHub::DeleteCurrentCharacter()
{
    if (ModelOf(Tool()))
        DeleteCurrentWithQuestion(m_tool, true);
}

bool IDCCHub::DeleteCharacterByName(const QString& name, bool confirm)
{
    const QPointer<CharacterTool> tool = m_tool;
    CharacterizationModel* model = ModelOf(tool);
    if (!model)
        return false;
    const int index = IndexOfCharacter(*model, name);
    if (index < 0)
        return false;
    if (model->CurrentCharacterization()->Name() == name) {
        DeleteCurrentWithQuestion(tool, confirm);
        return true;
    }
    const QString before = GetCurrentCharacterName();
    model->SetCurrentCharacterization(index);
    DeleteCurrentWithQuestion(tool, confirm);
    // Finds nothing when the tool went away during the question.
    SetCurrentCharacter(before);
    return true;
}

bool IDCCHub::DeleteAllCharacters(bool confirm)
{
    QStringList names;
    if (!GetCharacterList(names))
        return false;
    for (const QString& name : names) {
        if (!DeleteCharacterByName(name, confirm))
            return false;
    }
    return true;
}

int IDCCHub::GetStatus(bool refresh)
{
    CharacterizationModel* model = ModelOf(Tool());
    if (!model)
        return 1;
    if (refresh)
        model->Revalidate();
    switch (model->OverallValidation().status) {
    case ValidationStatus::Valid:
        return 0;
    case ValidationStatus::NotSet:
        return 1;
    case ValidationStatus::Warning:
        return 2;
    case ValidationStatus::Error:
        return 3;
    }
    return 1;
}

bool IDCCHub::SetInversionState(const QString& characterName, int index, bool inverted)
{
    CharacterizationModel* model = ModelOf(Tool());
    if (!model)
        return false;
    const int found = IndexOfCharacter(*model, characterName);
    if (found < 0)
        return false;
    kinetra::SetInversionFlag(model->CharacterizationAt(found)->InversionFlags(), index,
                              inverted ? 1u : 0u);
    return true;
}
