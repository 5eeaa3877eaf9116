// Commands a person gives through the desktop's menus, buttons and views.
#pragma once

#include "script/scriptinterpreter.h"

#include <QString>

namespace kestrel {

class Host;

// Everything a person does in the window runs as a script statement, exactly as a script would
// run it: one undo step each, errors shown by the host. So scripts, undo and every view see the
// same change.
class UserCommand
{
public:
    static ScriptResult Run(Host& host, const QString& statement);
};

} // namespace kestrel
