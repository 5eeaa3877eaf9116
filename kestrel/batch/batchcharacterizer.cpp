#include "batch/batchcharacterizer.h"

#include "batch/batchrunner.h"
#include "batch/characterizereport.h"
#include "host.h"
#include "io/assimpimporter.h"
#include "io/scenedocument.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "script/commandregistry.h"
#include "solver/nodenames.h"
#include "ui/batchdialoganswerer.h"
#include "ui/cachediconstyle.h"
#include "ui/uilayouts.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kestrel {

namespace {

const QString kTool = QStringLiteral("characterizationToolUICmd");
const QString kAutoMap = QStringLiteral("characterizationAutoMap");
const QString kStance = QStringLiteral("characterizationStance");
// Rows the tool proposes below this confidence are left unbound by auto-characterize.
constexpr double kBindThreshold = 0.80;
// Pixels; the page shows the diagram at this height.
constexpr int kThumbnailHeight = 160;

QString Quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// The extensions a folder search takes: the host's own formats and Assimp's, asked once each.
bool OpensSuffix(const QString& suffix)
{
    static QHash<QString, bool> known;
    const QString lower = suffix.toLower();
    auto it = known.find(lower);
    if (it == known.end()) {
        const bool opens = lower == QLatin1String("json") || lower == QLatin1String("bvh") ||
                           AssimpImporter::HandlesSuffix(lower);
        it = known.insert(lower, opens);
    }
    return it.value();
}

bool FolderIsWritable(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make the output folder \"%1\".").arg(folder);
        return false;
    }
    // Permission bits lie for root and for read-only mounts; making a file is the real test.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kestrel-probe-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("cannot write into the output folder \"%1\": %2.")
                     .arg(folder, probe.errorString());
        return false;
    }
    return true;
}

int CountJoints(const Scene& scene)
{
    int count = 0;
    for (const Node* node : scene.Nodes())
        count += node->IsJoint() ? 1 : 0;
    return count;
}

// The first joint of the scene in depth-first order: the root a naming template starts at.
const Node* FirstJoint(const std::vector<Node*>& nodes)
{
    for (const Node* node : nodes) {
        if (node->IsJoint())
            return node;
        if (const Node* joint = FirstJoint(node->Children()))
            return joint;
    }
    return nullptr;
}

CharacterizedFile::Status StatusOfWord(const QString& word)
{
    if (word == QLatin1String("valid"))
        return CharacterizedFile::Status::Valid;
    if (word == QLatin1String("warning"))
        return CharacterizedFile::Status::Warning;
    return CharacterizedFile::Status::Error; // "error", and "not set": nothing to save
}

} // namespace

QString CharacterizedFile::StatusWord(Status status)
{
    switch (status) {
    case Status::Unreadable:
        return QStringLiteral("unreadable");
    case Status::Error:
        return QStringLiteral("error");
    case Status::Refused:
        return QStringLiteral("refused");
    case Status::Warning:
        return QStringLiteral("warning");
    case Status::Valid:
        break;
    }
    return QStringLiteral("valid");
}

BatchCharacterizer::BatchCharacterizer(Host& host)
    : m_host(host)
{}

QStringList BatchCharacterizer::CollectFiles(const QStringList& inputs)
{
    QStringList files;
    for (const QString& input : inputs) {
        if (!QFileInfo(input).isDir()) {
            files << input;
            continue;
        }
        QStringList found;
        QDirIterator it(input, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            if (OpensSuffix(it.fileInfo().suffix()))
                found << QDir::cleanPath(path);
        }
        found.sort();
        files << found;
    }
    return files;
}

bool BatchCharacterizer::CheckOutputs(const CharacterizeOptions& options, QString* error)
{
    if (!options.kntcFolder.isEmpty() && !FolderIsWritable(options.kntcFolder, error))
        return false;
    for (const QString& file : {options.reportFile, options.htmlFile}) {
        if (file.isEmpty())
            continue;
        if (QFileInfo(file).isDir()) {
            *error = QStringLiteral("the report \"%1\" is a folder.").arg(file);
            return false;
        }
        if (!FolderIsWritable(QFileInfo(file).absolutePath(), error))
            return false;
    }
    return true;
}

QString BatchCharacterizer::TakeErrors()
{
    const QStringList& entries = m_host.GetErrorLog().Entries();
    const QString errors = entries.mid(m_errorMark).join(QLatin1Char(' '));
    m_errorMark = entries.size();
    return errors;
}

