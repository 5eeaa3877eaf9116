// The check shared by the scene file fuzz targets: whatever a reader accepts must load into a
// scene and survive being saved and read again.
#pragma once

namespace kestrel {
class SceneDescription;
}

// Builds `description` (accepted by a reader) into a fresh scene, captures it, writes it as
// JSON and reads that back. Aborts through FuzzCheck when any step fails or the node and
// connection counts change.
void CheckSceneRoundTrip(const kestrel::SceneDescription& description);
