// Choices that apply to every skeleton file import (axis convention of the file).
#pragma once

namespace kestrel {

// Which axis of the file points up. The host scene is Y-up; a Z-up file is turned by -90
// degrees about x (file +Z becomes host +Y, file +Y becomes host -Z) at its top-level nodes,
// so every other local transform keeps the file's own values.
enum class UpAxis
{
    FromFile, // the file's own axis information, or its format's fixed convention
    Y,        // taken as it is
    Z,        // converted from Z-up
};

struct ImportOptions
{
    UpAxis upAxis = UpAxis::FromFile;
};

} // namespace kestrel
