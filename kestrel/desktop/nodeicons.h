// The small pictures that tell the outliner's joints, transforms and character nodes apart.
#pragma once

#include <QIcon>

namespace kestrel {

// Icons drawn by code at 16 and 32 pixels. Each kind differs in shape, not only in colour:
// a joint is a ring with a bone leaving it, a transform a pair of axes, a character node a
// small figure. Needs a QGuiApplication.
class NodeIcons
{
public:
    static QIcon Joint();
    static QIcon Transform();
    static QIcon Character();
};

} // namespace kestrel
