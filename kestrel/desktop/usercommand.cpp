#include "desktop/usercommand.h"

#include "host.h"

namespace kestrel {

ScriptResult UserCommand::Run(Host& host, const QString& statement)
{
    ExecuteOptions options;
    options.undoable = true;
    return host.GetInterpreter().Execute(statement, options);
}

} // namespace kestrel
