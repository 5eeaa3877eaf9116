// Fuzz target: the XML key/value store behind the settings file, naming templates and bone
// correspondence files. Each input is a file on disk that is read the way the tool reads it,
// written back the way the mirror dialog and the template writer do, and read once more.
#include "fuzzcheck.h"

#include "files/settingsdocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_folder;

struct Contents
{
    QString matchType;
    QStringList delimiters;
    KeyValueList mirrors;
    FlaggedList matches;
    QStringList bones;
};

Contents ReadContents(const SettingsDocument& document)
{
    Contents c;
    c.matchType = document.GetString(QStringLiteral("name_match"), QStringLiteral("match_type"),
                                     QStringLiteral("Suffix"));
    document.GetStringList(QStringLiteral("name_match"), QStringLiteral("delimiter_list"),
                           c.delimiters);
    document.GetKeyValueList(QStringLiteral("mirror"), QStringLiteral("mirror_list"), c.mirrors);
    document.GetFlaggedList(QString(), QStringLiteral("match_list"), QStringLiteral("use_root"),
                            true, c.matches);
    document.GetStringList(QString(), QStringLiteral("bone_correspondance"), c.bones);
    return c;
}

bool SameItems(const FlaggedList& a, const FlaggedList& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].Key != b[i].Key || a[i].Value != b[i].Value || a[i].Flag != b[i].Flag)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_folder = std::make_unique<QTemporaryDir>();
    FuzzCheck(g_folder->isValid(), "a temporary folder for the input files");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = g_folder->filePath(QStringLiteral("input.xml"));
    {
        QFile file(path);
        FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file opens");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    Contents written;
    bool saved = false;
    {
        SettingsDocument document(path);
        written = ReadContents(document);
        // Every list is rewritten with what was read from it: the next read must find the
        // same values, whatever else the file held.
        saved = document.SetString(QStringLiteral("name_match"), QStringLiteral("match_type"),
                                   written.matchType) &&
                document.SetKeyValueList(QStringLiteral("mirror"), QStringLiteral("mirror_list"),
                                         written.mirrors) &&
                document.SetFlaggedList(QString(), QStringLiteral("match_list"),
                                        QStringLiteral("use_root"), true, written.matches) &&
                document.SetStringList(QString(), QStringLiteral("bone_correspondance"),
                                       written.bones) &&
                document.Save();
    }
    if (!saved)
        return 0;

    const SettingsDocument reopened(path);
    const Contents reread = ReadContents(reopened);
    FuzzCheck(reread.matchType == written.matchType, "a written string reads back");
    FuzzCheck(reread.delimiters == written.delimiters, "an untouched list survives a save");
    FuzzCheck(reread.mirrors == written.mirrors, "a written key/value list reads back");
    FuzzCheck(SameItems(reread.matches, written.matches), "a written flagged list reads back");
    FuzzCheck(reread.bones == written.bones, "a written string list reads back");
    return 0;
}
