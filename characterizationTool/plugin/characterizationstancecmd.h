// The host command that reports and fixes the rest pose the pose rules judge.
#pragma once

#include "script/command.h"
#include "script/syntax.h"

class Characterization;

// characterizationStance -q [-character NAME]: a string array of "RULE DEGREES" pairs, one per
//   rule whose joints are bound, RULE one of hips, leftArm, rightArm, up (StanceReport).
//   Measured on the scene's joints, or on the frozen pose of a locked characterization.
// characterizationStance -e [-character NAME]: turns joints so every rule passes
//   (StanceFixer), as one undo step, revalidates, and answers the number of joints it turned.
// The characterization is the current one without -character. No open tool, an unknown name,
// a characterization binding none of the rules' joints, and -e on a locked one each give one
// error and change nothing. The command itself holds nothing to undo: its turns are host
// statements recorded in its step.
class CharacterizationStanceCmd : public kestrel::Command
{
public:
    static const QString& CommandName();
    static kestrel::Syntax BuildSyntax();

    kestrel::Status Run(const kestrel::ArgumentList& arguments) override;

private:
    kestrel::Status Fail(const QString& message);
    QStringList Report(const Characterization& characterization) const;
};
