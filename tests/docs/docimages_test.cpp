// The pictures the README and docs/*.md show must be files kept in the repository, so that a
// repository browser or a fresh clone shows them before anything is built.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A documentation picture weighs at most this many bytes (PNGs are cropped and palette-reduced
// by scripts/screenshots.sh --docs).
constexpr std::uintmax_t MaxImageBytes = 150 * 1000;

// The target of every picture a Markdown text shows inline, `![alt](target "title")`, or as HTML,
// `<img src="target">`, with its 1-based line. Pictures inside code are read too: a bad one
// there fails loudly rather than slipping by.
std::vector<std::pair<int, std::string>> ImageLinks(const std::string& markdown)
{
    static const QRegularExpression image(
        R"(!\[[^\]]*\]\(\s*<?([^)\s>]+)|<img\b[^>]*\bsrc\s*=\s*["']([^"']*)["'])",
        QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<int, std::string>> links;
    const QStringList lines = QString::fromStdString(markdown).split('\n');
    for (int number = 1; number <= lines.size(); ++number) {
        for (auto it = image.globalMatch(lines[number - 1]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            links.emplace_back(number, (m.captured(1) + m.captured(2)).toStdString());
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
        const auto links = ImageLinks(Read(document));
        if (document == documents.front())
            readmePictures = links.size();
        for (const auto& [line, target] : links) {
            const std::string problem = Problem(root, document, target);
            EXPECT_EQ(problem, "") << document.lexically_relative(root).string() << ":" << line
                                   << ": the picture \"" << target << "\" " << problem;
        }
    }
    // The README shows the desktop, the full-body diagram and the Name Match page; finding
    // none would mean the links went unread, not that they are fine.
    EXPECT_GE(readmePictures, 3u);
}

} // namespace
