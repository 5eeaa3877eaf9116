// Registration of every command the host itself offers.
#pragma once

namespace kestrel {

class Host;

// Registers the built-in commands and the character-node procedures (called by Host).
void RegisterBuiltinCommands(Host& host);

// Each group, defined next to its commands.
void RegisterGeneralCommands(Host& host);
void RegisterFileCommands(Host& host);
void RegisterNodeCommands(Host& host);
void RegisterAttributeCommands(Host& host);
void RegisterTransformCommands(Host& host);
void RegisterUiCommands(Host& host);
void RegisterCharacterProcedures(Host& host);

} // namespace kestrel
