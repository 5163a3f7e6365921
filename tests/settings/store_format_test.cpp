#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "comdlg/qstring_printer.h"
#include "settings/ini_value.h"
#include "settings/store_format.h"

using settings::parseStoreText;
using settings::storeTextFor;

// Texts an earlier version may have stored through QSettings' own INI format.
TEST(StoreFormat, ReadsAndWritesEveryValueAsQSettingsDoes) {
    // clang-format off
    const QStringList texts = {"/v/a.avi (Origin)", "/v/a,b;c=d.avi", " lead", "trail ",
        "/v/say \"hi\".avi", "/v/back\\slash", "\t\n\r\a\b\f\v", QString(QChar(0)) + "1f",
        "\001fg", "\037A", "\177\u0080", "/v/été 日本 😀", "@at", "@@at", "@String(x)", "", " ",
        "\"", "\\x41", "%U0030", QString(QChar(0xD800)) + "a", "a" + QString(QChar(0xDC00)),
        QString(QChar(0xD800)) + "\n"};
    // clang-format on
    QTemporaryDir folder;
    {
        QSettings writer(folder.filePath("old.ini"), QSettings::IniFormat);
        for (qsizetype i = 0; i < texts.size(); ++i) writer.setValue(QString::number(i), texts[i]);
    }
    QFile written(folder.filePath("old.ini"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    // A copy under a new name is parsed afresh, not answered from the writer's cache.
    ASSERT_TRUE(QFile::copy(written.fileName(), folder.filePath("copy.ini")));
    const QSettings reader(folder.filePath("copy.ini"), QSettings::IniFormat);
    const QSettings::SettingsMap read = parseStoreText(text).values;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString key = QString::number(i);
        const qsizetype from = text.indexOf("\n" + key.toUtf8() + "=") + key.size() + 2;
        EXPECT_EQ(settings::encodedValue(texts[i]),
                  text.sliced(from, text.indexOf('\n', from) - from))
            << i;
        EXPECT_EQ(read.value(key), reader.value(key)) << i;
    }
}

TEST(StoreFormat, AHandWrittenValueMeansWhatItSays) {
    const std::pair<QByteArray, QString> rows[] = {
        {R"(/v/a\c.avi)", R"(/v/a\c.avi)"},
        {R"(/v/a.avi \)", R"(/v/a.avi \)"},
        {R"("/v/open.avi)", R"("/v/open.avi)"},
        {"@Invalid()", "@Invalid()"},
        {R"(/v/\x41.avi)", R"(/v/\x41.avi)"},
        // As QSettings writes a tab and a backslash, so they mean them.
        {R"(/v/a\\b.avi)", R"(/v/a\b.avi)"},
        {R"(/v/a\tb.avi)", "/v/a\tb.avi"},
    };
    for (const auto& [raw, text] : rows)
        EXPECT_EQ(settings::valueAsWritten(raw), text) << raw.toStdString();
}

TEST(StoreFormat, ASaveChangesOnlyTheLinesOfChangedValues) {
    const QByteArray file =
        "\xEF\xBB\xBF; my list\r\n[Movies]\r\nCount=2\r\n\r\n[Movie]\r\n0 = /v/a,b.avi\r\n"
        "stray words\r\n1=\"/v/q,r.avi\"\r\n2=/v/caf\xE9.avi\r\n[Settings\r\nVolume=50";
    QSettings::SettingsMap values = parseStoreText(file).values;
    EXPECT_EQ(values.value("Movie/0"), "/v/a,b.avi");
    EXPECT_EQ(values.value("Settings/Volume"), "50");
    EXPECT_TRUE(parseStoreText(file).damaged);
    const QByteArray healed =
        "\xEF\xBB\xBF; my list\r\n[Movies]\r\nCount=2\r\n\r\n[Movie]\r\n0 = /v/a,b.avi\r\n"
        "1=\"/v/q,r.avi\"\r\n2=/v/caf\xEF\xBF\xBD.avi\r\n[Settings]\r\nVolume=50\r\n";
    EXPECT_EQ(storeTextFor(values, file), healed);

    values["Movie/0"] = "/v/a,b,c.avi";
    for (const char* key : {"Movie/10", "Movie/3", "Other/x", "Active"}) values[key] = "@1";
    EXPECT_EQ(storeTextFor(values, file),
              "\xEF\xBB\xBF; my list\r\n[Movies]\r\nCount=2\r\n\r\n[Movie]\r\n"
              "0=\"/v/a,b,c.avi\"\r\n1=\"/v/q,r.avi\"\r\n2=/v/caf\xEF\xBF\xBD.avi\r\n3=@@1\r\n"
              "10=@@1\r\n[Settings]\r\nVolume=50\r\n\r\n[General]\r\nActive=@@1\r\n\r\n"
              "[Other]\r\nx=@@1\r\n");
    EXPECT_EQ(parseStoreText(storeTextFor(values, file)).values, values);
    EXPECT_EQ(storeTextFor(values, ""),
              "[General]\nActive=@@1\n\n[Movie]\n0=\"/v/a,b,c.avi\"\n1=\"/v/q,r.avi\"\n"
              "2=/v/caf\xEF\xBF\xBD.avi\n3=@@1\n10=@@1\n\n[Movies]\nCount=2\n\n[Other]\nx=@@1\n\n"
              "[Settings]\nVolume=50\n");
}