bool BatchCharacterizer::RunScript(const QString& text, QString* result, QStringList* list)
{
    m_errorMark = m_host.GetErrorLog().Count();
    const ScriptResult outcome = m_host.ExecuteScript(text);
    if (result)
        *result = outcome.result.ToText();
    if (list)
        *list = outcome.result.ToStringArray();
    return outcome.status == kestrel::Status::Success;
}

QString BatchCharacterizer::UniqueCharacterName(const QString& path)
{
    // Character names are node names: ASCII letters, digits and '_' ("hero-2.glb" -> hero_2).
    QString name = QFileInfo(path).completeBaseName();
    for (QChar& c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (!plain)
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name == QLatin1String("world"))
        name.prepend(QStringLiteral("character_"));
    QString unique = name;
    for (int n = 2; m_usedNames.contains(unique, Qt::CaseInsensitive); ++n)
        unique = QStringLiteral("%1_%2").arg(name).arg(n);
    m_usedNames << unique;
    return unique;
}

bool BatchCharacterizer::Run(const CharacterizeOptions& options, const QStringList& files,
                             QString* error)
{
    QElapsedTimer total;
    total.start();
    m_files.clear();
    m_usedNames.clear();
    UiLayouts& layouts = m_host.GetLayouts();
    const QString layout = QLatin1String(BatchRunner::kCharacterToolLayout);
    // One save dialog per file: its icons are decoded once for the whole batch.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        !qobject_cast<CachedIconStyle*>(QApplication::style()))
        QApplication::setStyle(new CachedIconStyle);
    // A second run in the same session finds the tool loaded and its panel open.
    const bool loaded = m_host.GetCommands().Find(kTool) != nullptr;
    if ((!layouts.FindLayout(layout) && !RunScript(QStringLiteral("createLayout ") + layout)) ||
        (!loaded && !RunScript(QStringLiteral("loadPlugin \"characterizationTool\""))) ||
        !RunScript(kTool)) {
        *error = QStringLiteral("cannot open the characterization tool: ") + TakeErrors();
        return false;
    }
    // Snapshots are written safely (synced to disk before they replace anything); scratch
    // pictures in shared memory, where available, skip the wait for the disk.
    std::unique_ptr<QTemporaryDir> scratch;
    if (!options.htmlFile.isEmpty()) {
        const bool sharedMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        scratch = std::make_unique<QTemporaryDir>(
            sharedMemory ? QStringLiteral("/dev/shm/kestrel-XXXXXX")
                         : QDir::tempPath() + QStringLiteral("/kestrel-XXXXXX"));
    }
    m_scratchFolder = scratch && scratch->isValid() ? scratch->path() : QString();
    std::unique_ptr<QTemporaryDir> staging;
    if (!options.kntcFolder.isEmpty()) {
        staging = std::make_unique<QTemporaryDir>(
            QDir(options.kntcFolder).filePath(QStringLiteral(".kestrel-saving-XXXXXX")));
        if (!staging->isValid()) {
            *error = QStringLiteral("cannot make a folder in \"%1\": %2.")
                         .arg(options.kntcFolder, staging->errorString());
            return false;
        }
    }
    m_stagingFolder = staging ? staging->path() : QString();
    for (int i = 0; i < files.size(); ++i) {
        m_files.append(Characterize(files.at(i), options));
        ReportProgress(i + 1, files.size(), m_files.last());
    }
    m_scratchFolder.clear(); // both folders go with this scope
    m_stagingFolder.clear();
    m_totalMilliseconds = total.nsecsElapsed() / 1e6;
    return true;
}

CharacterizedFile BatchCharacterizer::Characterize(const QString& path,
                                                   const CharacterizeOptions& options)
{
    QElapsedTimer timer;
    timer.start();
    CharacterizedFile row;
    row.file = path;
    m_errorMark = m_host.GetErrorLog().Count();
    if (m_host.GetDocument().Open(path) != kestrel::Status::Success) {
        row.message = TakeErrors();
        row.milliseconds = timer.nsecsElapsed() / 1e6;
        return row;
    }
    row.jointCount = CountJoints(m_host.GetScene());
    row.character = UniqueCharacterName(path);
    if (!RunScript(kTool + QStringLiteral(" -e -characterlist ") + Quoted(row.character))) {
        row.status = CharacterizedFile::Status::Error;
        row.message = TakeErrors();
    } else if (options.templateName.isEmpty() ? AutoCharacterize(row)
                                              : ApplyTemplate(row, options.templateName)) {
        if (options.fixStance &&
            !RunScript(kStance + QStringLiteral(" -e -character ") + Quoted(row.character)))
            row.message = QStringLiteral("Fix Stance: ") + TakeErrors();
        Validate(row);
        Save(row, options);
    }
    // Nothing was bound in a refused file: its diagram would only show an empty body.
    if (!m_scratchFolder.isEmpty() && row.status != CharacterizedFile::Status::Unreadable &&
        row.status != CharacterizedFile::Status::Refused)
        Snapshot(row);
    row.milliseconds = timer.nsecsElapsed() / 1e6;
    return row;
}

