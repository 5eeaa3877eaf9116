// A shared library that exports none of the plug-in entry points, for the loader's tests.
extern "C" int kestrelNotAPluginMarker()
{
    return 42;
}
