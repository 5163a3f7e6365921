#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/damage.h"

TEST(DamagedStoreText, WhatQSettingsWouldSilentlyLoseIsDamage) {
    const std::pair<QByteArray, bool> cases[] = {
        {"", false},
        {"[Movies]\nCount=1\n[Movie]\n0=/a (Origin)\n1=/b (Double)\n", false},
        {"\xEF\xBB\xBF[Movies]\r\nCount=0\r\n\r\n; note\n# note\n", false},
        {"[Movie]\n0=/a\n[Settings]\n0=x\n[Movie]\n1=/b\n", false},
        {"[Movie]\n0=/caf\xC3\xA9 \xE6\x97\xA5.avi (Origin)\n", false},
        {"[Movie]\n0=/caf\xE9.avi (Origin)\n", true},
        {"[Movies\nCount=1\n", true},
        {"[Movie]\njust some words\n", true},
        {"[Movie]\n=/no key\n", true},
        {"[Movie]\n0=/first\n0=/second\n", true},
        {"[Movie]\n0=/first\n[Movie]\n0=/second\n", true},
        {QByteArray("[Movie]\n0=/a\0b\n", 14), false},
    };
    for (const auto& [text, damaged] : cases)
        EXPECT_EQ(settings::isDamagedStoreText(text), damaged) << text.toStdString();
}

TEST(AbandonedLock, OnlyAnOldEmptyLockIsRemoved) {
    QTemporaryDir folder;
    const QString store = folder.filePath("FDK.conf");
    const auto makeLock = [&](const QByteArray& content, int ageSeconds) {
        QFile lock(store + ".lock");
        EXPECT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(content);
        lock.flush();
        lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                         QFileDevice::FileModificationTime);
    };
    makeLock("", 0);
    settings::removeAbandonedLock(store);
    EXPECT_TRUE(QFile::exists(store + ".lock")) << "a lock being filled right now";
    makeLock("4242\nflickerdeck\nhost\n", 60);
    settings::removeAbandonedLock(store);
    EXPECT_TRUE(QFile::exists(store + ".lock")) << "a filled lock is QLockFile's to judge";
    QFile::remove(store + ".lock");
    makeLock("", 60);
    settings::removeAbandonedLock(store);
    EXPECT_FALSE(QFile::exists(store + ".lock"));
    ASSERT_TRUE(QDir().mkdir(store + ".lock"));
    settings::removeAbandonedLock(store);
    EXPECT_FALSE(QFile::exists(store + ".lock")) << "a folder in its place";
}

TEST(DamagedStoreText, LinesReadOneByOneAreNoDamage) {
    const std::pair<QByteArray, bool> cases[] = {
        {"[Movie]\n0=/m/a.avi (Origin)\r/m/b.avi (Origin)\n", true},
        {"[Movies]\nCount=1\n\v[Movie]\n0=/m/a.avi (Origin)\n", true},
        {"[Movie]\n0=/m/a.avi \\\n1=/m/b.avi (Origin)\n", false},
        {"[Movie]\n0=\"/m/a.avi\n1=/m/b.avi (Origin)\n", false},
        {"[Movie]\n%U0030=/m/a.avi (Origin)\n", false},
        {"[Movie]\r\n0=/m/a.avi (Origin)\r\n1=/m/b (Double)\r\n", false},
    };
    for (const auto& [text, damaged] : cases)
        EXPECT_EQ(settings::isDamagedStoreText(text), damaged) << text.toStdString();
}

TEST(DamagedStoreCopies, TheSameDamageIsKeptOnceAndAtMostFiveCopies) {
    QTemporaryDir folder;
    const QString store = folder.filePath("FDK.conf");
    for (const int kinds : {3, 8}) {
        for (int round = 0; round < 8; ++round) {
            QFile file(store);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("[Movie\n0=/m/" + QByteArray::number(round % kinds) + ".avi\n");
            file.close();
            EXPECT_FALSE(settings::keepCopyOfDamagedStore(store).isEmpty());
        }
        EXPECT_EQ(QDir(folder.path()).entryList({"FDK.conf.corrupt*"}).size(), std::min(kinds, 5));
    }
}
