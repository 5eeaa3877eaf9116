// Reads a Kestrel JSON scene file into a scene description.
#pragma once

#include "kestrelexport.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

class SceneDescription;

// The format is described at the top of scenejsonwriter.cpp.
class KESTREL_EXPORT SceneJsonReader
{
public:
    // Parses and validates `data`. False with `error` naming the line and column of a syntax
    // error, or the node and key at fault; `description` is then unspecified.
    static bool Read(const QByteArray& data, SceneDescription* description, QString* error);
};

} // namespace kestrel
