// The panel's save action: a characterization file and its bone correspondence file.
#pragma once

class CharacterizationModel;

// Asks for a file name, byte order and whether to keep rotation limits, then writes the
// current characterization. Does nothing, without a message, unless the characterization is
// valid or only warned about. Each file that cannot be written is named on the host's warning
// output; no message box is shown.
class SaveCharacterizationAction
{
public:
    // The text of the check box added to the file dialog.
    static const char* const kSaveLimitsText;

    static void Run(CharacterizationModel& model);
};
