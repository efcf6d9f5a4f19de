// Counts the GDI objects that this program creates and has not yet deleted,
// by routing its own imports of the GDI creation and deletion functions
// through counting wrappers. Wine's GetGuiResources answers 0 whatever is
// alive, so this is the measure a leak test can rely on there.
#pragma once

namespace gdi_counter {

// Patches the program's import table once; FALSE when it could not.
bool Install();
// Objects created through the program's imports and not yet released.
int LiveObjects();

} // namespace gdi_counter
