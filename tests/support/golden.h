// Comparison with checked-in files under tests/data. CT_UPDATE_GOLDEN=1 rewrites the files
// instead, after a deliberate format change; review the new bytes before committing them.
#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void ExpectGolden(const QByteArray& bytes, const char* name)
{
    const QString path = QStringLiteral(CT_TEST_DATA_DIR "/") + name;
    if (qEnvironmentVariableIsSet("CT_UPDATE_GOLDEN")) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return;
    }
    EXPECT_TRUE(bytes == ReadAll(path)) << name << " differs from the checked-in file";
}
