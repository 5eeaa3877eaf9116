// A folder whose writes fail for real, for the tests of every file writer: a tiny tmpfs that
// is full (root only), or a file-size limit of zero bytes (anyone).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ostream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>

enum class WriteFailure
{
    FullDisk,      // ENOSPC: a 64 KiB tmpfs whose every block is taken
    FileSizeLimit, // EFBIG: RLIMIT_FSIZE of zero, so the first byte of any file write fails
};

inline std::ostream& operator<<(std::ostream& out, WriteFailure failure)
{
    return out << (failure == WriteFailure::FullDisk ? "FullDisk" : "FileSizeLimit");
}

// For INSTANTIATE_TEST_SUITE_P: both failures, named "FullDisk" and "FileSizeLimit".
inline auto BothWriteFailures()
{
    return ::testing::Values(WriteFailure::FullDisk, WriteFailure::FileSizeLimit);
}
inline std::string WriteFailureName(const ::testing::TestParamInfo<WriteFailure>& info)
{
    return info.param == WriteFailure::FullDisk ? "FullDisk" : "FileSizeLimit";
}

// Files are put into the folder while it works; between Break() and Mend() every write to a
// regular file fails the chosen way. The limit is process-wide (standard output redirected to
// a file fails meanwhile too), so keep that span to the write under test. The destructor mends
// and unmounts.
class BrokenDisk
{
public:
    explicit BrokenDisk(WriteFailure failure)
        : m_failure(failure)
    {
        if (!m_dir.isValid()) {
            m_unavailable = QStringLiteral("no temporary folder");
        } else if (failure == WriteFailure::FullDisk &&
                   ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                           "size=64k") != 0) {
            m_unavailable = QStringLiteral("a full disk needs a tmpfs, and mounting one failed "
                                           "(%1; it needs root)")
                                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        } else {
            m_mounted = failure == WriteFailure::FullDisk;
        }
    }

    ~BrokenDisk()
    {
        Mend();
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    BrokenDisk(const BrokenDisk&) = delete;
    BrokenDisk& operator=(const BrokenDisk&) = delete;

    // Empty when the folder can fail as asked; else why not, for GTEST_SKIP.
    const QString& Unavailable() const { return m_unavailable; }
    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    bool Put(const QString& name, const QByteArray& bytes) const
    {
        QFile file(FilePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    }

    // The file's bytes; a null array when it cannot be read.
    QByteArray Read(const QString& name) const
    {
        QFile file(FilePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The names in the folder, sorted, without the filler of a full disk.
    QStringList Files() const
    {
        QStringList names =
            QDir(m_dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.removeAll(QLatin1String(kFiller));
        return names;
    }

    void Break()
    {
        if (m_broken || !m_unavailable.isEmpty())
            return;
        m_broken = true;
        if (m_failure == WriteFailure::FullDisk) {
            QFile filler(FilePath(QLatin1String(kFiller)));
            if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                return;
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size()) {
            }
            while (filler.write("x", 1) == 1) {
            }
            return;
        }
        ::getrlimit(RLIMIT_FSIZE, &m_savedLimit);
        m_savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_savedLimit;
        limit.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }

    void Mend()
    {
        if (!m_broken)
            return;
        m_broken = false;
        if (m_failure == WriteFailure::FullDisk) {
            QFile::remove(FilePath(QLatin1String(kFiller)));
            return;
        }
        ::setrlimit(RLIMIT_FSIZE, &m_savedLimit);
        std::signal(SIGXFSZ, m_savedSignal);
    }

private:
    static constexpr char kFiller[] = "filler";

    WriteFailure m_failure;
    QTemporaryDir m_dir;
    QString m_unavailable;
    bool m_mounted = false;
    bool m_broken = false;
    rlimit m_savedLimit{};
    void (*m_savedSignal)(int) = SIG_DFL;
};
