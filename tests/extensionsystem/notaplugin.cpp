// A shared library without plug-in metadata.
extern "C" int NotAPluginAnswer()
{
    return 42;
}