// Binds what the tool is sure of and keeps, for the report, the rows it was not sure of and
// the note about required slots it could not fill. A skeleton that is not a biped is refused.
bool BatchCharacterizer::AutoCharacterize(CharacterizedFile& row)
{
    QStringList lines;
    if (!RunScript(kAutoMap + QStringLiteral(" -q -reasons"), nullptr, &lines)) {
        row.status = CharacterizedFile::Status::Refused;
        row.message = TakeErrors();
        return false;
    }
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("note: "))) {
            row.message = QStringLiteral("Auto-characterize: ") + line.mid(6) + QLatin1Char('.');
            continue;
        }
        const QStringList parts = line.split(QStringLiteral(" | "));
        const QStringList head = parts.value(0).split(QLatin1Char(' '));
        if (head.size() != 3 || head.at(2).toDouble() >= kBindThreshold)
            continue;
        const int slot = head.at(0).toInt();
        row.unsure.append(
            QJsonObject{{QStringLiteral("id"), slot},
                        {QStringLiteral("name"), QString::fromLatin1(kinetra::NodeName(slot))},
                        {QStringLiteral("joint"), head.at(1)},
                        {QStringLiteral("confidence"), head.at(2).toDouble()},
                        {QStringLiteral("reason"), parts.value(1)},
                        {QStringLiteral("runnerUps"), parts.value(2)}});
    }
    if (!RunScript(kAutoMap + QStringLiteral(" -e -character ") + Quoted(row.character))) {
        row.status = CharacterizedFile::Status::Refused;
        row.message = TakeErrors();
        return false;
    }
    return true;
}

// Selects the skeleton's first joint and applies the named template through the tool's
// template dialog, answered with the name.
bool BatchCharacterizer::ApplyTemplate(CharacterizedFile& row, const QString& templateName)
{
    const Node* root = FirstJoint(m_host.GetScene().TopLevelNodes());
    if (!root) {
        row.status = CharacterizedFile::Status::Refused;
        row.message = QStringLiteral("The file has no joint to apply a template to.");
        return false;
    }
    QStringList dialogErrors;
    bool ok = false;
    {
        BatchDialogAnswerer answerer(
            {QStringLiteral("choose:") + templateName}, [](const QString&) {},
            [&dialogErrors](const QString& text) { dialogErrors << text; });
        ok = RunScript(
            QStringLiteral("select -r %1\n%2 -e -mapbones").arg(Quoted(root->FullPath()), kTool));
    }
    if (!ok || !dialogErrors.isEmpty()) {
        row.status = CharacterizedFile::Status::Error;
        row.message = (dialogErrors + QStringList(TakeErrors())).join(QLatin1Char(' ')).trimmed();
        return false;
    }
    return true;
}

void BatchCharacterizer::Validate(CharacterizedFile& row)
{
    QStringList pairs; // "hips 90.0000 leftArm 84.1793 ..."; none bound is no failure
    if (RunScript(kStance + QStringLiteral(" -q -character ") + Quoted(row.character), nullptr,
                  &pairs)) {
        for (int i = 0; i + 1 < pairs.size(); i += 2)
            row.stance.insert(pairs.at(i), pairs.at(i + 1).toDouble());
    }
    QString text;
    if (!RunScript(QStringLiteral("characterizationToolReport"), &text)) {
        row.status = CharacterizedFile::Status::Error;
        row.message = TakeErrors();
        return;
    }
    const QJsonObject report = QJsonDocument::fromJson(text.toUtf8()).object();
    row.code = report.value(QStringLiteral("code")).toInt(-1);
    row.status = StatusOfWord(report.value(QStringLiteral("status")).toString());
    const QString message = report.value(QStringLiteral("message")).toString();
    if (!message.isEmpty())
        row.message = row.message.isEmpty() ? message : message + QLatin1Char(' ') + row.message;
    row.slotReports = report.value(QStringLiteral("nodes")).toArray();
    for (const QJsonValue& slot : row.slotReports) {
        const QJsonObject node = slot.toObject();
        if (!node.value(QStringLiteral("joint")).toString().isEmpty())
            ++row.boundSlots;
    }
    for (const QJsonValue& slot : report.value(QStringLiteral("missing")).toArray())
        row.missing << slot.toString();
}

