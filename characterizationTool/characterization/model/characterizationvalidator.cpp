#include "characterizationvalidator.h"

#include "solver/nodenames.h"

#include <locale>
#include <sstream>

CharacterizationValidator::~CharacterizationValidator() = default;

void CharacterizationValidator::Translation(const kinetra::Character* character, NodeId id,
                                            float (&out)[4])
{
    float rotation[4];
    float scaling[4];
    kinetra::GetCharacterNodeTransform(character, id, out, rotation, scaling);
}

std::string CharacterizationValidator::Name(NodeId id)
{
    return kinetra::NodeName(id);
}

std::string CharacterizationValidator::FormatNumber(double value)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.setf(std::ios::fixed | std::ios::showpoint);
    stream.precision(6);
    stream << value;
    return stream.str();
}
