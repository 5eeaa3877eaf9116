#include "savecharacterizationaction.h"

#include "files/characterizationfile.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLayout>

const char* const SaveCharacterizationAction::kSaveLimitsText = "Save rotation limits";

void SaveCharacterizationAction::Run(CharacterizationModel& model)
{
    const ValidationStatus status = model.OverallValidation().status;
    if (status != ValidationStatus::Valid && status != ValidationStatus::Warning)
        return;

    // Qt's own dialog: a native one could not take the check box.
    QFileDialog dialog(nullptr, QString(), QString(), QString());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* saveLimits = new QCheckBox(QFileDialog::tr(kSaveLimitsText), &dialog);
    saveLimits->setChecked(true);
    if (QLayout* layout = dialog.layout())
        layout->addWidget(saveLimits);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setNameFilters({CharacterizationFileTypes::BigEndianFilter(),
                           CharacterizationFileTypes::LittleEndianFilter()});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    const QString selected = dialog.selectedFiles().first();
    const QString bonesPath = BoneCorrespondencePath(selected);
    const QString filter = dialog.selectedNameFilter();
    bool bigEndian = false;
    if (filter == CharacterizationFileTypes::BigEndianFilter())
        bigEndian = true;
    else if (filter != CharacterizationFileTypes::LittleEndianFilter())
        return;
    const QStringList unwritten = WriteBinaryCharacterization(
        *model.CurrentCharacterization(), CharacterizationFilePath(selected), bonesPath, bigEndian,
        saveLimits->isChecked());
    if (IDCCHub* hub = model.Hub()) {
        for (const QString& path : unwritten)
            hub->WarnFileNotWritten(path);
    }
}
