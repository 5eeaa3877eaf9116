#include "commands/builtincommands.h"

namespace kestrel {

void RegisterBuiltinCommands(Host& host)
{
    RegisterGeneralCommands(host);
    RegisterFileCommands(host);
    RegisterNodeCommands(host);
    RegisterAttributeCommands(host);
    RegisterTransformCommands(host);
    RegisterUiCommands(host);
    RegisterCharacterProcedures(host);
}

} // namespace kestrel