// Saves through the tool's own save command; its file dialog is answered with the path, and
// a replace question with Yes (an earlier run's file of the same name).
// Saves through the tool's own save command, its file dialog answered with a path in an
// empty folder inside the output folder; both files then move into the output folder,
// replacing older ones. A file dialog lists the folder it shows, and the output folder grows
// by two files per file of the batch: listing it for every save made the batch quadratic.
void BatchCharacterizer::Save(CharacterizedFile& row, const CharacterizeOptions& options)
{
    if (options.kntcFolder.isEmpty() || row.status == CharacterizedFile::Status::Error)
        return;
    const QDir out(options.kntcFolder);
    const QDir staging(m_stagingFolder);
    const QString order = options.bigEndian ? QStringLiteral("::big") : QStringLiteral("::little");
    const QStringList names{row.character + QStringLiteral(".kntc"),
                            row.character + QStringLiteral(".bones.xml")};
    QStringList dialogErrors;
    bool ok = false;
    {
        BatchDialogAnswerer answerer(
            {staging.absoluteFilePath(names.at(0)) + order}, [](const QString&) {},
            [&dialogErrors](const QString& text) { dialogErrors << text; });
        ok = RunScript(kTool + QStringLiteral(" -e -saveCharacterization"));
    }
    QString why = (dialogErrors + QStringList(TakeErrors())).join(QLatin1Char(' ')).trimmed();
    if (ok && why.isEmpty()) {
        for (const QString& name : names) {
            // rename() replaces the target in one step, where QFile::rename refuses to.
            const QByteArray from = QFile::encodeName(staging.absoluteFilePath(name));
            const QByteArray to = QFile::encodeName(out.absoluteFilePath(name));
            if (std::rename(from.constData(), to.constData()) != 0) {
                why = QStringLiteral("cannot move \"%1\" into \"%2\": %3.")
                          .arg(name, out.absolutePath(),
                               QString::fromLocal8Bit(std::strerror(errno)));
                break;
            }
        }
    }
    if (why.isEmpty()) {
        row.kntc = out.absoluteFilePath(names.at(0));
        return;
    }
    row.message = (row.message + QStringLiteral(" Not saved: ") + why).trimmed();
}

void BatchCharacterizer::Snapshot(CharacterizedFile& row)
{
    const QString file = QDir(m_scratchFolder).filePath(QStringLiteral("diagram.png"));
    if (!RunScript(QStringLiteral("snapshot -widget characterizationDiagram -height %1 ")
                       .arg(kThumbnailHeight) +
                   Quoted(file)))
        return;
    QFile png(file);
    if (png.open(QIODevice::ReadOnly))
        row.thumbnailPng = png.readAll();
}

void BatchCharacterizer::ReportProgress(int index, int count, const CharacterizedFile& row) const
{
    if (!m_progress)
        return;
    QString line =
        QStringLiteral("[%1/%2] %3: %4")
            .arg(index)
            .arg(count)
            .arg(QFileInfo(row.file).fileName(), CharacterizedFile::StatusWord(row.status));
    if (row.status == CharacterizedFile::Status::Refused ||
        row.status == CharacterizedFile::Status::Unreadable)
        line += QStringLiteral(", ") + row.message;
    else
        line += QStringLiteral(", %1 slots").arg(row.boundSlots);
    line += QStringLiteral(", %1 ms\n").arg(row.milliseconds, 0, 'f', 1);
    std::fputs(line.toUtf8().constData(), m_progress);
}

int BatchCharacterizer::Execute(const CharacterizeOptions& options)
{
    QString error;
    if (!CheckOutputs(options, &error)) {
        std::fprintf(stderr, "kestrel: %s\n", qUtf8Printable(error));
        return 1;
    }
    if (!options.quiet)
        SetProgressStream(stderr);
    if (!Run(options, CollectFiles(options.inputs), &error)) {
        std::fprintf(stderr, "kestrel: %s\n", qUtf8Printable(error));
        return 1;
    }
    bool ok = true;
    for (const CharacterizedFile& row : m_files)
        ok = ok && !row.Failed();
    if (!options.reportFile.isEmpty() &&
        !CharacterizeReport::WriteJson(m_files, m_totalMilliseconds, options.reportFile, &error)) {
        std::fprintf(stderr, "kestrel: %s\n", qUtf8Printable(error));
        ok = false;
    }
    if (!options.htmlFile.isEmpty() &&
        !CharacterizeReport::WriteHtml(m_files, m_totalMilliseconds, options.htmlFile, &error)) {
        std::fprintf(stderr, "kestrel: %s\n", qUtf8Printable(error));
        ok = false;
    }
    return ok ? 0 : 1;
}

} // namespace kestrel
