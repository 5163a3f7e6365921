#pragma once

#include <QByteArrayView>
#include <QSettings>

// The store file's format: INI as QSettings writes it, but read one line at a time. A value
// written exactly as QSettings writes some text (quoted, escaped) means that text, so every file
// QSettings wrote reads as before; any other value is the text as it stands, so a hand-written
// line with a quote, a backslash, a comma or a semicolon means just what it says, and never runs
// on into the lines after it.
namespace settings {

// Registered with QSettings once per process; files end in ".conf".
QSettings::Format storeFormat();

struct StoreText {
    QSettings::SettingsMap values;  // "Section/key" (keys before any section: "key")
    // Not UTF-8, a line that is neither blank, a comment, a [section] nor key=value, or a key
    // given twice (the last one counts): a save would not keep all of it.
    bool damaged = false;
};

StoreText parseStoreText(QByteArrayView text);

// The text that saves `values` over `existing`, laid out as `existing` is: its comments, blank
// lines and order stay, a line whose value is unchanged stays byte for byte, a changed value is
// written as QSettings writes it, and a new key goes after the last line of its section (in
// number order), a new section at the end.
QByteArray storeTextFor(const QSettings::SettingsMap& values, QByteArrayView existing);

}  // namespace settings
