// The pictures the README and docs/*.md show must be files kept in the repository, so that a
// repository browser or a fresh clone shows them before anything is built.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A documentation picture weighs at most this many bytes (PNGs are cropped and palette-reduced
// by scripts/screenshots.sh --docs).
constexpr std::uintmax_t MaxImageBytes = 150 * 1000;

struct ImageLink
{
    int line;           // 1-based line of the Markdown file
    std::string target; // as written, title and angle brackets removed
};

// Every picture a Markdown text shows: inline images `![alt](target "title")`, reference images
// `![alt][ref]` (or `![ref]`) resolved through `[ref]: target` definitions, and HTML
// `<img src="target">`. Fenced code blocks and inline code spans show no picture.
std::vector<ImageLink> ImageLinks(const std::string& markdown)
{
    static const QRegularExpression inlineImage(R"(!\[[^\]]*\]\(\s*(<[^>]*>|[^)\s]+)[^)]*\))");
    static const QRegularExpression referenceImage(R"(!\[([^\]]*)\](?:\[([^\]]*)\])?)");
    static const QRegularExpression definition(R"(^ {0,3}\[([^\]]+)\]:\s*(<[^>]*>|\S+))");
    static const QRegularExpression htmlImage(R"(<img\b[^>]*\bsrc\s*=\s*["']([^"']*)["'])",
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression codeSpan("`[^`]*`");
    const auto unbracket = [](const QString& target) {
        return target.size() >= 2 && target.startsWith('<') ? target.mid(1, target.size() - 2)
                                                            : target;
    };

    std::vector<std::pair<int, QString>> lines;
    std::map<QString, QString> definitions;
    bool fenced = false;
    const QStringList texts = QString::fromStdString(markdown).split('\n');
    for (int number = 1; number <= texts.size(); ++number) {
        QString text = texts[number - 1];
        const QString trimmed = text.trimmed();
        const int indent = text.indexOf(trimmed.isEmpty() ? QString() : trimmed.left(1));
        if (indent < 4 && (trimmed.startsWith("```") || trimmed.startsWith("~~~"))) {
            fenced = !fenced;
            continue;
        }
        if (fenced)
            continue;
        text.remove(codeSpan);
        const QRegularExpressionMatch match = definition.match(text);
        if (match.hasMatch())
            definitions.emplace(match.captured(1).toLower(), unbracket(match.captured(2)));
        lines.emplace_back(number, text);
    }

    std::vector<ImageLink> links;
    for (const auto& [number, line] : lines) {
        for (auto it = inlineImage.globalMatch(line); it.hasNext();)
            links.push_back({number, unbracket(it.next().captured(1)).toStdString()});
        for (auto it = htmlImage.globalMatch(line); it.hasNext();)
            links.push_back({number, it.next().captured(1).toStdString()});
        // Whatever follows an inline image's brackets is its target, not a reference.
        const QString rest = QString(line).remove(inlineImage);
        for (auto it = referenceImage.globalMatch(rest); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString label = m.captured(2).isEmpty() ? m.captured(1) : m.captured(2);
            const auto found = definitions.find(label.toLower());
            // An undefined reference is written out as text, so it shows no picture.
            if (found != definitions.end())
                links.push_back({number, found->second.toStdString()});
        }
    }
    return links;
}

// Why TARGET, linked from the Markdown file DOCUMENT in the tree at ROOT, does not show in a
// fresh clone; empty when it does.
std::string Problem(const fs::path& root, const fs::path& document, const std::string& target)
{
    if (target.find("://") != std::string::npos || target.rfind("//", 0) == 0)
        return "is not a file of the repository";
    const fs::path relative =
        (document.parent_path().lexically_relative(root) / fs::path(target)).lexically_normal();
    if (fs::path(target).is_absolute() || relative.empty() || *relative.begin() == "..")
        return "lies outside the repository";
    const std::string top = relative.begin()->string();
    if (top == "build" || top.rfind("build-", 0) == 0)
        return "points into a build folder, which a fresh clone does not have";
    const fs::path file = root / relative;
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return "is missing: " + file.string();
    const std::uintmax_t bytes = fs::file_size(file, error);
    if (error || bytes > MaxImageBytes)
        return "weighs " + std::to_string(bytes) + " bytes, more than " +
               std::to_string(MaxImageBytes);
    return {};
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The check itself: every picture the README and docs/*.md show is in the source tree.
TEST(DocImages, EveryPictureTheReadmeAndDocsShowIsKeptInTheRepository)
{
    const fs::path root = CT_SOURCE_DIR;
    std::vector<fs::path> documents{root / "README.md"};
    for (const auto& entry : fs::directory_iterator(root / "docs")) {
        if (entry.path().extension() == ".md")
            documents.push_back(entry.path());
    }
    std::sort(documents.begin() + 1, documents.end());

    std::size_t readmePictures = 0;
    for (const fs::path& document : documents) {
        ASSERT_TRUE(fs::is_regular_file(document)) << document;
        const std::vector<ImageLink> links = ImageLinks(Read(document));
        if (document == documents.front())
            readmePictures = links.size();
        for (const ImageLink& link : links) {
            const std::string problem = Problem(root, document, link.target);
            EXPECT_EQ(problem, "") << document.lexically_relative(root).string() << ":" << link.line
                                   << ": the picture \"" << link.target << "\" " << problem;
        }
    }
    // The README shows the desktop, the full-body diagram and the Name Match page; finding
    // none would mean the links went unread, not that they are fine.
    EXPECT_GE(readmePictures, 3u);
}

} // namespace
