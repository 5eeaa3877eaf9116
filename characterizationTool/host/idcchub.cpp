#include "idcchub.h"

IDCCHub::IDCCHub(QObject* parent)
    : QObject(parent)
{}

IDCCHub::~IDCCHub() = default;

void IDCCHub::HostValidate(ValidationResult&) {}

bool IDCCHub::IsNodeSupported(int)
{
    return true;
}

void IDCCHub::SetCharacterObject(const QString&, const QString&, const QString&, int, bool) {}

void IDCCHub::DeleteCharacter(const QString&) {}

void IDCCHub::UpdateCharacterControlsUI() {}

void IDCCHub::AddCharacterizationNodeCallbacks(const QString&) {}

void IDCCHub::RemoveCharacterizationNodeCallbacks(const QString&) {}

void IDCCHub::InvertBone(int, bool) {}

bool IDCCHub::LoadInversionStates(const QString&)
{
    return false;
}

QString IDCCHub::CleanNodeName(const QString& hostName)
{
    return hostName;
}

void IDCCHub::WarnFileNotWritten(const QString&) {}

bool IDCCHub::BindAsOneStep(const QString&, const QVector<QPair<int, QString>>&)
{
    return false;
}

QString IDCCHub::GetNoneName()
{
    return QStringLiteral("--- None ---");
}

void IDCCHub::SetCharacterState(KNTCharacter*, KNTCharacterState*) {}
