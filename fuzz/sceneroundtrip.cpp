#include "sceneroundtrip.h"

#include "fuzzcheck.h"

#include "io/scenedescription.h"
#include "io/scenejsonreader.h"
#include "io/scenejsonwriter.h"
#include "scene/scene.h"

#include <QString>

#include <cstdio>

void CheckSceneRoundTrip(const kestrel::SceneDescription& description)
{
    QString error;
    kestrel::Scene scene;
    const bool built = description.BuildInto(scene, &error) == kestrel::Status::Success;
    if (!built)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    FuzzCheck(built, "an accepted description builds into an empty scene");

    const kestrel::SceneDescription captured = kestrel::SceneDescription::Capture(scene);
    FuzzCheck(captured.nodes.size() == description.nodes.size() &&
                  captured.connections.size() == description.connections.size(),
              "the scene holds every described node and connection");

    const QByteArray json = kestrel::SceneJsonWriter::ToJson(captured);
    kestrel::SceneDescription reread;
    const bool readBack = kestrel::SceneJsonReader::Read(json, &reread, &error);
    if (!readBack)
        std::fprintf(stderr, "%s\n%s\n", qPrintable(error), json.constData());
    FuzzCheck(readBack, "a saved scene reads back");
    FuzzCheck(reread.nodes.size() == captured.nodes.size() &&
                  reread.connections.size() == captured.connections.size(),
              "a saved scene reads back whole");
}
