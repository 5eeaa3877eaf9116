#include "mappingeditmenu.h"

#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "showcenteredmessagebox.h"

#include <QMenu>
#include <QPoint>

void MappingEditMenu::Exec(QObject* context, const State& state, const Actions& actions,
                           const QPoint& globalPosition)
{
    // Not parented: the host may close the panel while the menu runs its own event loop, and
    // the menu must not go with it mid-run.
    QMenu menu;
    const auto add = [&](const QString& text, const std::function<void()>& action, bool on) {
        menu.addAction(text, context, action)->setEnabled(on);
    };
    const bool editable = state.editable;
    add(tr("Assign Selected Bone"), actions.assign, state.hasSelection && state.onSlot && editable);
    add(tr("Change Assigned Bone..."), actions.change, state.onSlot && editable);
    add(tr("Auto Characterize"), actions.autoCharacterize, editable);
    add(tr("Fix Stance"), actions.fixStance, editable);
    menu.addSeparator();
    add(tr("Clear"), actions.clear, state.clearable && editable);
    if (actions.clearView)
        add(tr("Clear All in View"), actions.clearView, editable);
    add(tr("Clear All"), actions.clearAll, editable);
    menu.addSeparator();
    add(tr("Invert Joint"), actions.invert, editable && state.invertible);
    menu.addSeparator();
    add(actions.otherViewTitle, actions.otherView, true);
    menu.exec(globalPosition);
}

bool MappingEditMenu::IsPlaceholder(const IDCCHub* hub, const CharacterizationModel& model)
{
    const Characterization* current = model.CurrentCharacterization();
    return hub && current && current->Name() == IDCCHub::GetNoneName();
}

bool MappingEditMenu::MayEdit(QWidget* parent, const IDCCHub* hub,
                              const CharacterizationModel& model, const QString& notCreatedText)
{
    if (IsPlaceholder(hub, model)) {
        ShowCenteredMessageBox(QMessageBox::Warning, tr("Characterization Not Created"),
                               notCreatedText, parent, QMessageBox::Ok);
        return false;
    }
    if (model.IsLocked()) {
        ShowCenteredMessageBox(QMessageBox::Warning, tr("Characterization Locked"),
                               tr("The current characterization is locked.\nYou must unlock it "
                                  "before you can edit its bone mappings."),
                               parent, QMessageBox::Ok);
        return false;
    }
    return true;
}
