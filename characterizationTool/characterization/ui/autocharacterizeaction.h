// The panel's "Auto Characterize" action: propose, review, apply.
#pragma once

class CharacterizationModel;
class QWidget;

// Reads the host's skeleton through the model's hub, proposes a characterization and shows
// it in the review dialog; the ticked rows are applied to the current characterization in one
// go. A locked characterization, a scene without joints and a skeleton that is not a biped
// get a warning box instead, and nothing changes.
class AutoCharacterizeAction
{
public:
    static void Run(QWidget* parent, CharacterizationModel& model);
};
